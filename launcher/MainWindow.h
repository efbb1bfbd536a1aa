#pragma once
// The program's one top-level window: a fixed-size frame around the service bar.

#include <windows.h>

#include <memory>

#include "launcher/Lifecycle.h"
#include "launcher/UniqueIcon.h"
#include "servicebar/ServiceBar.h"

namespace launcher {

class MainWindow {
public:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 516;
    static constexpr int kBarWidth = 300;
    static constexpr int kBarHeight = 485;
    static constexpr int kBarId = 1;

    // Builds the window and its bar and shows it. Returns nullptr on failure,
    // with nothing left behind. `lifecycle` hears of the window's destruction.
    static std::unique_ptr<MainWindow> Create(HINSTANCE instance, Lifecycle& lifecycle);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // The window-level key filter, given each message before it is
    // translated and dispatched. Returns true if the message was consumed.
    bool PreTranslateMessage(const MSG& msg);

private:
    MainWindow(HINSTANCE instance, Lifecycle& lifecycle);
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    bool Build();
    void SetIcons();
    void OnPaint();
    void OnActivate(WPARAM wParam);
    void OnSetFocus();
    void OnNcDestroy();
    void MoveFocus(bool forward);

    HINSTANCE m_instance;
    Lifecycle& m_lifecycle;
    HWND m_hwnd = nullptr;
    HFONT m_font = nullptr;  // stock font: not ours to delete
    HWND m_savedFocus = nullptr;
    UniqueIcon m_bigIcon;
    UniqueIcon m_smallIcon;
    std::unique_ptr<ServiceBar> m_bar;
};

}  // namespace launcher
