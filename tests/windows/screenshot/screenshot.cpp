// Starts Velmora, saves a picture of its window as a PNG at the path given,
// and closes it again. Used where there is no display to show it on.
#include <cstdio>

#include "tests/windows/harness/Harness.h"

using namespace harness;

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshot <file.png>\n");
        return 2;
    }
    auto program = Program::StartVelmora();
    HWND window = program ? program->WaitForWindow() : nullptr;
    if (!window) {
        std::fprintf(stderr, "Velmora did not show its window\n");
        return 1;
    }
    const bool saved = ScreenImage::CaptureWindow(window).SavePngTo(argv[1]);
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD code = 0;
    const bool ended = program->WaitForExit(10000, &code);
    if (!saved) std::fprintf(stderr, "could not write the picture\n");
    if (!ended || code != 0) std::fprintf(stderr, "Velmora did not end cleanly (exit code %lu)\n", code);
    return saved && ended && code == 0 ? 0 : 1;
}
