// The main window as the platform and the user see it, on the real program.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "tests/windows/harness/Harness.h"

using namespace harness;

namespace {

POINT g_expectedOrigin{362, 126};

struct Running {
    std::unique_ptr<Program> program;
    HWND window = nullptr;
};

Running StartVelmora(const std::wstring& arguments = L"") {
    Running r;
    r.program = Program::StartVelmora(arguments);
    if (r.program) r.window = r.program->WaitForWindow();
    return r;
}

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

HWND BarOf(HWND window) { return GetDlgItem(window, 1); }

// Ends with the exit code the program returns after its window has gone.
DWORD ExitCodeAfterClose(Program& program) {
    DWORD code = 0xBAD;
    EXPECT_TRUE(program.WaitForExit(10000, &code)) << "the program did not end";
    return code;
}

}  // namespace

TEST(Placement, OpensCentredAtItsFixedOuterSize) {
    Running r = StartVelmora();
    ASSERT_TRUE(r.window);
    const RECT rect = WindowRect(r.window);
    EXPECT_EQ(rect.left, g_expectedOrigin.x);
    EXPECT_EQ(rect.top, g_expectedOrigin.y);
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(rect.bottom - rect.top, 516);
    char name[64];
    std::snprintf(name, sizeof name, "window-%dx%d.png", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    // What of the window is on the screen (on a low screen its top is above it).
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT shown{};
    IntersectRect(&shown, &rect, &screen);
    ScreenImage::Capture(shown).SavePng(Widen(name));
    PressKey(VK_ESCAPE);
    EXPECT_EQ(ExitCodeAfterClose(*r.program), 0u);
}

TEST(Window, StyleAndBarAreAsThePlatformSeesThem) {
    Running r = StartVelmora();
    ASSERT_TRUE(r.window);

    wchar_t title[64] = {};
    GetWindowTextW(r.window, title, 64);
    EXPECT_STREQ(title, L"Velmora");

    // Unsigned: WS_POPUP is the top bit, out of a 32-bit LONG_PTR's range.
    const auto style = static_cast<ULONG_PTR>(GetWindowLongPtrW(r.window, GWL_STYLE));
    for (ULONG_PTR bit : std::initializer_list<ULONG_PTR>{WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, WS_CLIPCHILDREN,
                                                        WS_VISIBLE}) {
        EXPECT_EQ(style & bit, bit) << std::hex << bit;
    }
    for (ULONG_PTR bit : std::initializer_list<ULONG_PTR>{WS_THICKFRAME, WS_MAXIMIZEBOX, WS_CHILD, WS_POPUP,
                                                        WS_DISABLED}) {
        EXPECT_EQ(style & bit, 0u) << std::hex << bit;
    }
    const auto exStyle = static_cast<ULONG_PTR>(GetWindowLongPtrW(r.window, GWL_EXSTYLE));
    for (ULONG_PTR bit : std::initializer_list<ULONG_PTR>{WS_EX_TOOLWINDOW, WS_EX_CLIENTEDGE, WS_EX_TOPMOST,
                                                        WS_EX_DLGMODALFRAME}) {
        EXPECT_EQ(exStyle & bit, 0u) << std::hex << bit;
    }
    EXPECT_EQ(GetWindow(r.window, GW_OWNER), nullptr);

    // The one child: the bar, at 0, 0, 300 x 485, a visible, enabled tab stop.
    HWND bar = BarOf(r.window);
    ASSERT_TRUE(bar);
    EXPECT_EQ(GetWindow(r.window, GW_CHILD), bar);
    EXPECT_EQ(GetWindow(bar, GW_HWNDNEXT), nullptr) << "more than one control";
    RECT barRect = WindowRect(bar);
    MapWindowPoints(HWND_DESKTOP, r.window, reinterpret_cast<POINT*>(&barRect), 2);
    EXPECT_EQ(barRect.left, 0);
    EXPECT_EQ(barRect.top, 0);
    EXPECT_EQ(barRect.right, 300);
    EXPECT_EQ(barRect.bottom, 485);
    const LONG_PTR barStyle = GetWindowLongPtrW(bar, GWL_STYLE);
    EXPECT_EQ(barStyle & (WS_CHILD | WS_TABSTOP | WS_VISIBLE | WS_DISABLED), WS_CHILD | WS_TABSTOP | WS_VISIBLE);
    EXPECT_EQ(FocusOf(r.window), bar);

    PressKey(VK_ESCAPE);
    EXPECT_EQ(ExitCodeAfterClose(*r.program), 0u);
}

namespace {

// The program's icon, read from the file the way the shell reads it.
HICON LoadVelmoraIcon(int size) {
    HMODULE file = LoadLibraryExW(VelmoraExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!file) return nullptr;
    return static_cast<HICON>(LoadImageW(file, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

LRESULT CALLBACK ReferenceWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A window of the test's own with Velmora's frame and title, and the given icon.
HWND CreateReferenceWindow(HICON icon, int x, int y) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ReferenceWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VelmoraReference";
    wc.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, L"VelmoraReference", L"Velmora",
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 300, 516, nullptr,
                                nullptr, wc.hInstance, nullptr);
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

// The left end of the caption, where the window icon is drawn, while active.
ScreenImage CaptionIcon(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId()) {
        // A press on our own title bar would start a move loop on this very
        // thread, which then never sends the release: click the client area.
        Click(r.left + 150, r.top + 200);
        WaitUntil([&] { return GetForegroundWindow() == hwnd; }, 2000);
    } else {
        ActivateByTitleBar(hwnd);
    }
    Settle(200);
    const int top = r.top + GetSystemMetrics(SM_CYDLGFRAME);
    return ScreenImage::Capture(RECT{r.left, top, r.left + 26, top + GetSystemMetrics(SM_CYCAPTION)});
}

}  // namespace

TEST(Window, BothIconsAreTheProgramsOwn48x48ImageWithAlpha) {
    // The image in the file: 48 x 48, 32 bits per pixel, with a real alpha channel.
    HICON icon = LoadVelmoraIcon(48);
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm{};
    GetObjectW(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 48);
    EXPECT_EQ(bm.bmHeight, 48);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 48;
    bi.bmiHeader.biHeight = -48;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint8_t> bits(48 * 48 * 4);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, info.hbmColor, 0, 48, bits.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    int opaque = 0, clear = 0, partial = 0;
    for (size_t i = 3; i < bits.size(); i += 4) {
        if (bits[i] == 255) ++opaque;
        else if (bits[i] == 0) ++clear;
        else ++partial;
    }
    EXPECT_GT(opaque, 0);
    EXPECT_GT(clear, 0) << "no transparent pixel: the alpha channel is missing";
    EXPECT_GT(partial, 0) << "no soft edge";
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    // The window shows that image in its title bar, scaled by the platform,
    // exactly as a window given the 48 x 48 image as both icons shows it.
    Running r = StartVelmora();
    ASSERT_TRUE(r.window);
    const ScreenImage velmora = CaptionIcon(r.window);
    HWND withIcon = CreateReferenceWindow(icon, 20, 20);
    const ScreenImage reference = CaptionIcon(withIcon);
    DestroyWindow(withIcon);
    HWND withoutIcon = CreateReferenceWindow(nullptr, 20, 20);
    const ScreenImage noIcon = CaptionIcon(withoutIcon);
    DestroyWindow(withoutIcon);
    velmora.SavePng(L"caption-icon.png");
    EXPECT_TRUE(velmora.SameAs(reference)) << "the title bar does not show the program's icon";
    EXPECT_FALSE(reference.SameAs(noIcon)) << "the comparison cannot tell icons apart";
    DestroyIcon(icon);

    ActivateByTitleBar(r.window);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(ExitCodeAfterClose(*r.program), 0u);
}

TEST(Window, VersionRecordIsReadableFromTheFile) {
    const std::wstring exe = VelmoraExe();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<uint8_t> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    wchar_t key[64];
    swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion", translation->language, translation->codePage);
    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), key, reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, L"1.0.0.0");
}

