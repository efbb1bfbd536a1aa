#include "bench/Input.h"

#include "bench/Clock.h"
#include "tests/windows/harness/Harness.h"

namespace bench {
namespace {

void ButtonWhereThePointerIs(DWORD flags) {
    POINT at{};
    GetCursorPos(&at);
    harness::SendMouseNow(flags, at.x, at.y);
}

}  // namespace

void MoveCursorTo(POINT screen) {
    harness::SendMouseNow(0, screen.x, screen.y);
    const double end = NowMs() + 1000;
    POINT at{};
    while (NowMs() < end && !(GetCursorPos(&at) && at.x == screen.x && at.y == screen.y)) Sleep(1);
}

void LeftDown() { ButtonWhereThePointerIs(MOUSEEVENTF_LEFTDOWN); }

void LeftUp() { ButtonWhereThePointerIs(MOUSEEVENTF_LEFTUP); }

}  // namespace bench
