// The real program when things go wrong around it: closed in the middle of a
// slide in every way a window can be closed, a quit request arriving while a
// modal loop of the window runs, and a link handler that takes seconds to
// start. Each time: no crash, no hang, exit code 0, nothing of its own shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/windows/endtoend/HandlerOverride.h"
#include "tests/windows/endtoend/RunningVelmora.h"

using namespace harness;
using namespace endtoend;

namespace {

constexpr DWORD kExitWaitMs = 10000;
constexpr DWORD kNotEnded = 0x10000;

constexpr wchar_t kMenuClass[] = L"#32768";

// Waits for the program to end, watching that it shows no window of its own
// on the way (a message box, a dialog, a crash report; the system menu the
// test opened is the desktop's); the exit code, or kNotEnded.
DWORD ExitCodeShowingNothing(RunningVelmora& velmora) {
    const HWND main = velmora.Window();
    DWORD code = kNotEnded;
    const ULONGLONG end = GetTickCount64() + kExitWaitMs;
    while (GetTickCount64() < end) {
        for (HWND w : velmora.WindowsButTooltips()) {
            if (w == main || ClassOf(w) == kMenuClass) continue;
            wchar_t title[256] = {};
            GetWindowTextW(w, title, 256);
            ADD_FAILURE() << "the program showed a window of class " << Narrow(ClassOf(w)) << ", titled \""
                          << Narrow(title) << "\"";
            return kNotEnded;
        }
        if (velmora.Process().WaitForExit(20, &code)) return code;
    }
    return kNotEnded;
}

// Whether the main window's thread answers a message within `ms`.
bool Answers(HWND window, UINT ms) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &result) != 0;
}

// Clicks the last header and returns once a picture shows the bar between
// two folders, or false if none did.
bool StartSlideToLastFolder(RunningVelmora& velmora) {
    const POINT header = velmora.HeaderPoint(0, kFolderCount - 1);
    MoveMouse(header.x, header.y);
    ClickNow(header.x, header.y);
    return WaitUntil([&] { return ShownFolder(velmora.CaptureBar()) == -1; }, 1000) &&
           velmora.Process().IsRunning();
}

void LogOff(HWND window) {
    DWORD_PTR agreed = 0;
    EXPECT_NE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &agreed),
              0)
        << "the window did not answer the log-off query";
    EXPECT_EQ(agreed, static_cast<DWORD_PTR>(TRUE)) << "the window refused the log-off";
    DWORD_PTR ignored = 0;
    EXPECT_NE(SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &ignored), 0)
        << "the window did not answer the end of the session";
}

struct Closer {
    const char* name;
    std::function<void(HWND window)> close;
};

class ClosedDuringASlide : public testing::TestWithParam<Closer> {};

}  // namespace

TEST_P(ClosedDuringASlide, EndsWithExitCodeZeroShowingNothing) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    ASSERT_TRUE(StartSlideToLastFolder(velmora)) << "no slide was seen";
    GetParam().close(velmora.Window());
    EXPECT_EQ(ExitCodeShowingNothing(velmora), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ClosedDuringASlide,
    testing::Values(Closer{"Escape", [](HWND) { PressKey(VK_ESCAPE); }},
                    Closer{"AltF4", [](HWND) { PressKey(VK_F4, {VK_MENU}); }},
                    Closer{"CloseMessageFromOutside", [](HWND w) { PostMessageW(w, WM_CLOSE, 0, 0); }},
                    Closer{"LogOff", [](HWND w) { LogOff(w); }}),
    [](const testing::TestParamInfo<Closer>& info) { return std::string(info.param.name); });

// A session that ends without the log-off going through (another program
// refused it) leaves the window as it was.
TEST(Faults, ACancelledLogOffLeavesTheWindowRunning) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutW(velmora.Window(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                                  &answer),
              0);
    ASSERT_NE(SendMessageTimeoutW(velmora.Window(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                                  &answer),
              0);
    Settle(500);
    EXPECT_TRUE(velmora.Process().IsRunning());
    EXPECT_TRUE(IsWindowVisible(velmora.Window()));
    ASSERT_TRUE(velmora.Open(3)) << "the bar stopped working";
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

namespace {

// The window's own modal loops: the system menu's, and the one that moves
// the window while its title bar is held.
enum class InnerLoop { SystemMenu, Moving };

bool InLoop(HWND window, InnerLoop loop) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return false;
    return (info.flags & (loop == InnerLoop::SystemMenu ? GUI_INMENUMODE : GUI_INMOVESIZE)) != 0;
}

bool EnterLoop(HWND window, InnerLoop loop) {
    if (loop == InnerLoop::SystemMenu) {
        PressKey(VK_SPACE, {VK_MENU});
    } else {
        RECT r{};
        GetWindowRect(window, &r);
        const int x = r.left + 100;
        const int y = r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
        MoveMouse(x, y);
        MouseDown();
        MoveMouse(x + 15, y + 10);
        MoveMouse(x + 30, y + 20);
    }
    return WaitUntil([&] { return InLoop(window, loop); }, 3000);
}

struct QuitCase {
    const char* name;
    InnerLoop loop;
    // How the quit request comes about: the window closed from outside (so
    // the program posts its own), or one posted straight to its thread.
    bool closeWindow;
};

class QuitDuringAnInnerLoop : public testing::TestWithParam<QuitCase> {};

}  // namespace

