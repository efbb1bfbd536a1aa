#include "bench/Input.h"

#include "bench/Clock.h"

namespace bench {
namespace {

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

}  // namespace

void MoveCursorTo(POINT screen) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    // Absolute input is in 1/65536ths of the screen; aim at the pixel's middle.
    const LONG dx = static_cast<LONG>((static_cast<long long>(screen.x) * 65536 + 32768) / w);
    const LONG dy = static_cast<LONG>((static_cast<long long>(screen.y) * 65536 + 32768) / h);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, dx, dy);
    const double end = NowMs() + 1000;
    POINT at{};
    while (NowMs() < end && !(GetCursorPos(&at) && at.x == screen.x && at.y == screen.y)) Sleep(1);
}

void LeftDown() { SendMouse(MOUSEEVENTF_LEFTDOWN); }

void LeftUp() { SendMouse(MOUSEEVENTF_LEFTUP); }

}  // namespace bench
