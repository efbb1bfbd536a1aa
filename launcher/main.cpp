#include <windows.h>

#include "launcher/WinPlatform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The command line and the show command are ignored: the window always
    // opens the same way.
    return launcher::RunProgram(instance, &launcher::MainWindow::Create);
}