TEST_P(QuitDuringAnInnerLoop, EndsWithExitCodeZeroShowingNothing) {
    const QuitCase& c = GetParam();
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    const bool inLoop = EnterLoop(velmora.Window(), c.loop);
    if (!inLoop && c.loop == InnerLoop::Moving) MouseUp();
    ASSERT_TRUE(inLoop) << "the window never entered its loop";
    if (c.closeWindow) {
        PostMessageW(velmora.Window(), WM_CLOSE, 0, 0);
    } else {
        // Windows hands a quit request that a modal loop took on to the loop
        // outside, and the program ends; Wine's loops keep it, and the window
        // stays. Either is fine as long as the window then still answers and
        // closes as always.
        PostThreadMessageW(GetWindowThreadProcessId(velmora.Window(), nullptr), WM_QUIT, 0, 0);
        Settle(1000);
        if (c.loop == InnerLoop::Moving) {
            MouseUp();
        } else {
            // A click on the bar's bare ground takes the window out of menu
            // mode altogether (an Esc would only go back to the title bar's).
            const POINT ground = velmora.OnScreen(60, 250);
            Click(ground.x, ground.y);
        }
        if (velmora.Process().IsRunning()) {
            EXPECT_TRUE(Answers(velmora.Window(), 2000)) << "the window stopped answering";
            RecordProperty("quit_kept_by_the_loop", "yes");
            PressKey(VK_ESCAPE);
        }
    }
    // The pictures of a menu or a moved frame are the desktop's, not the
    // program's own: only its own top-level windows count.
    const DWORD code = ExitCodeShowingNothing(velmora);
    if (c.loop == InnerLoop::Moving) MouseUp();
    EXPECT_EQ(code, 0u);
}

INSTANTIATE_TEST_SUITE_P(Faults, QuitDuringAnInnerLoop,
                         testing::Values(QuitCase{"SystemMenuWindowClosed", InnerLoop::SystemMenu, true},
                                         QuitCase{"SystemMenuQuitPosted", InnerLoop::SystemMenu, false},
                                         QuitCase{"MovingWindowClosed", InnerLoop::Moving, true},
                                         QuitCase{"MovingQuitPosted", InnerLoop::Moving, false}),
                         [](const testing::TestParamInfo<QuitCase>& info) { return std::string(info.param.name); });

namespace {
constexpr unsigned kSlowHandlerMs = 4000;
}  // namespace

// A browser that takes seconds to come up must not take the window with it:
// while the handler is still starting the window answers and follows the
// pointer, and the link arrives once, when the handler is up.
TEST(Faults, AHandlerSlowToStartLeavesTheWindowAnswering) {
    const HandlerOverride slow = HandlerOverride::SlowToStart(L"http", kSlowHandlerMs);
    ASSERT_TRUE(slow.Ok());
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    ASSERT_TRUE(velmora.Open(4));
    ClearHandovers();
    const ItemFacts& clicked = Item(4, 0);
    const ItemFacts& hovered = Item(4, 1);
    velmora.Click(clicked);
    const ULONGLONG clickedAt = GetTickCount64();

    EXPECT_TRUE(Answers(velmora.Window(), 1000)) << "the window did not answer while the handler started";
    const POINT on = velmora.ItemPoint(hovered);
    MoveMouse(on.x, on.y);
    EXPECT_TRUE(WaitUntil([&] { return velmora.CaptureBar().Count(kBlue, hovered.labelBox) > 20; }, 1500))
        << "the window did not follow the pointer while the handler started";
    const ULONGLONG answeredAfter = GetTickCount64() - clickedAt;
    EXPECT_TRUE(ReadHandovers().empty()) << "the handler was not slow: the test shows nothing";
    RecordProperty("answered_after_ms", std::to_string(answeredAfter));

    EXPECT_EQ(WaitForHandovers(1, kSlowHandlerMs + 8000), std::vector<std::string>{clicked.link});
    Settle(500);
    EXPECT_EQ(ReadHandovers(), std::vector<std::string>{clicked.link});
    EXPECT_EQ(velmora.WindowsButTooltips(), std::vector<HWND>{velmora.Window()});
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

// Closing the window while the handler is still starting ends the program at
// once; the link still arrives.
TEST(Faults, ClosingWhileAHandlerStartsEndsAtOnce) {
    const HandlerOverride slow = HandlerOverride::SlowToStart(L"mailto", kSlowHandlerMs);
    ASSERT_TRUE(slow.Ok());
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    ASSERT_TRUE(velmora.Open(5));
    ClearHandovers();
    const ItemFacts& mail = Item(5, 1);
    velmora.Click(mail);
    EXPECT_TRUE(ReadHandovers().empty()) << "the handler was not slow: the test shows nothing";
    PressKey(VK_ESCAPE);
    DWORD code = kNotEnded;
    EXPECT_TRUE(velmora.Process().WaitForExit(kSlowHandlerMs / 2, &code))
        << "the program waited for the handler before it closed";
    EXPECT_EQ(WaitForHandovers(1, kSlowHandlerMs + 8000), std::vector<std::string>{mail.link});
    if (code == kNotEnded) velmora.Process().WaitForExit(kExitWaitMs, &code);
    EXPECT_EQ(code, 0u);
}
