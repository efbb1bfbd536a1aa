#pragma once
// What a Velmora.exe that people download and double-click must be, checked
// on the built file: the right kind of program, hardened, self-contained.

#include <string>
#include <vector>

#include "tests/unit/binary/PeImage.h"

namespace binary {

enum class Arch { X64, X86 };

// DLLs that every supported Windows (7 and later) has in its system
// directory. The MinGW runtime's own DLLs (libstdc++, libgcc, libwinpthread)
// and the api-ms-win-* sets of newer Windows are not among them.
const std::vector<std::string>& SystemDlls();

// Everything the image breaks of those rules, one line each; empty if none.
std::vector<std::string> Faults(const PeImage& image, Arch arch);

}  // namespace binary
