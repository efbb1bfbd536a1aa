#include "tests/unit/binary/PeImage.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

namespace binary {
namespace {

constexpr size_t kFileHeaderSize = 20;
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kImportDescriptorSize = 20;
constexpr size_t kDelayDescriptorSize = 32;
// Import or delay-import tables longer than this are damage, not a program.
constexpr size_t kMaxDescriptors = 4096;
constexpr size_t kMaxNameLength = 256;

bool Get16(const std::vector<uint8_t>& b, size_t at, uint16_t* v) {
    if (at > b.size() || b.size() - at < 2) return false;
    *v = static_cast<uint16_t>(b[at] | b[at + 1] << 8);
    return true;
}

bool Get32(const std::vector<uint8_t>& b, size_t at, uint32_t* v) {
    if (at > b.size() || b.size() - at < 4) return false;
    *v = static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 | static_cast<uint32_t>(b[at + 2]) << 16 |
         static_cast<uint32_t>(b[at + 3]) << 24;
    return true;
}

bool Get64(const std::vector<uint8_t>& b, size_t at, uint64_t* v) {
    uint32_t low = 0;
    uint32_t high = 0;
    if (!Get32(b, at, &low) || !Get32(b, at + 4, &high)) return false;
    *v = static_cast<uint64_t>(high) << 32 | low;
    return true;
}

bool EndsWithDll(const std::string& name) {
    if (name.size() < 5) return false;
    std::string tail = name.substr(name.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".dll";
}

}  // namespace

std::optional<PeImage> PeImage::Load(const std::string& path, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot open " + path;
        return std::nullopt;
    }
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return Parse(std::move(bytes), error);
}

std::optional<PeImage> PeImage::Parse(std::vector<uint8_t> bytes, std::string* error) {
    PeImage image;
    image.m_bytes = std::move(bytes);
    const std::vector<uint8_t>& b = image.m_bytes;
    uint16_t mz = 0;
    uint32_t peOffset = 0;
    uint32_t signature = 0;
    if (!Get16(b, 0, &mz) || mz != 0x5a4d || !Get32(b, 0x3c, &peOffset) || !Get32(b, peOffset, &signature) ||
        signature != 0x00004550) {
        *error = "not a PE file";
        return std::nullopt;
    }
    const size_t fh = static_cast<size_t>(peOffset) + 4;
    uint16_t sectionCount = 0;
    uint16_t optionalSize = 0;
    if (!Get16(b, fh, &image.m_machine) || !Get16(b, fh + 2, &sectionCount) ||
        !Get32(b, fh + 8, &image.m_symbolTableOffset) || !Get32(b, fh + 12, &image.m_symbolCount) ||
        !Get16(b, fh + 16, &optionalSize) || !Get16(b, fh + 18, &image.m_characteristics)) {
        *error = "truncated file header";
        return std::nullopt;
    }
    image.m_fileHeaderOffset = fh;
    const size_t oh = fh + kFileHeaderSize;
    image.m_optionalHeaderOffset = oh;
    uint16_t magic = 0;
    if (!Get16(b, oh, &magic) || (magic != 0x10b && magic != 0x20b)) {
        *error = "unknown optional header";
        return std::nullopt;
    }
    image.m_pe32Plus = magic == 0x20b;
    uint32_t directoryCount = 0;
    const size_t directoriesAt = oh + (image.m_pe32Plus ? 112 : 96);
    bool ok = Get32(b, oh + 16, &image.m_entryPointRva) && Get32(b, oh + 56, &image.m_sizeOfImage) &&
              Get16(b, oh + 68, &image.m_subsystem) && Get16(b, oh + 70, &image.m_dllCharacteristics) &&
              Get32(b, directoriesAt - 4, &directoryCount);
    if (image.m_pe32Plus) {
        ok = ok && Get64(b, oh + 24, &image.m_imageBase);
    } else {
        uint32_t base = 0;
        ok = ok && Get32(b, oh + 28, &base);
        image.m_imageBase = base;
    }
    if (!ok || directoryCount > 16 || directoriesAt + directoryCount * 8 > oh + optionalSize) {
        *error = "truncated optional header";
        return std::nullopt;
    }
    for (uint32_t i = 0; i < directoryCount; ++i) {
        DataDirectory d;
        if (!Get32(b, directoriesAt + i * 8, &d.rva) || !Get32(b, directoriesAt + i * 8 + 4, &d.size)) {
            *error = "truncated data directories";
            return std::nullopt;
        }
        image.m_directories.push_back(d);
    }
    const size_t sectionsAt = oh + optionalSize;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        const size_t at = sectionsAt + i * kSectionHeaderSize;
        if (at + kSectionHeaderSize > b.size()) {
            *error = "truncated section table";
            return std::nullopt;
        }
        Section s;
        const auto nameBegin = b.begin() + static_cast<std::ptrdiff_t>(at);
        s.name.assign(nameBegin, std::find(nameBegin, nameBegin + 8, uint8_t{0}));
        Get32(b, at + 8, &s.virtualSize);
        Get32(b, at + 12, &s.virtualAddress);
        Get32(b, at + 16, &s.rawSize);
        Get32(b, at + 20, &s.rawOffset);
        image.m_sections.push_back(s);
    }
    return image;
}

DataDirectory PeImage::Directory(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= m_directories.size()) return {};
    return m_directories[static_cast<size_t>(index)];
}

std::optional<size_t> PeImage::RvaToOffset(uint32_t rva) const {
    for (const Section& s : m_sections) {
        // What lies past the section's raw data is zeros the loader adds: not
        // in the file, so nothing a name or a table can be read from.
        if (rva >= s.virtualAddress && rva - s.virtualAddress < s.rawSize) {
            const size_t offset = static_cast<size_t>(s.rawOffset) + (rva - s.virtualAddress);
            if (offset < m_bytes.size()) return offset;
        }
    }
    return std::nullopt;
}

