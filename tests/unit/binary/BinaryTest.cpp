// The built Velmora.exe, read as the Windows loader reads it.
//
//   binary_check_tests --exe=path/to/Velmora.exe --arch=x64|x86
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>

#include "tests/unit/binary/BinaryRules.h"
#include "tests/unit/binary/PeImage.h"

namespace binary {
namespace {

struct Subject {
    std::string path;
    Arch arch = Arch::X64;
};

Subject& TheSubject() {
    static Subject subject;
    return subject;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& line : lines) all += line + "\n";
    return all;
}

bool HasDll(const std::vector<std::string>& dlls, const std::string& name) {
    return std::any_of(dlls.begin(), dlls.end(), [&](const std::string& d) {
        return d.size() == name.size() && std::equal(d.begin(), d.end(), name.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
               });
    });
}

TEST(Binary, MeetsEveryRule) {
    std::string error;
    const auto image = PeImage::Load(TheSubject().path, &error);
    ASSERT_TRUE(image) << TheSubject().path << ": " << error;
    EXPECT_EQ(Joined(Faults(*image, TheSubject().arch)), "");
}

// The import rules would pass on a reader that finds nothing: it must find
// what the program is known to load, the delay-loaded DLLs included.
TEST(Binary, ReaderFindsTheImportsTheProgramHas) {
    std::string error;
    const auto image = PeImage::Load(TheSubject().path, &error);
    ASSERT_TRUE(image) << error;
    const auto imported = image->ImportedDlls();
    const auto delayed = image->DelayLoadedDlls();
    EXPECT_TRUE(HasDll(imported, "kernel32.dll")) << Joined(imported);
    EXPECT_TRUE(HasDll(imported, "user32.dll")) << Joined(imported);
    EXPECT_TRUE(HasDll(delayed, "shell32.dll")) << Joined(delayed);
    EXPECT_TRUE(HasDll(delayed, "comctl32.dll")) << Joined(delayed);
    EXPECT_FALSE(HasDll(imported, "shell32.dll")) << "shell32 is to be loaded on the first click, not at start";
}

// The same file with one fault put in: each must be reported.
struct Alteration {
    const char* what;
    std::function<void(std::vector<uint8_t>& bytes, const PeImage& image)> apply;
    const char* expectedFault;
    bool x64Only;
};

void Clear16(std::vector<uint8_t>& b, size_t at, uint16_t bits) {
    b[at] &= static_cast<uint8_t>(~bits & 0xff);
    b[at + 1] &= static_cast<uint8_t>(~bits >> 8);
}

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t value) {
    b[at] = static_cast<uint8_t>(value & 0xff);
    b[at + 1] = static_cast<uint8_t>(value >> 8);
}

// Overwrites every stored DLL name `from` with `to` (no longer than it).
void RenameDll(std::vector<uint8_t>& b, const std::string& from, const std::string& to) {
    size_t renamed = 0;
    for (size_t at = 0; at + from.size() < b.size(); ++at) {
        if (std::memcmp(&b[at], from.c_str(), from.size() + 1) == 0) {
            std::fill(b.begin() + static_cast<std::ptrdiff_t>(at),
                      b.begin() + static_cast<std::ptrdiff_t>(at + from.size()), uint8_t{0});
            std::memcpy(&b[at], to.c_str(), to.size());
            ++renamed;
        }
    }
    ASSERT_GT(renamed, 0u) << from << " is not in the file";
}

size_t DirectoriesOffset(const PeImage& image) {
    return image.OptionalHeaderOffset() + (image.IsPe32Plus() ? 112 : 96);
}

