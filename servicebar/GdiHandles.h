#pragma once
// Small owners for the Win32 handles the bar holds: each frees its handle
// exactly once and cannot be copied.

#include <windows.h>

namespace servicebar {

template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : m_handle(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (m_handle) DeleteObject(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = nullptr;
};

using FontHandle = GdiObject<HFONT>;
using BitmapHandle = GdiObject<HBITMAP>;

class MemoryDc {
public:
    explicit MemoryDc(HDC compatibleWith) : m_dc(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDc() {
        if (m_dc) DeleteDC(m_dc);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HDC m_dc;
};

// A DC borrowed from a window with GetDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
    ~WindowDc() {
        if (m_dc) ReleaseDC(m_hwnd, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// Puts the previous object back into the DC on scope exit, so that nothing is
// deleted while still selected.
class SelectedObject {
public:
    // A null object selects nothing.
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (m_previous && m_previous != HGDI_ERROR) SelectObject(m_dc, m_previous);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// Like SelectedObject for a font, but leaves a DC that holds the font already
// alone: selecting a font costs as much as drawing a line of text.
class SelectedFont {
public:
    SelectedFont(HDC dc, HFONT font)
        : m_dc(dc), m_previous(GetCurrentObject(dc, OBJ_FONT) != font ? SelectObject(dc, font) : nullptr) {}
    ~SelectedFont() {
        if (m_previous && m_previous != HGDI_ERROR) SelectObject(m_dc, m_previous);
    }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : m_hwnd(hwnd) { m_dc = BeginPaint(hwnd, &m_ps); }
    ~PaintScope() { EndPaint(m_hwnd, &m_ps); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC Dc() const { return m_dc; }
    const RECT& Area() const { return m_ps.rcPaint; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc = nullptr;
};

class OwnedWindow {
public:
    OwnedWindow() = default;
    ~OwnedWindow() { Reset(); }
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;

    HWND Get() const { return m_hwnd; }
    void Reset(HWND hwnd = nullptr) {
        if (m_hwnd) DestroyWindow(m_hwnd);
        m_hwnd = hwnd;
    }

private:
    HWND m_hwnd = nullptr;
};

// The off-screen picture the bar paints into before one copy to the screen.
// It can keep one font selected for its whole life (which must be shorter
// than the font's), so that painting need not select that font each time.
class BackBuffer {
public:
    BackBuffer(HDC compatibleWith, int width, int height, HFONT keptFont = nullptr)
        : m_dc(compatibleWith),
          m_bitmap(m_dc ? CreateCompatibleBitmap(compatibleWith, width, height) : nullptr),
          m_selection(m_dc.Get(), m_bitmap.Get()),
          m_font(m_dc.Get(), keptFont),
          m_width(width),
          m_height(height) {}
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    bool IsValid() const { return m_dc && m_bitmap; }
    HDC Dc() const { return m_dc.Get(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    // Declaration order matters: the font and the bitmap are deselected, then
    // the bitmap is deleted, then the DC.
    MemoryDc m_dc;
    BitmapHandle m_bitmap;
    SelectedObject m_selection;
    SelectedObject m_font;
    int m_width;
    int m_height;
};

}  // namespace servicebar
