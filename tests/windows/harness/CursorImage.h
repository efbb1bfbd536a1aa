#pragma once
// A cursor drawn the same way in any process, so that two cursors can be told
// apart by their looks: cursor handles mean nothing outside their own process.
// The cursor probe library (CursorProbe.cpp), loaded into the program under
// test, draws the cursor that program shows and hands the picture back
// through a shared block. Header-only: the probe and the harness both use it.

#include <windows.h>

#include "tests/windows/harness/OffScreen.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace harness {

constexpr int kMaxCursorSize = 64;

struct CursorImage {
    int width = 0;
    int height = 0;
    // The cursor drawn over black, then over white: together they tell the
    // transparent and inverting parts from the opaque ones.
    std::vector<uint32_t> pixels;

    bool IsEmpty() const { return pixels.empty(); }
    bool operator==(const CursorImage& o) const {
        return width == o.width && height == o.height && pixels == o.pixels;
    }
    bool operator!=(const CursorImage& o) const { return !(*this == o); }
};

// Draws `cursor` over a plain background of `ground` and appends the pixels.
inline bool DrawCursorOver(HCURSOR cursor, int width, int height, uint32_t ground, std::vector<uint32_t>& out) {
    OffScreen picture(width, height);
    if (!picture.IsValid()) return false;
    uint32_t* pixels = picture.Pixels();
    std::fill(pixels, pixels + width * height, ground);
    const bool drawn = DrawIconEx(picture.Dc(), 0, 0, cursor, width, height, 0, nullptr, DI_NORMAL) != FALSE;
    GdiFlush();
    if (drawn) {
        // The byte above the colour is whatever the drawing left there.
        for (int i = 0; i < width * height; ++i) out.push_back(pixels[i] & 0x00FFFFFFu);
    }
    return drawn;
}

// Empty when the cursor cannot be drawn (no cursor, or a handle of another process).
inline CursorImage RenderCursor(HCURSOR cursor) {
    CursorImage image;
    if (!cursor) return image;
    const int width = std::min(GetSystemMetrics(SM_CXCURSOR), kMaxCursorSize);
    const int height = std::min(GetSystemMetrics(SM_CYCURSOR), kMaxCursorSize);
    std::vector<uint32_t> pixels;
    if (!DrawCursorOver(cursor, width, height, 0x000000u, pixels) ||
        !DrawCursorOver(cursor, width, height, 0xFFFFFFu, pixels)) {
        return image;
    }
    image.width = width;
    image.height = height;
    image.pixels = std::move(pixels);
    return image;
}

// What the probe writes for the process that asked.
struct CursorProbeBlock {
    volatile LONG ready;
    LONG width;
    LONG height;
    uint32_t pixels[2 * kMaxCursorSize * kMaxCursorSize];
};

constexpr wchar_t kCursorProbeMessage[] = L"VelmoraHarnessCursorProbe";
constexpr char kCursorProbeHookName[] = "CursorProbeHook";
// The probe library's file name; it is looked for next to the test program.
constexpr wchar_t kCursorProbeFileName[] = L"cursorprobe.dll";

inline std::wstring CursorProbeBlockName(DWORD processId) {
    return L"Local\\VelmoraHarnessCursor-" + std::to_wstring(processId);
}

}  // namespace harness
