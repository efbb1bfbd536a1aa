#pragma once
// Writes 24-bit RGB pictures as PNG files, uncompressed, with no library.

#include <cstdint>
#include <string>
#include <vector>

namespace harness {

// `rgb` holds width * height pixels, three bytes each, row after row from the top.
bool WritePng(const std::wstring& path, int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace harness
