#include "bench/ScreenGrab.h"

namespace bench {

ScreenGrab::ScreenGrab(const RECT& area) : m_area(area) {
    if (Width() <= 0 || Height() <= 0) return;
    m_screen = GetDC(nullptr);
    if (!m_screen) return;
    m_memory = CreateCompatibleDC(m_screen);
    if (!m_memory) return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = Width();
    bi.bmiHeader.biHeight = -Height();
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dib = CreateDIBSection(m_screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!m_dib) return;
    m_previous = SelectObject(m_memory, m_dib);
    m_bits = static_cast<const uint32_t*>(bits);
    m_frame.resize(static_cast<size_t>(Width()) * static_cast<size_t>(Height()));
}

ScreenGrab::~ScreenGrab() {
    if (m_previous) SelectObject(m_memory, m_previous);
    if (m_dib) DeleteObject(m_dib);
    if (m_memory) DeleteDC(m_memory);
    if (m_screen) ReleaseDC(nullptr, m_screen);
}

const Frame& ScreenGrab::Take() {
    if (!IsValid()) return m_frame;
    BitBlt(m_memory, 0, 0, Width(), Height(), m_screen, m_area.left, m_area.top, SRCCOPY);
    GdiFlush();
    // The top byte of a 32-bit DIB pixel is not part of the colour.
    for (size_t i = 0; i < m_frame.size(); ++i) m_frame[i] = m_bits[i] & 0x00FFFFFFu;
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
