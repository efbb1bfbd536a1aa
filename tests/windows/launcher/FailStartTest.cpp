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

// Whether `shown` is exactly a system icon drawn at its natural size over
// the background colour `shown` has in its corner.
bool ShowsSystemIcon(const ScreenImage& shown, const wchar_t* which) {
    const int w = shown.Width();
    const int h = shown.Height();
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const Rgb back = shown.At(0, 0);
    HBRUSH brush = CreateSolidBrush(RGB(back.r, back.g, back.b));
    RECT all{0, 0, w, h};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, LoadIconW(nullptr, which), 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
    bool same = true;
    for (int y = 0; y < h && same; ++y) {
        for (int x = 0; x < w && same; ++x) {
            const COLORREF c = GetPixel(memory, x, y);
            same = shown.At(x, y) == Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return same;
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

    // The stop icon: some static control of the box shows exactly the
    // system's error icon, and not the warning icon.
    bool stopIcon = false;
    bool warningIcon = false;
    for (HWND s : ChildrenOfClass(box, L"Static")) {
        if ((GetWindowLongW(s, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        RECT r{};
        GetWindowRect(s, &r);
        const ScreenImage shown = ScreenImage::Capture(r);
        stopIcon = stopIcon || ShowsSystemIcon(shown, IDI_ERROR);
        warningIcon = warningIcon || ShowsSystemIcon(shown, IDI_WARNING);
    }
    EXPECT_TRUE(stopIcon);
    EXPECT_FALSE(warningIcon);

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
