#pragma once
// What a program file costs on disk and which DLLs it needs.

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct ImageFacts {
    bool readable = false;
    uint64_t fileBytes = 0;
    std::vector<std::string> imports;       // DLL names, as the import table spells them
    std::vector<std::string> delayImports;  // loaded at the first call into them instead of at start
};

// Reads the file size and the import tables of a PE file.
ImageFacts ReadImageFacts(const std::wstring& path);

// True for the DLLs that every Windows Velmora runs on has in its system folder.
bool ShippedWithEveryWindows(const std::string& dll);

}  // namespace bench
