#pragma once
// Copies one rectangle of the screen, as often as asked, into one buffer:
// what the user would see there, read back from the display.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "tests/windows/harness/OffScreen.h"

namespace bench {

// Pixels as 0x00RRGGBB, row by row from the top.
using Frame = std::vector<uint32_t>;

class ScreenGrab {
public:
    explicit ScreenGrab(const RECT& area);  // screen coordinates
    ~ScreenGrab();
    ScreenGrab(const ScreenGrab&) = delete;
    ScreenGrab& operator=(const ScreenGrab&) = delete;

    bool IsValid() const { return m_screen && m_copy.IsValid(); }
    int Width() const { return m_area.right - m_area.left; }
    int Height() const { return m_area.bottom - m_area.top; }

    // Reads the area from the screen again; the frame stays valid until the next call.
    const Frame& Take();

private:
    RECT m_area;
    HDC m_screen;
    harness::OffScreen m_copy;
    Frame m_frame;
};

// How many pixels of `frame` have the colour `rgb` (a COLORREF).
int CountColour(const Frame& frame, COLORREF rgb);

}  // namespace bench
