#pragma once
// The two shell calls that hand a link to the desktop, held as replaceable
// functions so that a test can watch what is passed without a browser
// opening. A default-constructed ShellCalls makes the real calls.

#include <windows.h>
#include <shellapi.h>

#include <functional>

struct ShellCalls {
    std::function<HWND(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName)>
        m_findWindowEx = FindWindowExA;
    std::function<HINSTANCE(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                            LPCSTR directory, INT showCommand)>
        m_shellExecute = ShellExecuteA;
};

// openLink with the given calls in place of the real ones.
void openLinkWith(const ShellCalls& calls, const char* link);
