#pragma once
// A reader for the parts of a Windows program file (PE/COFF) that say how
// the system loads it: headers, sections, imports, delay-load imports and TLS
// callbacks. Every read is checked against the file's bounds, so a damaged
// file is reported, never read past.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace binary {

constexpr uint16_t kMachineI386 = 0x014c;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kSubsystemWindowsGui = 2;

constexpr uint16_t kFileRelocsStripped = 0x0001;

constexpr uint16_t kDllHighEntropyVa = 0x0020;
constexpr uint16_t kDllDynamicBase = 0x0040;
constexpr uint16_t kDllNxCompat = 0x0100;

constexpr int kDirectoryImport = 1;
constexpr int kDirectoryBaseReloc = 5;
constexpr int kDirectoryTls = 9;
constexpr int kDirectoryDelayImport = 13;

struct Section {
    std::string name;
    uint32_t virtualAddress = 0;
    uint32_t virtualSize = 0;
    uint32_t rawOffset = 0;
    uint32_t rawSize = 0;
};

struct DataDirectory {
    uint32_t rva = 0;
    uint32_t size = 0;
};

class PeImage {
public:
    // The image in `bytes`, or nothing and the reason in `error`.
    static std::optional<PeImage> Parse(std::vector<uint8_t> bytes, std::string* error);
    static std::optional<PeImage> Load(const std::string& path, std::string* error);

    uint16_t Machine() const { return m_machine; }
    bool IsPe32Plus() const { return m_pe32Plus; }
    uint16_t Characteristics() const { return m_characteristics; }
    uint16_t Subsystem() const { return m_subsystem; }
    uint16_t DllCharacteristics() const { return m_dllCharacteristics; }
    uint32_t EntryPointRva() const { return m_entryPointRva; }
    uint32_t SymbolTableOffset() const { return m_symbolTableOffset; }
    uint32_t SymbolCount() const { return m_symbolCount; }
    DataDirectory Directory(int index) const;
    const std::vector<Section>& Sections() const { return m_sections; }

    // File offsets of header fields, for tests that alter a copy of the file.
    size_t FileHeaderOffset() const { return m_fileHeaderOffset; }
    size_t OptionalHeaderOffset() const { return m_optionalHeaderOffset; }

    // The DLLs named by the import directory, in file order.
    std::vector<std::string> ImportedDlls() const;
    // The DLLs loaded on first use through delay-load descriptors: those of
    // the delay-import directory and those found elsewhere in the image (GNU
    // ld links dlltool's descriptors without filling in the directory).
    std::vector<std::string> DelayLoadedDlls() const;
    // The number of TLS callbacks, which the loader runs before the entry point.
    size_t TlsCallbackCount() const;

private:
    PeImage() = default;
    std::optional<size_t> RvaToOffset(uint32_t rva) const;
    bool ReadU32(uint32_t rva, uint32_t* value) const;
    bool ReadPointer(uint32_t rva, uint64_t* value) const;
    std::optional<std::string> ReadName(uint32_t rva) const;
    bool InImage(uint32_t rva) const { return rva != 0 && rva < m_sizeOfImage; }
    std::optional<std::string> DelayDescriptorDll(uint32_t rva) const;

    std::vector<uint8_t> m_bytes;
    uint16_t m_machine = 0;
    bool m_pe32Plus = false;
    uint16_t m_characteristics = 0;
    uint16_t m_subsystem = 0;
    uint16_t m_dllCharacteristics = 0;
    uint32_t m_entryPointRva = 0;
    uint32_t m_symbolTableOffset = 0;
    uint32_t m_symbolCount = 0;
    uint32_t m_sizeOfImage = 0;
    uint64_t m_imageBase = 0;
    size_t m_fileHeaderOffset = 0;
    size_t m_optionalHeaderOffset = 0;
    std::vector<DataDirectory> m_directories;
    std::vector<Section> m_sections;
};

}  // namespace binary
