#pragma once
// A 32-bit top-down DIB section selected into a memory DC: a picture to draw
// into, or to copy the screen into, whose pixels can be read straight away.
// Header-only, so that the probe DLLs and the benchmark can use it too.

#include <windows.h>

#include <cstdint>

namespace harness {

class OffScreen {
public:
    // `compatibleWith` may be the screen's DC; nullptr stands for the screen.
    OffScreen(int width, int height, HDC compatibleWith = nullptr)
        : m_width(width), m_height(height), m_dc(CreateCompatibleDC(compatibleWith)) {
        if (!m_dc || width <= 0 || height <= 0) return;
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_dib = CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!m_dib) return;
        m_previous = SelectObject(m_dc, m_dib);
        m_pixels = static_cast<uint32_t*>(bits);
    }
    ~OffScreen() {
        if (m_previous) SelectObject(m_dc, m_previous);
        if (m_dib) DeleteObject(m_dib);
        if (m_dc) DeleteDC(m_dc);
    }
    OffScreen(const OffScreen&) = delete;
    OffScreen& operator=(const OffScreen&) = delete;

    bool IsValid() const { return m_pixels != nullptr; }
    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // 0xXXRRGGBB, row by row from the top; the top byte is not part of the
    // colour. Call GdiFlush() after drawing, before reading.
    uint32_t* Pixels() const { return m_pixels; }

private:
    int m_width;
    int m_height;
    HDC m_dc;
    HBITMAP m_dib = nullptr;
    HGDIOBJ m_previous = nullptr;
    uint32_t* m_pixels = nullptr;
};

}  // namespace harness