bool PeImage::ReadU32(uint32_t rva, uint32_t* value) const {
    const auto offset = RvaToOffset(rva);
    return offset && Get32(m_bytes, *offset, value);
}

bool PeImage::ReadPointer(uint32_t rva, uint64_t* value) const {
    const auto offset = RvaToOffset(rva);
    if (!offset) return false;
    if (m_pe32Plus) return Get64(m_bytes, *offset, value);
    uint32_t v = 0;
    if (!Get32(m_bytes, *offset, &v)) return false;
    *value = v;
    return true;
}

std::optional<std::string> PeImage::ReadName(uint32_t rva) const {
    const auto offset = RvaToOffset(rva);
    if (!offset) return std::nullopt;
    std::string name;
    for (size_t at = *offset; at < m_bytes.size() && name.size() <= kMaxNameLength; ++at) {
        const uint8_t c = m_bytes[at];
        if (c == 0) return name.empty() ? std::nullopt : std::optional<std::string>(name);
        if (c < 0x20 || c > 0x7e) return std::nullopt;
        name.push_back(static_cast<char>(c));
    }
    return std::nullopt;
}

std::vector<std::string> PeImage::ImportedDlls() const {
    std::vector<std::string> dlls;
    const DataDirectory d = Directory(kDirectoryImport);
    if (d.rva == 0) return dlls;
    for (size_t i = 0; i < kMaxDescriptors; ++i) {
        const uint32_t at = d.rva + static_cast<uint32_t>(i * kImportDescriptorSize);
        uint32_t lookup = 0;
        uint32_t nameRva = 0;
        uint32_t firstThunk = 0;
        if (!ReadU32(at, &lookup) || !ReadU32(at + 12, &nameRva) || !ReadU32(at + 16, &firstThunk)) {
            dlls.push_back("<damaged import directory>");
            break;
        }
        if (lookup == 0 && nameRva == 0 && firstThunk == 0) break;
        dlls.push_back(ReadName(nameRva).value_or("<unreadable name>"));
    }
    return dlls;
}

// A delay-load descriptor (ImgDelayDescr) in its RVA form: attributes 1, then
// the RVAs of the DLL's name, its module handle, its import address table and
// its name table, then the bound and unload tables (optional) and a time stamp.
std::optional<std::string> PeImage::DelayDescriptorDll(uint32_t rva) const {
    uint32_t f[8] = {};
    for (uint32_t i = 0; i < 8; ++i) {
        if (!ReadU32(rva + i * 4, &f[i])) return std::nullopt;
    }
    if (f[0] != 1 || !InImage(f[1]) || !InImage(f[2]) || !InImage(f[3]) || !InImage(f[4])) return std::nullopt;
    if ((f[5] != 0 && !InImage(f[5])) || (f[6] != 0 && !InImage(f[6])) || f[7] != 0) return std::nullopt;
    // The first name-table entry is an ordinal or the RVA of a hint and a
    // readable function name.
    uint64_t first = 0;
    if (!ReadPointer(f[4], &first)) return std::nullopt;
    const uint64_t ordinalFlag = m_pe32Plus ? uint64_t{1} << 63 : uint64_t{1} << 31;
    if (first == 0) return std::nullopt;
    if ((first & ordinalFlag) == 0 && (first > UINT32_MAX || !ReadName(static_cast<uint32_t>(first) + 2))) {
        return std::nullopt;
    }
    auto name = ReadName(f[1]);
    if (!name || !EndsWithDll(*name)) return std::nullopt;
    return name;
}

std::vector<std::string> PeImage::DelayLoadedDlls() const {
    std::vector<std::string> dlls;
    auto add = [&](const std::string& name) {
        if (std::find(dlls.begin(), dlls.end(), name) == dlls.end()) dlls.push_back(name);
    };
    const DataDirectory d = Directory(kDirectoryDelayImport);
    if (d.rva != 0) {
        for (size_t i = 0; i < kMaxDescriptors; ++i) {
            const uint32_t at = d.rva + static_cast<uint32_t>(i * kDelayDescriptorSize);
            uint32_t nameRva = 0;
            if (!ReadU32(at + 4, &nameRva)) {
                add("<damaged delay-import directory>");
                break;
            }
            if (nameRva == 0) break;
            add(DelayDescriptorDll(at).value_or("<unreadable delay-load descriptor>"));
        }
    }
    for (const Section& s : m_sections) {
        const uint32_t end = s.virtualAddress + s.rawSize;
        for (uint32_t at = s.virtualAddress; at + kDelayDescriptorSize <= end; at += 4) {
            if (auto name = DelayDescriptorDll(at)) add(*name);
        }
    }
    return dlls;
}

size_t PeImage::TlsCallbackCount() const {
    const DataDirectory d = Directory(kDirectoryTls);
    if (d.rva == 0) return 0;
    // AddressOfCallBacks follows the start, end and index addresses.
    const uint32_t pointerSize = m_pe32Plus ? 8 : 4;
    uint64_t callbacks = 0;
    if (!ReadPointer(d.rva + 3 * pointerSize, &callbacks) || callbacks == 0) return 0;
    if (callbacks < m_imageBase || callbacks - m_imageBase >= m_sizeOfImage) return 0;
    size_t count = 0;
    for (uint32_t at = static_cast<uint32_t>(callbacks - m_imageBase); count < kMaxDescriptors; at += pointerSize) {
        uint64_t callback = 0;
        if (!ReadPointer(at, &callback) || callback == 0) break;
        ++count;
    }
    return count;
}

}  // namespace binary
