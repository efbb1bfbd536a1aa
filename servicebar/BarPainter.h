#pragma once
// Draws a whole frame of the bar into a DC.

#include "servicebar/BarState.h"
#include "servicebar/GdiHandles.h"
#include "servicebar/Settings.h"
#include "servicebar/WideText.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace servicebar {

// Both looks of a folder header, drawn once and copied from there at every
// paint: drawing a header's frame and gradient takes some thirty GDI calls,
// copying it one.
class HeaderArt {
public:
    HeaderArt() = default;
    HeaderArt(const HeaderArt&) = delete;
    HeaderArt& operator=(const HeaderArt&) = delete;

    // Draws the artwork for headers of `size` on `ground`, unless it is there
    // already. False if there is no memory for it.
    bool Prepare(HDC compatibleWith, Size size, COLORREF ground);
    // Copies one look into `r`; false if `r` is not of the prepared size.
    bool Draw(HDC dc, const Rect& r, bool hot) const;

private:
    std::unique_ptr<BackBuffer> m_buffer;  // the normal look above the hot one
    Size m_size;
    COLORREF m_ground = 0;
};

struct PaintResources {
    HFONT folderFont = nullptr;
    HFONT itemFont = nullptr;
    const std::vector<WideText>* folderLabels = nullptr;
    const std::vector<std::vector<WideText>>* itemLabels = nullptr;
    const BarColours* colours = nullptr;
    bool flatBorder = true;
    HeaderArt* headerArt = nullptr;  // optional: headers are drawn call by call without it
};

COLORREF ToColorRef(Colour colour);

// Paints every pixel of the bar's `size`, so the DC needs no erasing first.
void PaintBar(HDC dc, const BarState& state, const PaintResources& res);

}  // namespace servicebar
