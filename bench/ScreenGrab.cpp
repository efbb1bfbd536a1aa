#include "bench/ScreenGrab.h"

namespace bench {

ScreenGrab::ScreenGrab(const RECT& area)
    : m_area(area), m_screen(GetDC(nullptr)), m_copy(area.right - area.left, area.bottom - area.top, m_screen) {
    if (IsValid()) m_frame.resize(static_cast<size_t>(Width()) * static_cast<size_t>(Height()));
}

ScreenGrab::~ScreenGrab() {
    if (m_screen) ReleaseDC(nullptr, m_screen);
}

const Frame& ScreenGrab::Take() {
    if (!IsValid()) return m_frame;
    BitBlt(m_copy.Dc(), 0, 0, Width(), Height(), m_screen, m_area.left, m_area.top, SRCCOPY);
    GdiFlush();
    // The top byte of a 32-bit DIB pixel is not part of the colour.
    const uint32_t* pixels = m_copy.Pixels();
    for (size_t i = 0; i < m_frame.size(); ++i) m_frame[i] = pixels[i] & 0x00FFFFFFu;
    return m_frame;
}

int CountColour(const Frame& frame, COLORREF rgb) {
    const uint32_t wanted = (static_cast<uint32_t>(GetRValue(rgb)) << 16) |
                            (static_cast<uint32_t>(GetGValue(rgb)) << 8) | GetBValue(rgb);
    int n = 0;
    for (uint32_t pixel : frame) n += pixel == wanted;
    return n;
}

}  // namespace bench
