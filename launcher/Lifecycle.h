#pragma once
// The life of the process: which windows are alive, whether the event loop
// runs, and the order of start-up and shutdown.

#include <functional>

namespace launcher {

// Counts the program's live top-level windows and applies the quit rule.
class Lifecycle {
public:
    void WindowCreated() { ++m_liveWindows; }

    // Returns true when the quit request must be posted now: the last window
    // is gone and the event loop has been entered. A window destroyed during
    // start-up, before the loop, posts nothing.
    bool WindowDestroyed();

    // Whether the quit rule has asked for the quit request: from then on the
    // loop has nothing left to wait for.
    bool QuitPosted() const { return m_quitPosted; }

    void EnterLoop() { m_loopRunning = true; }
    bool LoopRunning() const { return m_loopRunning; }
    bool AnyWindowAlive() const { return m_liveWindows > 0; }

private:
    int m_liveWindows = 0;
    bool m_loopRunning = false;
    bool m_quitPosted = false;
};

// What start-up needs from the platform, in the order it uses it.
class StartupPlatform {
public:
    virtual ~StartupPlatform() = default;
    // Sets up OLE/COM for this thread. Returns whether it must be released.
    virtual bool PrepareEnvironment() = 0;
    // Creates and shows the main window; false if it cannot be created.
    virtual bool CreateMainWindow(Lifecycle& lifecycle) = 0;
    // Tells the user that start-up failed, and returns once dismissed.
    virtual void ShowFatalError() = 0;
    // Runs the event loop until the quit request; returns its code.
    virtual int RunEventLoop() = 0;
    virtual void ReleaseEnvironment() = 0;
};

inline constexpr int kFatalExitCode = -1;

// Start-up, event loop and shutdown. Returns the process exit code.
// `cleanup` is called once after an orderly end and dropped after a failure.
int RunLauncher(StartupPlatform& platform, std::function<void()> cleanup = {});

}  // namespace launcher