struct CloseCase {
    const char* name;
    void (*close)(HWND window);
};

class Closing : public testing::TestWithParam<CloseCase> {};

TEST_P(Closing, EndsTheProcessWithZeroWithoutAsking) {
    Running r = StartVelmora();
    ASSERT_TRUE(r.window);
    GetParam().close(r.window);
    EXPECT_EQ(ExitCodeAfterClose(*r.program), 0u);
    // Nothing of the program's own was shown on the way out.
    EXPECT_FALSE(IsWindow(r.window));
}

INSTANTIATE_TEST_SUITE_P(
    Window, Closing,
    testing::Values(
        CloseCase{"Escape", [](HWND) { PressKey(VK_ESCAPE); }},
        CloseCase{"AltF4", [](HWND) { PressKey(VK_F4, {VK_MENU}); }},
        CloseCase{"SystemMenuClose",
                  [](HWND w) {
                      // A click on the window icon opens the system menu; C is
                      // its Close entry's key ("关闭(C)"; Wine adds an entry below it).
                      RECT rect{};
                      GetWindowRect(w, &rect);
                      Click(rect.left + GetSystemMetrics(SM_CXDLGFRAME) + GetSystemMetrics(SM_CXSMICON) / 2 + 1,
                            rect.top + GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2);
                      Settle(300);
                      PressKey('C');
                  }},
        CloseCase{"CloseButton",
                  [](HWND w) {
                      RECT rect{};
                      GetWindowRect(w, &rect);
                      const int frame = GetSystemMetrics(SM_CXFRAME);
                      const int button = GetSystemMetrics(SM_CXSIZE);
                      Click(rect.right - frame - button / 2 - 1,
                            rect.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2);
                  }}),
    [](const testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST(Window, EscapeWithAModifierDoesNotClose) {
    Running r = StartVelmora();
    ASSERT_TRUE(r.window);
    PressKey(VK_ESCAPE, {VK_CONTROL});
    PressKey(VK_ESCAPE, {VK_SHIFT});
    Settle(500);
    EXPECT_TRUE(r.program->IsRunning());
    EXPECT_TRUE(IsWindowVisible(r.window));
    // Alt+Esc may send the window to the back; it must not close it.
    PressKey(VK_ESCAPE, {VK_MENU});
    Settle(500);
    EXPECT_TRUE(r.program->IsRunning());
    EXPECT_TRUE(IsWindow(r.window));
    SetForegroundWindow(r.window);
    ActivateByTitleBar(r.window);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(ExitCodeAfterClose(*r.program), 0u);
}

TEST(Window, LogOffQueryIsAnsweredYes) {
    Running r = StartVelmora();
    ASSERT_TRUE(r.window);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(r.window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                                    &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    // It asked nothing: no other window of the program came up.
    Settle(300);
    EXPECT_TRUE(IsWindowVisible(r.window));
    PressKey(VK_ESCAPE);
    EXPECT_EQ(ExitCodeAfterClose(*r.program), 0u);
}

TEST(Window, TabAndShiftTabKeepTheFocusOnTheBar) {
    Running r = StartVelmora();
    ASSERT_TRUE(r.window);
    HWND bar = BarOf(r.window);
    ASSERT_EQ(FocusOf(r.window), bar);
    PressKey(VK_TAB);
    EXPECT_EQ(FocusOf(r.window), bar);
    PressKey(VK_TAB, {VK_SHIFT});
    EXPECT_EQ(FocusOf(r.window), bar);
    EXPECT_TRUE(r.program->IsRunning());
    PressKey(VK_ESCAPE);
    EXPECT_EQ(ExitCodeAfterClose(*r.program), 0u);
}

namespace {
LRESULT CALLBACK PlainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
}  // namespace

TEST(Window, FocusComesBackToTheBarAfterSwitchingWindows) {
    Running r = StartVelmora();
    ASSERT_TRUE(r.window);
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"OtherProgram";
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    RegisterClassW(&wc);
    HWND other = CreateWindowExW(0, L"OtherProgram", L"Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(other);
    Settle(300);
    Click(150, 120);  // into the other window's client area
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other; }, 3000));
    EXPECT_NE(FocusOf(r.window), BarOf(r.window));

    ActivateByTitleBar(r.window);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == r.window; }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(r.window) == BarOf(r.window); }, 2000));
    DestroyWindow(other);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(ExitCodeAfterClose(*r.program), 0u);
}

