#include "launcher/MainWindow.h"

#include <shellapi.h>

#include <algorithm>

#include "launcher/KeyFilter.h"
#include "launcher/Placement.h"
#include "links/Dispatch.h"
#include "resources/resource.h"

namespace launcher {
namespace {

constexpr wchar_t kClassName[] = L"VelmoraMainWindow";
constexpr wchar_t kCaption[] = L"Velmora";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kIconSize = 48;

bool RegisterWindowClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kClassName, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    // No background brush: the window paints its own, and erasing does nothing.
    return RegisterClassExW(&wc) != 0;
}

UniqueIcon LoadProgramIcon(HINSTANCE instance) {
    return UniqueIcon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_VELMORA), IMAGE_ICON,
                                                    kIconSize, kIconSize, LR_DEFAULTCOLOR)));
}

bool IsModifierDown(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, Lifecycle& lifecycle)
    : m_instance(instance), m_lifecycle(lifecycle) {}

MainWindow::~MainWindow() {
    if (m_hwnd) DestroyWindow(m_hwnd);
}

std::unique_ptr<MainWindow> MainWindow::Create(HINSTANCE instance, Lifecycle& lifecycle) {
    if (!RegisterWindowClass(instance, &MainWindow::WndProc)) return nullptr;
    std::unique_ptr<MainWindow> window(new MainWindow(instance, lifecycle));
    if (!window->Build()) return nullptr;
    return window;
}

bool MainWindow::Build() {
    const WindowPlacement place = CentredPlacement(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                                   kWidth, kHeight);
    if (!CreateWindowExW(0, kClassName, kCaption, kStyle, place.x, place.y, place.width, place.height, nullptr,
                         nullptr, m_instance, this)) {
        return false;
    }
    // Creation clamps a window to what fits the screen (a 480-pixel-high
    // screen gives a shorter one); the size and place are fixed, so insist.
    RECT rect{};
    GetWindowRect(m_hwnd, &rect);
    if (rect.left != place.x || rect.top != place.y || rect.right - rect.left != place.width ||
        rect.bottom - rect.top != place.height) {
        SetWindowPos(m_hwnd, nullptr, place.x, place.y, place.width, place.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    SetIcons();
    m_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);

    m_bar = ServiceBar::Create(m_hwnd, 0, 0, kBarWidth, kBarHeight, kBarId);
    if (!m_bar) {
        DestroyWindow(m_hwnd);
        return false;
    }
    m_bar->BindItemClick(&onServiceItemClicked);
    ShowWindow(m_bar->Hwnd(), SW_SHOWNA);
    // Activation hands the focus on to the bar (OnSetFocus).
    ShowWindow(m_hwnd, SW_SHOWNORMAL);
    UpdateWindow(m_hwnd);
    return true;
}

void MainWindow::SetIcons() {
    m_bigIcon = LoadProgramIcon(m_instance);
    m_smallIcon = LoadProgramIcon(m_instance);
    if (!m_bigIcon || !m_smallIcon) {
        // The file's own icon is the same picture, reached another way.
        wchar_t path[MAX_PATH];
        const DWORD length = GetModuleFileNameW(m_instance, path, MAX_PATH);
        HICON big = nullptr;
        HICON small = nullptr;
        if (length > 0 && length < MAX_PATH) ExtractIconExW(path, 0, &big, &small, 1);
        m_bigIcon = UniqueIcon(big);
        m_smallIcon = UniqueIcon(small);
    }
    SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.Get()));
    SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.Get()));
}

bool MainWindow::PreTranslateMessage(const MSG& msg) {
    if (!m_hwnd || msg.message != WM_KEYDOWN) return false;
    if (msg.hwnd != m_hwnd && !IsChild(m_hwnd, msg.hwnd)) return false;

    Key key = Key::Other;
    if (msg.wParam == VK_ESCAPE) key = Key::Escape;
    if (msg.wParam == VK_TAB) key = Key::Tab;
    if (key == Key::Other) return false;

    const Modifiers modifiers{IsModifierDown(VK_CONTROL), IsModifierDown(VK_SHIFT), IsModifierDown(VK_MENU)};
    switch (FilterKeyDown(key, modifiers)) {
    case KeyAction::PassOn:
        return false;
    case KeyAction::Close:
        SendMessageW(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    case KeyAction::FocusNext:
        MoveFocus(true);
        return true;
    case KeyAction::FocusPrevious:
        MoveFocus(false);
        return true;
    }
    return false;
}

void MainWindow::MoveFocus(bool forward) {
    HWND next = GetNextDlgTabItem(m_hwnd, GetFocus(), forward ? FALSE : TRUE);
    if (next) SetFocus(next);
}

LRESULT CALLBACK MainWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_lifecycle.WindowCreated();
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->HandleMessage(msg, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    case WM_ACTIVATE:
        OnActivate(wParam);
        break;
    case WM_SETFOCUS:
        OnSetFocus();
        return 0;
    case WM_GETMINMAXINFO: {
        // The platform caps windows at the screen's size; ours is fixed at
        // 300 x 516 even on a screen less tall than that.
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMaxTrackSize.x = std::max<LONG>(info->ptMaxTrackSize.x, kWidth);
        info->ptMaxTrackSize.y = std::max<LONG>(info->ptMaxTrackSize.y, kHeight);
        return 0;
    }
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // The session really ends: close the way the user would, so the
        // process ends in order with 0 instead of being cut off. A log-off
        // that was called off leaves the window as it is.
        if (wParam) DestroyWindow(m_hwnd);
        return 0;
    case WM_NCDESTROY:
        OnNcDestroy();
        return 0;
    }
    return DefWindowProcW(m_hwnd, msg, wParam, lParam);
}

void MainWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    // The bar's area is clipped away (WS_CLIPCHILDREN); the face colour is
    // read each time so a theme change shows at the next paint.
    FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_3DFACE));
    EndPaint(m_hwnd, &ps);
}

void MainWindow::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) != WA_INACTIVE) return;
    HWND focus = GetFocus();
    m_savedFocus = (focus && IsChild(m_hwnd, focus)) ? focus : nullptr;
}

void MainWindow::OnSetFocus() {
    HWND target = m_savedFocus;
    if (!target || !IsWindow(target) || !IsChild(m_hwnd, target)) {
        target = GetNextDlgTabItem(m_hwnd, nullptr, FALSE);
    }
    if (target) SetFocus(target);
}

void MainWindow::OnNcDestroy() {
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    DefWindowProcW(m_hwnd, WM_NCDESTROY, 0, 0);
    m_hwnd = nullptr;
    m_savedFocus = nullptr;
    m_bigIcon.Reset();
    m_smallIcon.Reset();
    if (m_lifecycle.WindowDestroyed()) PostQuitMessage(0);
}

}  // namespace launcher
