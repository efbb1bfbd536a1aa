#pragma once
// What every end-to-end test uses to drive the real program under Wine: start
// it, find its window, send real input, read real screen pixels and the links
// that reached the desktop's handler.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "tests/windows/harness/CursorImage.h"

namespace harness {

// ---- files and paths ----
std::wstring WinePath(const std::string& unixPath);  // "/a/b" -> "Z:\a\b"
std::wstring VelmoraExe();                           // the program under test
std::wstring OutputDir();                            // screenshots land here (created)
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

// ---- the program under test ----
class Program {
public:
    // Starts `exe` with the given argument text (may be empty).
    static std::unique_ptr<Program> Start(const std::wstring& exe, const std::wstring& arguments = L"");
    static std::unique_ptr<Program> StartVelmora(const std::wstring& arguments = L"") {
        return Start(VelmoraExe(), arguments);
    }
    ~Program();  // kills the process if it still runs
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The visible top-level window of the given class that this process owns,
    // once it is there and has been painted; nullptr after the timeout.
    HWND WaitForWindow(const wchar_t* className = L"VelmoraMainWindow", DWORD timeoutMs = 15000);
    // True and the exit code once the process has ended within the timeout.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode);
    bool IsRunning() const;
    DWORD Id() const { return m_info.dwProcessId; }

private:
    Program() = default;
    PROCESS_INFORMATION m_info{};
};

// Waits, pumping this thread's messages, until `done` or the timeout.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
void Settle(DWORD ms = 150);

// ---- real input ----
enum class Button { Left, Right };
void MoveMouse(int x, int y);  // screen coordinates
void MouseDown(Button button = Button::Left);
void MouseUp(Button button = Button::Left);
void Click(int x, int y, Button button = Button::Left);
void DoubleClick(int x, int y);
// Moves, presses and releases in one go, leaving the program no time to react
// in between: for hitting something that moves.
void ClickNow(int x, int y);
void Wheel(int x, int y, int delta);
void KeyDown(WORD vk);
void KeyUp(WORD vk);
// Presses `vk` with the given modifier keys held (VK_CONTROL, VK_SHIFT, VK_MENU).
void PressKey(WORD vk, std::initializer_list<WORD> modifiers = {});
// Raw input, sent at once with no wait and no check of where the pointer
// ends up: for streams of input faster than a user's. `flags` are the
// MOUSEEVENTF_ button or wheel flags; the event carries its position.
void SendMouseNow(DWORD flags, int x, int y, DWORD data = 0);
void SendKeyNow(WORD vk, bool up);
// Brings `hwnd` to the foreground the way a user would: a click on its title bar.
void ActivateByTitleBar(HWND hwnd);

// ---- windows of other processes ----
// The visible top-level window of that class that process `processId` owns,
// or nullptr.
HWND VisibleWindowOf(DWORD processId, const wchar_t* className);
// The top-level windows that process `processId` owns, in z-order.
std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly = true);
std::wstring ClassOf(HWND hwnd);
// The window that has the keyboard focus on `window`'s thread, or nullptr.
HWND FocusOf(HWND window);
// The cursor that `window`'s thread shows now, drawn inside that thread's own
// process by the cursor probe (cursorprobe.dll, which must lie next to the
// test program); empty if it could not be read.
CursorImage CursorShownBy(HWND window, DWORD timeoutMs = 3000);

// ---- real screen pixels ----
struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};
std::string ToString(const Rgb& c);

class ScreenImage {
public:
    // Copies a rectangle of the screen, in screen coordinates.
    static ScreenImage Capture(const RECT& area);
    static ScreenImage CaptureWindow(HWND hwnd);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Pixel at coordinates relative to the captured rectangle.
    Rgb At(int x, int y) const;
    int Count(const Rgb& colour) const;
    int Count(const Rgb& colour, const RECT& within) const;
    bool Contains(const Rgb& colour, const RECT& within) const { return Count(colour, within) > 0; }
    bool SameAs(const ScreenImage& other) const;
    bool SavePng(const std::wstring& fileName) const;  // into OutputDir()
    bool SavePngTo(const std::wstring& path) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint8_t> m_rgb;
};

// ---- the desktop's link handler ----
// The recorder writes each link it is handed as one line of this file.
std::wstring HandoverLog();
void ClearHandovers();
std::vector<std::string> ReadHandovers();
// Waits until at least `count` links have arrived; returns what arrived.
std::vector<std::string> WaitForHandovers(size_t count, DWORD timeoutMs = 8000);

}  // namespace harness