TEST(Window, NeitherMaximisesNorResizes) {
    Running r = StartVelmora();
    ASSERT_TRUE(r.window);
    const RECT before = WindowRect(r.window);
    // Double-click on the title bar.
    DoubleClick(before.left + 100, before.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2);
    Settle(300);
    EXPECT_FALSE(IsZoomed(r.window));
    RECT now = WindowRect(r.window);
    EXPECT_TRUE(EqualRect(&before, &now));
    // Drag the bottom-right corner outward.
    MoveMouse(before.right - 1, before.bottom - 1);
    MouseDown();
    MoveMouse(before.right + 60, before.bottom + 40);
    MouseUp();
    Settle(300);
    now = WindowRect(r.window);
    EXPECT_EQ(now.right - now.left, 300);
    EXPECT_EQ(now.bottom - now.top, 516);
    // The system menu's Maximize and Size entries are disabled.
    HMENU menu = GetSystemMenu(r.window, FALSE);
    if (menu) {
        EXPECT_TRUE(GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
        EXPECT_TRUE(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    }
    PressKey(VK_ESCAPE);
    EXPECT_EQ(ExitCodeAfterClose(*r.program), 0u);
}

TEST(Window, MinimiseAndRestoreKeepPlaceAndSize) {
    Running r = StartVelmora();
    ASSERT_TRUE(r.window);
    const RECT before = WindowRect(r.window);
    const ScreenImage shown = ScreenImage::CaptureWindow(r.window);
    // The minimise button sits left of the close button (no maximise button between in effect).
    const int frame = GetSystemMetrics(SM_CXFRAME);
    const int button = GetSystemMetrics(SM_CXSIZE);
    const int captionY = before.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    // Windows keeps a greyed maximise button between the two.
    Click(before.right - frame - 2 * button - button / 2 - 1, captionY);
    if (!WaitUntil([&] { return IsIconic(r.window) != FALSE; }, 1500)) {
        Click(before.right - frame - button - button / 2 - 1, captionY);
    }
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(r.window) != FALSE; }, 3000)) << "did not minimise";
    PostMessageW(r.window, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsIconic(r.window); }, 3000));
    Settle(400);
    const RECT after = WindowRect(r.window);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_TRUE(ScreenImage::CaptureWindow(r.window).SameAs(shown)) << "restored window looks different";
    PressKey(VK_ESCAPE);
    EXPECT_EQ(ExitCodeAfterClose(*r.program), 0u);
}

