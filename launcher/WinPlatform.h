#pragma once
// Start-up's platform on Windows: OLE, the main window, the message box for a
// failed start, and the event loop.

#include <windows.h>

#include <memory>

#include "launcher/Lifecycle.h"
#include "launcher/MainWindow.h"

namespace launcher {

// Creates the main window. Tests put a failing one in its place.
using MainWindowFactory = std::unique_ptr<MainWindow> (*)(HINSTANCE instance, Lifecycle& lifecycle);

class WinPlatform final : public StartupPlatform {
public:
    WinPlatform(HINSTANCE instance, MainWindowFactory factory) : m_instance(instance), m_factory(factory) {}

    bool PrepareEnvironment() override;
    bool CreateMainWindow(Lifecycle& lifecycle) override;
    void ShowFatalError() override;
    int RunEventLoop() override;
    void ReleaseEnvironment() override;

private:
    HINSTANCE m_instance;
    MainWindowFactory m_factory;
    std::unique_ptr<MainWindow> m_window;
    const Lifecycle* m_lifecycle = nullptr;
};

// The whole program: start-up, event loop and shutdown. Returns the exit code.
int RunProgram(HINSTANCE instance, MainWindowFactory factory);

}  // namespace launcher
