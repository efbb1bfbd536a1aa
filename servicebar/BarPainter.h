#pragma once
// Draws a whole frame of the bar into a DC.

#include "servicebar/BarState.h"
#include "servicebar/Settings.h"

#include <windows.h>

#include <string>
#include <vector>

namespace servicebar {

struct PaintResources {
    HFONT folderFont = nullptr;
    HFONT itemFont = nullptr;
    const std::vector<std::wstring>* folderLabels = nullptr;
    const std::vector<std::vector<std::wstring>>* itemLabels = nullptr;
    const BarColours* colours = nullptr;
    bool flatBorder = true;
};

COLORREF ToColorRef(Colour colour);

// Paints every pixel of the bar's `size`, so the DC needs no erasing first.
void PaintBar(HDC dc, const BarState& state, const PaintResources& res);

}  // namespace servicebar
