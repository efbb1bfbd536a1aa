#pragma once
// One running copy of the real Velmora.exe, seen from outside: where its bar
// lies on the screen, what the bar shows, and what its clicks hand over.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/windows/endtoend/BarFacts.h"
#include "tests/windows/harness/Harness.h"

namespace endtoend {

class RunningVelmora {
public:
    // Starts a fresh copy and waits until its window shows; see Ok().
    RunningVelmora() : RunningVelmora(harness::VelmoraExe()) {}
    // The same for the program file `exe` (a copy of Velmora.exe elsewhere).
    explicit RunningVelmora(const std::wstring& exe);
    RunningVelmora(const RunningVelmora&) = delete;
    RunningVelmora& operator=(const RunningVelmora&) = delete;

    bool Ok() const { return m_program && m_window && m_bar; }
    harness::Program& Process() { return *m_program; }
    HWND Window() const { return m_window; }
    HWND Bar() const { return m_bar; }
    // The folder this object last opened; the bar starts with folder 0.
    int32_t OpenFolder() const { return m_open; }

    // Screen positions of points given in the bar's client coordinates.
    POINT OnScreen(int x, int y) const;
    POINT ItemPoint(const ItemFacts& item) const;
    POINT HeaderPoint(int32_t open, int32_t folder) const;

    // The part of the bar the window shows, as it is on the screen now.
    harness::ScreenImage CaptureBar() const;
    // Moves the pointer off the window, then waits until no tooltip shows and
    // the bar has not changed for a while; returns that picture.
    harness::ScreenImage StillPicture();
    // The same without moving the pointer.
    harness::ScreenImage SteadyPicture() const;
    // Puts the pointer on the desktop beside the window.
    void Park() const;

    // Clicks `folder`'s header where it lies now and waits until the folder
    // shows, still; false if it never did.
    bool Open(int32_t folder);
    // Waits until the bar shows `folder` open and still.
    bool WaitForFolder(int32_t folder, DWORD timeoutMs = 5000) const;
    void Click(const ItemFacts& item) const;

    // The visible top-level windows of the process, its tooltip left out.
    std::vector<HWND> WindowsButTooltips() const;
    // The process's tooltip window while it shows, else nullptr.
    HWND ShowingTooltip() const;

    // What reached the desktop's handler because of `action`. A click on
    // `barrier` (an item of the open folder whose link `action` cannot hand
    // over) follows it: once that link has arrived, everything the action
    // caused has arrived too, since the program hands links over in order.
    std::vector<std::string> HandoversOf(const std::function<void()>& action, const ItemFacts& barrier);

    // Presses Esc and returns the exit code, or a value above 0xFFFF when the
    // program did not end.
    DWORD CloseWithEscape();

private:
    std::unique_ptr<harness::Program> m_program;
    HWND m_window = nullptr;
    HWND m_bar = nullptr;
    int32_t m_open = 0;
};

// Which folder a picture of the bar shows open and still, or -1 (a slide in
// progress, or something else entirely). Read from the stack of headers.
int32_t ShownFolder(const harness::ScreenImage& bar);
// The top of every header in the picture, top to bottom.
std::vector<int> HeaderTops(const harness::ScreenImage& bar);

// Empty when the two pictures are the same; otherwise says where they differ
// and saves both into the test output as <name>-expected.png and <name>-actual.png.
std::string PictureDifference(const harness::ScreenImage& expected, const harness::ScreenImage& actual,
                              const std::string& name);

}  // namespace endtoend
