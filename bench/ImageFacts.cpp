#include "bench/ImageFacts.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>

namespace bench {
namespace {

// Maps an address relative to the image to an offset in the file.
class Sections {
public:
    Sections(const std::vector<char>& file, const IMAGE_NT_HEADERS64& nt, size_t sectionsAt) : m_file(file) {
        for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
            const size_t at = sectionsAt + i * sizeof(IMAGE_SECTION_HEADER);
            if (at + sizeof(IMAGE_SECTION_HEADER) > file.size()) break;
            IMAGE_SECTION_HEADER s;
            std::memcpy(&s, file.data() + at, sizeof s);
            m_sections.push_back(s);
        }
    }

    // The file offset of `rva`, or 0 when no section holds it.
    size_t Offset(DWORD rva) const {
        for (const IMAGE_SECTION_HEADER& s : m_sections) {
            const DWORD size = std::max(s.Misc.VirtualSize, s.SizeOfRawData);
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + size) {
                const size_t offset = rva - s.VirtualAddress + s.PointerToRawData;
                return offset < m_file.size() ? offset : 0;
            }
        }
        return 0;
    }

    std::string Text(DWORD rva) const {
        const size_t at = Offset(rva);
        if (at == 0) return {};
        const char* begin = m_file.data() + at;
        const size_t limit = m_file.size() - at;
        return std::string(begin, strnlen(begin, limit));
    }

private:
    const std::vector<char>& m_file;
    std::vector<IMAGE_SECTION_HEADER> m_sections;
};

template <typename Descriptor, typename NameOf>
std::vector<std::string> ReadNames(const std::vector<char>& file, const Sections& sections, DWORD tableRva,
                                   NameOf nameOf) {
    std::vector<std::string> names;
    size_t at = tableRva ? sections.Offset(tableRva) : 0;
    while (at != 0 && at + sizeof(Descriptor) <= file.size()) {
        Descriptor d;
        std::memcpy(&d, file.data() + at, sizeof d);
        const DWORD nameRva = nameOf(d);
        if (nameRva == 0) break;
        names.push_back(sections.Text(nameRva));
        at += sizeof d;
    }
    return names;
}

bool EndsWithDll(const std::string& name) {
    if (name.size() < 5) return false;
    std::string tail = name.substr(name.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".dll";
}

// GNU ld links delay-load descriptors in but leaves the directory entry that
// points at them empty, so they are found by their shape: RVA-based, no time
// stamp, a DLL name and the three tables all inside the image.
std::vector<std::string> FindDelayDescriptors(const std::vector<char>& file, const Sections& sections) {
    std::vector<std::string> names;
    for (size_t at = 0; at + sizeof(IMAGE_DELAYLOAD_DESCRIPTOR) <= file.size(); at += 4) {
        IMAGE_DELAYLOAD_DESCRIPTOR d;
        std::memcpy(&d, file.data() + at, sizeof d);
        if (d.Attributes.AllAttributes != 1 || d.TimeDateStamp != 0 || d.DllNameRVA == 0) continue;
        if (!sections.Offset(d.ModuleHandleRVA) || !sections.Offset(d.ImportAddressTableRVA) ||
            !sections.Offset(d.ImportNameTableRVA))
            continue;
        const std::string name = sections.Text(d.DllNameRVA);
        if (EndsWithDll(name) && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
}

}  // namespace

ImageFacts ReadImageFacts(const std::wstring& path) {
    ImageFacts facts;
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return facts;
    const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    facts.fileBytes = file.size();

    IMAGE_DOS_HEADER dos;
    if (file.size() < sizeof dos) return facts;
    std::memcpy(&dos, file.data(), sizeof dos);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew <= 0) return facts;
    const size_t ntAt = static_cast<size_t>(dos.e_lfanew);
    IMAGE_NT_HEADERS64 nt;
    if (ntAt + sizeof nt > file.size()) return facts;
    std::memcpy(&nt, file.data() + ntAt, sizeof nt);
    if (nt.Signature != IMAGE_NT_SIGNATURE || nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) return facts;

    const size_t sectionsAt =
        ntAt + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    const Sections sections(file, nt, sectionsAt);
    const IMAGE_DATA_DIRECTORY* dirs = nt.OptionalHeader.DataDirectory;
    facts.imports = ReadNames<IMAGE_IMPORT_DESCRIPTOR>(file, sections, dirs[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress,
                                                       [](const IMAGE_IMPORT_DESCRIPTOR& d) { return d.Name; });
    const DWORD delayTable = dirs[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].VirtualAddress;
    facts.delayImports = delayTable ? ReadNames<IMAGE_DELAYLOAD_DESCRIPTOR>(
                                          file, sections, delayTable,
                                          [](const IMAGE_DELAYLOAD_DESCRIPTOR& d) { return d.DllNameRVA; })
                                    : FindDelayDescriptors(file, sections);
    facts.readable = true;
    return facts;
}

bool ShippedWithEveryWindows(const std::string& dll) {
    // The core system DLLs; msvcrt.dll has been a part of Windows itself since Windows 2000.
    static const char* const kEverywhere[] = {
        "kernel32.dll", "user32.dll",  "gdi32.dll",  "advapi32.dll", "shell32.dll", "ole32.dll",
        "oleaut32.dll", "comctl32.dll", "comdlg32.dll", "shlwapi.dll", "msvcrt.dll", "version.dll",
        "imm32.dll",    "msimg32.dll",  "winmm.dll",  "uxtheme.dll",  "ws2_32.dll",  "rpcrt4.dll",
        "oleacc.dll",
    };
    std::string lower = dll;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find_if(std::begin(kEverywhere), std::end(kEverywhere),
                        [&](const char* known) { return lower == known; }) != std::end(kEverywhere);
}

}  // namespace bench
