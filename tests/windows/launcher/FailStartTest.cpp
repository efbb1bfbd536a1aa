// A start-up that cannot create its window tells the user and ends with -1.
#include <gtest/gtest.h>

#include "tests/windows/harness/Harness.h"

using namespace harness;

namespace {

std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND child = FindWindowExW(parent, nullptr, className, nullptr); child;
         child = FindWindowExW(parent, child, className, nullptr)) {
        if (IsWindowVisible(child)) found.push_back(child);
    }
    return found;
}

}  // namespace

TEST(FailedStart, ShowsAStopMessageWithOneOkAndEndsWithMinusOne) {
    auto program = Program::Start(WinePath(VELMORA_FAILSTART_EXE_PATH));
    ASSERT_TRUE(program);
    HWND box = program->WaitForWindow(L"#32770");
    ASSERT_TRUE(box) << "no message box";
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    ScreenImage::CaptureWindow(box).SavePng(L"failed-start.png");

    // One button, OK.
    const std::vector<HWND> buttons = ChildrenOfClass(box, L"Button");
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(GetDlgCtrlID(buttons[0]), IDOK);

    // The stop icon: the message box shows the system's shared error icon.
    bool stopIcon = false;
    for (HWND s : ChildrenOfClass(box, L"Static")) {
        auto icon = reinterpret_cast<HICON>(SendMessageW(s, STM_GETICON, 0, 0));
        if (icon && icon == LoadIconW(nullptr, IDI_ERROR)) stopIcon = true;
    }
    EXPECT_TRUE(stopIcon);

    // The message is Chinese text of the program's own.
    wchar_t text[256] = {};
    for (HWND s : ChildrenOfClass(box, L"Static")) {
        if (GetWindowTextW(s, text, 256) > 0) break;
    }
    EXPECT_NE(std::wstring(text).find(L"无法启动"), std::wstring::npos);

    // The program waits for the user.
    Settle(500);
    EXPECT_TRUE(program->IsRunning());
    SetForegroundWindow(box);
    PressKey(VK_RETURN);
    DWORD code = 0;
    ASSERT_TRUE(program->WaitForExit(10000, &code));
    EXPECT_EQ(code, 0xFFFFFFFFu);
}
