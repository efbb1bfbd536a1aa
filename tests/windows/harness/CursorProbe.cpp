// The cursor probe: a message hook that the harness sets on the user-interface
// thread of the program under test. Wine (like Windows) loads this library into
// that process to run the hook, so the cursor handle the program set is valid
// here and can be drawn; the picture goes back through a shared block that the
// harness created for this process.
#include <windows.h>

#include <algorithm>

#include "tests/windows/harness/CursorImage.h"

namespace {

void AnswerProbe() {
    HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE,
                                      harness::CursorProbeBlockName(GetCurrentProcessId()).c_str());
    if (!mapping) return;
    auto* block = static_cast<harness::CursorProbeBlock*>(
        MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(harness::CursorProbeBlock)));
    if (block) {
        const harness::CursorImage image = harness::RenderCursor(GetCursor());
        block->width = image.width;
        block->height = image.height;
        std::copy(image.pixels.begin(), image.pixels.end(), block->pixels);
        InterlockedExchange(&block->ready, 1);
        UnmapViewOfFile(block);
    }
    CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK CursorProbeHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        MSG* msg = reinterpret_cast<MSG*>(lParam);
        if (msg->message == RegisterWindowMessageW(harness::kCursorProbeMessage)) {
            AnswerProbe();
            // The program itself never sees the probe.
            msg->message = WM_NULL;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
