#pragma once
// What the baseline program shows, shared with the driver that looks for it.

#include <windows.h>

namespace bench {

inline constexpr wchar_t kBaselineClass[] = L"VelmoraBaselineWindow";
// A colour Velmora never shows, so the two windows cannot be mistaken.
inline constexpr COLORREF kBaselineColour = RGB(0, 128, 128);
// Velmora's outer size and window style: the frame and caption cost the same.
inline constexpr int kWindowWidth = 300;
inline constexpr int kWindowHeight = 516;
inline constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

}  // namespace bench
