#pragma once
// A stand-in for the font: every character is 12 pixels wide and a line is 14
// pixels high; lines break between any two characters.

#include "servicebar/Geometry.h"
#include "servicebar/Layout.h"

#include <algorithm>
#include <string_view>

namespace servicebar::testing {

constexpr int kCharWidth = 12;
constexpr int kLineHeight = 14;

inline Size FakeMeasure(std::u16string_view text, int wrapWidth) {
    const int chars = static_cast<int>(text.size());
    if (chars == 0) return Size{0, 0};
    const int perLine = std::max(1, wrapWidth / kCharWidth);
    const int lines = (chars + perLine - 1) / perLine;
    return Size{std::min(chars, perLine) * kCharWidth, lines * kLineHeight};
}

inline MeasureText Measurer() { return &FakeMeasure; }

}  // namespace servicebar::testing
