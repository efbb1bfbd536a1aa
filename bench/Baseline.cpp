// The floor Velmora is measured against: the least a program can do on this
// platform to show one window of Velmora's size, style and place. Its client
// area is filled once with one colour; it does nothing else.
#include <windows.h>

#include "bench/BaselineWindow.h"

namespace {

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        // The stock DC brush: nothing to create or free for one fill.
        SelectObject(dc, GetStockObject(DC_BRUSH));
        SetDCBrushColor(dc, bench::kBaselineColour);
        PatBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
               ps.rcPaint.bottom - ps.rcPaint.top, PATCOPY);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = bench::kBaselineClass;
    if (!RegisterClassExW(&wc)) return -1;

    // Centred like Velmora, so that both windows cover the same pixels.
    const int x = (GetSystemMetrics(SM_CXSCREEN) - bench::kWindowWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - bench::kWindowHeight) / 2;
    HWND hwnd = CreateWindowExW(0, bench::kBaselineClass, L"Baseline", bench::kWindowStyle, x, y,
                                bench::kWindowWidth, bench::kWindowHeight, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return -1;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