TEST(Window, CommandLineArgumentsChangeNothing) {
    Running plain = StartVelmora();
    ASSERT_TRUE(plain.window);
    const RECT plainRect = WindowRect(plain.window);
    const ScreenImage plainLook = ScreenImage::CaptureWindow(plain.window);
    PressKey(VK_ESCAPE);
    ASSERT_EQ(ExitCodeAfterClose(*plain.program), 0u);

    Running withArgs = StartVelmora(L"/min -maximized --size=800x600 \"C:\\thesis.docx\" 5");
    ASSERT_TRUE(withArgs.window);
    const RECT rect = WindowRect(withArgs.window);
    EXPECT_TRUE(EqualRect(&plainRect, &rect));
    EXPECT_FALSE(IsIconic(withArgs.window));
    EXPECT_TRUE(ScreenImage::CaptureWindow(withArgs.window).SameAs(plainLook));
    PressKey(VK_ESCAPE);
    EXPECT_EQ(ExitCodeAfterClose(*withArgs.program), 0u);
}

TEST(Window, SecondCopyRunsBesideTheFirstAndEndsOnItsOwn) {
    Running first = StartVelmora();
    ASSERT_TRUE(first.window);
    Running second = StartVelmora();
    ASSERT_TRUE(second.window);
    EXPECT_NE(first.window, second.window);
    EXPECT_NE(first.program->Id(), second.program->Id());

    // Close the second copy (it is in front) with Esc.
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == second.window; }, 3000));
    PressKey(VK_ESCAPE);
    EXPECT_EQ(ExitCodeAfterClose(*second.program), 0u);
    Settle(300);
    EXPECT_TRUE(first.program->IsRunning());
    EXPECT_TRUE(IsWindowVisible(first.window));

    ActivateByTitleBar(first.window);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(ExitCodeAfterClose(*first.program), 0u);
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        long x = 0, y = 0;
        if (std::sscanf(argv[i], "--expect-origin=%ld,%ld", &x, &y) == 2) g_expectedOrigin = {x, y};
    }
    return RUN_ALL_TESTS();
}
