// Velmora as it starts when its main window cannot be created: the real
// start-up and error path, with window creation that fails for real (the
// window class asked for was never registered).
#include <windows.h>

#include "launcher/WinPlatform.h"

namespace {

std::unique_ptr<launcher::MainWindow> CreateNoWindow(HINSTANCE instance, launcher::Lifecycle&) {
    if (CreateWindowExW(0, L"VelmoraNoSuchClass", L"Velmora", WS_OVERLAPPEDWINDOW, 0, 0, 300, 516, nullptr,
                        nullptr, instance, nullptr)) {
        ExitProcess(2);  // a window appeared after all: not the case under test
    }
    return nullptr;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return launcher::RunProgram(instance, &CreateNoWindow);
}
