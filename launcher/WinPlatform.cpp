#include "launcher/WinPlatform.h"

#include <ole2.h>

namespace launcher {

bool WinPlatform::PrepareEnvironment() {
    // Single-threaded apartment, which the shell's open service expects.
    return SUCCEEDED(OleInitialize(nullptr));
}

bool WinPlatform::CreateMainWindow(Lifecycle& lifecycle) {
    m_lifecycle = &lifecycle;
    m_window = m_factory ? m_factory(m_instance, lifecycle) : nullptr;
    return m_window != nullptr;
}

void WinPlatform::ShowFatalError() {
    MessageBoxW(nullptr, L"Velmora 无法启动：主窗口创建失败。", L"Velmora 启动错误", MB_OK | MB_ICONERROR);
}

int WinPlatform::RunEventLoop() {
    MSG msg{};
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) break;
        if (got == -1) return 0;
        if (m_window && m_window->PreTranslateMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        // A modal loop that the window runs inside a message (moving it, its
        // system menu) can take the quit request for itself when the window
        // is destroyed meanwhile. Windows posts it again for the loop outside;
        // Wine does not, and the process would wait forever with no window.
        if (m_lifecycle && m_lifecycle->QuitPosted() && !PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) {
            return 0;
        }
    }
    return static_cast<int>(msg.wParam);
}

void WinPlatform::ReleaseEnvironment() { OleUninitialize(); }

int RunProgram(HINSTANCE instance, MainWindowFactory factory) {
    WinPlatform platform(instance, factory);
    return RunLauncher(platform);
}

}  // namespace launcher
