#include "launcher/Lifecycle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace launcher {
namespace {

// Records what start-up asks of the platform, and plays the window's part.
class FakePlatform : public StartupPlatform {
public:
    enum class Window { Created, Fails, DestroyedDuringCreation };

    explicit FakePlatform(Window window) : m_window(window) {}

    bool PrepareEnvironment() override {
        calls.push_back("prepare");
        return environmentUp;
    }
    bool CreateMainWindow(Lifecycle& lifecycle) override {
        calls.push_back("create");
        if (m_window == Window::Fails) return false;
        lifecycle.WindowCreated();
        m_lifecycle = &lifecycle;
        if (m_window == Window::DestroyedDuringCreation) quitPosted = lifecycle.WindowDestroyed();
        return true;
    }
    void ShowFatalError() override { calls.push_back("fatal"); }
    int RunEventLoop() override {
        calls.push_back("loop");
        // The user closes the window while the loop runs.
        quitPosted = m_lifecycle->WindowDestroyed();
        return 0;
    }
    void ReleaseEnvironment() override { calls.push_back("release"); }

    std::vector<std::string> calls;
    bool environmentUp = true;
    bool quitPosted = false;

private:
    Window m_window;
    Lifecycle* m_lifecycle = nullptr;
};

TEST(RunLauncherTest, OrderlyRunEndsWithZeroAndReleasesOleLast) {
    FakePlatform platform(FakePlatform::Window::Created);
    std::vector<std::string>* calls = &platform.calls;
    const int code = RunLauncher(platform, [calls] { calls->push_back("cleanup"); });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(platform.quitPosted);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"prepare", "create", "loop", "cleanup", "release"}));
}

TEST(RunLauncherTest, FailedWindowShowsErrorDropsCleanupAndReturnsMinusOne) {
    FakePlatform platform(FakePlatform::Window::Fails);
    std::vector<std::string>* calls = &platform.calls;
    const int code = RunLauncher(platform, [calls] { calls->push_back("cleanup"); });
    EXPECT_EQ(code, -1);
    EXPECT_EQ(static_cast<unsigned>(code), 0xFFFFFFFFu);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"prepare", "create", "fatal", "release"}));
}

TEST(RunLauncherTest, NoLiveWindowSkipsTheLoopAndPostsNoQuit) {
    FakePlatform platform(FakePlatform::Window::DestroyedDuringCreation);
    const int code = RunLauncher(platform);
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(platform.quitPosted);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"prepare", "create", "release"}));
}

TEST(RunLauncherTest, OleThatDidNotComeUpIsNotReleased) {
    FakePlatform platform(FakePlatform::Window::Created);
    platform.environmentUp = false;
    EXPECT_EQ(RunLauncher(platform), 0);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"prepare", "create", "loop"}));
}

TEST(LifecycleTest, QuitOnlyWhenTheLastWindowGoesWhileTheLoopRuns) {
    Lifecycle lifecycle;
    lifecycle.WindowCreated();
    lifecycle.WindowCreated();
    EXPECT_FALSE(lifecycle.WindowDestroyed()) << "before the loop";
    lifecycle.EnterLoop();
    EXPECT_TRUE(lifecycle.AnyWindowAlive());
    EXPECT_FALSE(lifecycle.QuitPosted());
    EXPECT_TRUE(lifecycle.WindowDestroyed());
    EXPECT_FALSE(lifecycle.AnyWindowAlive());
    EXPECT_TRUE(lifecycle.QuitPosted());
}

TEST(LifecycleTest, AWindowGoneBeforeTheLoopLeavesNoQuitPosted) {
    Lifecycle lifecycle;
    lifecycle.WindowCreated();
    EXPECT_FALSE(lifecycle.WindowDestroyed());
    lifecycle.EnterLoop();
    EXPECT_FALSE(lifecycle.QuitPosted());
}

TEST(LifecycleTest, OneOfTwoWindowsGoingDoesNotQuit) {
    Lifecycle lifecycle;
    lifecycle.WindowCreated();
    lifecycle.WindowCreated();
    lifecycle.EnterLoop();
    EXPECT_FALSE(lifecycle.WindowDestroyed());
    EXPECT_FALSE(lifecycle.QuitPosted());
    EXPECT_TRUE(lifecycle.WindowDestroyed());
    EXPECT_TRUE(lifecycle.QuitPosted());
}

}  // namespace
}  // namespace launcher