const Alteration kAlterations[] = {
    {"ASLR off",
     [](auto& b, const PeImage& i) { Clear16(b, i.OptionalHeaderOffset() + 70, kDllDynamicBase); },
     "no DYNAMIC_BASE", false},
    {"DEP off", [](auto& b, const PeImage& i) { Clear16(b, i.OptionalHeaderOffset() + 70, kDllNxCompat); },
     "no NX_COMPAT", false},
    {"high-entropy ASLR off",
     [](auto& b, const PeImage& i) { Clear16(b, i.OptionalHeaderOffset() + 70, kDllHighEntropyVa); },
     "no HIGH_ENTROPY_VA", true},
    {"relocations stripped flag",
     [](auto& b, const PeImage& i) { b[i.FileHeaderOffset() + 18] |= kFileRelocsStripped; }, "relocations stripped",
     false},
    {"no relocation table",
     [](auto& b, const PeImage& i) {
         std::fill_n(b.begin() + static_cast<std::ptrdiff_t>(DirectoriesOffset(i) + kDirectoryBaseReloc * 8), 8, 0);
     },
     "no base relocations", false},
    {"console program", [](auto& b, const PeImage& i) { Put16(b, i.OptionalHeaderOffset() + 68, 3); }, "subsystem 3",
     false},
    {"other machine",
     [](auto& b, const PeImage& i) {
         Put16(b, i.FileHeaderOffset(), i.Machine() == kMachineAmd64 ? kMachineI386 : kMachineAmd64);
     },
     "machine 0x", false},
    {"runtime DLL imported", [](auto& b, const PeImage&) { RenameDll(b, "msvcrt.dll", "zlib1.dll"); },
     "imports zlib1.dll", false},
    {"runtime DLL delay-loaded", [](auto& b, const PeImage&) { RenameDll(b, "shell32.dll", "evil32.dll"); },
     "delay-loads evil32.dll", false},
    {"symbol table left in", [](auto& b, const PeImage& i) { b[i.FileHeaderOffset() + 9] = 0x10; },
     "not stripped", false},
};

class BinaryAlteredTest : public testing::TestWithParam<Alteration> {};

TEST_P(BinaryAlteredTest, TheFaultIsReported) {
    const Alteration& alteration = GetParam();
    if (alteration.x64Only && TheSubject().arch != Arch::X64) GTEST_SKIP() << "a 64-bit flag";
    std::vector<uint8_t> bytes = ReadFile(TheSubject().path);
    ASSERT_FALSE(bytes.empty());
    std::string error;
    const auto original = PeImage::Parse(bytes, &error);
    ASSERT_TRUE(original) << error;
    alteration.apply(bytes, *original);
    const auto altered = PeImage::Parse(bytes, &error);
    ASSERT_TRUE(altered) << alteration.what << ": " << error;
    const std::string faults = Joined(Faults(*altered, TheSubject().arch));
    EXPECT_NE(faults.find(alteration.expectedFault), std::string::npos) << alteration.what << ":\n" << faults;
}

INSTANTIATE_TEST_SUITE_P(Faults, BinaryAlteredTest, testing::ValuesIn(kAlterations),
                         [](const testing::TestParamInfo<Alteration>& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c; ++c) {
                                 if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                             }
                             return name;
                         });

// A damaged file is reported as such, never read past its end.
TEST(Binary, TruncatedFilesAreRejectedNotOverread) {
    const std::vector<uint8_t> whole = ReadFile(TheSubject().path);
    ASSERT_GT(whole.size(), 4096u);
    for (size_t size : {size_t{0}, size_t{2}, size_t{0x40}, size_t{0x90}, size_t{0x120}, size_t{0x200}, size_t{1024},
                        whole.size() / 2, whole.size() - 1}) {
        std::string error;
        std::vector<uint8_t> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        const auto image = PeImage::Parse(std::move(part), &error);
        if (image) {
            // Headers intact, data cut off: the lists may be short, but reading them is safe.
            image->ImportedDlls();
            image->DelayLoadedDlls();
            image->TlsCallbackCount();
        } else {
            EXPECT_FALSE(error.empty()) << size;
        }
    }
}

}  // namespace
}  // namespace binary

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--exe=", 0) == 0) binary::TheSubject().path = arg.substr(6);
        if (arg == "--arch=x86") binary::TheSubject().arch = binary::Arch::X86;
    }
    if (binary::TheSubject().path.empty()) {
        std::fprintf(stderr, "usage: %s --exe=Velmora.exe --arch=x64|x86\n", argv[0]);
        return 2;
    }
    return RUN_ALL_TESTS();
}
