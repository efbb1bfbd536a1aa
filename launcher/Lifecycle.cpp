#include "launcher/Lifecycle.h"

#include <utility>

namespace launcher {

bool Lifecycle::WindowDestroyed() {
    if (m_liveWindows > 0) --m_liveWindows;
    const bool quit = m_liveWindows == 0 && m_loopRunning;
    if (quit) m_quitPosted = true;
    return quit;
}

int RunLauncher(StartupPlatform& platform, std::function<void()> cleanup) {
    Lifecycle lifecycle;
    // The desktop's open service may rely on OLE/COM being up on this thread.
    const bool release = platform.PrepareEnvironment();
    std::function<void()> registered = std::move(cleanup);

    if (!platform.CreateMainWindow(lifecycle)) {
        platform.ShowFatalError();
        registered = nullptr;
        if (release) platform.ReleaseEnvironment();
        return kFatalExitCode;
    }

    lifecycle.EnterLoop();
    int exitCode = 0;
    if (lifecycle.AnyWindowAlive()) exitCode = platform.RunEventLoop();

    if (registered) {
        auto once = std::move(registered);
        registered = nullptr;
        once();
    }
    if (release) platform.ReleaseEnvironment();
    return exitCode;
}

}  // namespace launcher
