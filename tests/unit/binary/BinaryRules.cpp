#include "tests/unit/binary/BinaryRules.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace binary {
namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

bool IsSystemDll(const std::string& name) {
    const std::string lower = Lower(name);
    const auto& all = SystemDlls();
    return std::find(all.begin(), all.end(), lower) != all.end();
}

}  // namespace

const std::vector<std::string>& SystemDlls() {
    static const std::vector<std::string> dlls = {
        "kernel32.dll", "user32.dll",   "gdi32.dll",    "ole32.dll",    "oleaut32.dll",
        "shell32.dll",  "comctl32.dll", "msvcrt.dll",   "advapi32.dll", "oleacc.dll",
    };
    return dlls;
}

std::vector<std::string> Faults(const PeImage& image, Arch arch) {
    std::vector<std::string> faults;
    const bool x64 = arch == Arch::X64;

    const uint16_t machine = x64 ? kMachineAmd64 : kMachineI386;
    if (image.Machine() != machine) faults.push_back("machine " + Hex(image.Machine()) + ", not " + Hex(machine));
    if (image.IsPe32Plus() != x64) faults.push_back(x64 ? "not a PE32+ (64-bit) image" : "not a PE32 (32-bit) image");
    if (image.Subsystem() != kSubsystemWindowsGui) {
        faults.push_back("subsystem " + std::to_string(image.Subsystem()) + ", not the Windows GUI");
    }

    // ASLR and DEP. High-entropy ASLR (a 64-bit address space for the base)
    // only exists for 64-bit programs.
    struct Flag {
        uint16_t bit;
        const char* what;
        bool needed;
    };
    const Flag flags[] = {
        {kDllDynamicBase, "DYNAMIC_BASE (ASLR)", true},
        {kDllNxCompat, "NX_COMPAT (DEP)", true},
        {kDllHighEntropyVa, "HIGH_ENTROPY_VA (high-entropy ASLR)", x64},
    };
    for (const Flag& f : flags) {
        if (f.needed && (image.DllCharacteristics() & f.bit) == 0) faults.push_back(std::string("no ") + f.what);
    }
    // Without relocations the loader cannot move the image, whatever the
    // flags say, and it loads at its fixed base every time.
    if (image.Characteristics() & kFileRelocsStripped) faults.push_back("relocations stripped: ASLR cannot move it");
    if (image.Directory(kDirectoryBaseReloc).size == 0) faults.push_back("no base relocations: ASLR cannot move it");

    for (const std::string& dll : image.ImportedDlls()) {
        if (!IsSystemDll(dll)) faults.push_back("imports " + dll + ", which not every Windows has");
    }
    for (const std::string& dll : image.DelayLoadedDlls()) {
        if (!IsSystemDll(dll)) faults.push_back("delay-loads " + dll + ", which not every Windows has");
    }

    // Stripped: no symbol table and no debug sections (whose long names, like
    // the symbols, need the COFF string table).
    if (image.SymbolTableOffset() != 0 || image.SymbolCount() != 0) faults.push_back("not stripped: symbol table");
    for (const Section& s : image.Sections()) {
        if (s.name.rfind(".debug", 0) == 0 || s.name.rfind('/', 0) == 0) {
            faults.push_back("not stripped: section " + s.name);
        }
    }

    // TLS callbacks run before the entry point, so before the DLL search is
    // narrowed. The MinGW runtime has two, which load nothing: one sets up
    // thread-local data, the other runs its destructors when a thread ends.
    // A third (the threading library's, say) would be code that runs first.
    if (image.TlsCallbackCount() > 2) {
        faults.push_back(std::to_string(image.TlsCallbackCount()) + " TLS callbacks run before the entry point");
    }
    return faults;
}

}  // namespace binary
