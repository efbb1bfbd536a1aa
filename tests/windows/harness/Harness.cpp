#include "tests/windows/harness/Harness.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/windows/harness/OffScreen.h"
#include "tests/windows/harness/Png.h"

namespace harness {

// ---- files and paths ----

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring WinePath(const std::string& unixPath) {
    std::wstring path = L"Z:" + Widen(unixPath);
    for (auto& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

std::wstring VelmoraExe() { return WinePath(VELMORA_EXE_PATH); }

std::wstring OutputDir() {
    const std::wstring dir = WinePath(VELMORA_TEST_OUTPUT_DIR);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

// ---- the program under test ----

std::unique_ptr<Program> Program::Start(const std::wstring& exe, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::unique_ptr<Program> program(new Program);
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &program->m_info)) {
        return nullptr;
    }
    WaitForInputIdle(program->m_info.hProcess, 10000);
    return program;
}

Program::~Program() {
    if (!m_info.hProcess) return;
    if (IsRunning()) {
        TerminateProcess(m_info.hProcess, 0xDEAD);
        WaitForSingleObject(m_info.hProcess, 5000);
    }
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

bool Program::IsRunning() const { return WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT; }

namespace {
struct FindWindowQuery {
    DWORD pid;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND hwnd, LPARAM param) {
    auto* query = reinterpret_cast<FindWindowQuery*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    if (pid == query->pid && IsWindowVisible(hwnd) && lstrcmpW(name, query->className) == 0) {
        query->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND VisibleWindowOf(DWORD processId, const wchar_t* className) {
    FindWindowQuery query{processId, className, nullptr};
    EnumWindows(&FindProcessWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND Program::WaitForWindow(const wchar_t* className, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = VisibleWindowOf(m_info.dwProcessId, className);
            return found != nullptr || !IsRunning();
        },
        timeoutMs);
    // Let the first frame reach the screen.
    if (found) Settle(400);
    return found;
}

bool Program::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    GetExitCodeProcess(m_info.hProcess, &code);
    if (exitCode) *exitCode = code;
    return true;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
}

void Settle(DWORD ms) {
    WaitUntil([] { return false; }, ms);
}

// ---- windows of other processes ----

namespace {
struct WindowListQuery {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND hwnd, LPARAM param) {
    auto* query = reinterpret_cast<WindowListQuery*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == query->pid && (!query->visibleOnly || IsWindowVisible(hwnd))) query->found.push_back(hwnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly) {
    WindowListQuery query{processId, visibleOnly, {}};
    EnumWindows(&CollectProcessWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

CursorImage CursorShownBy(HWND window, DWORD timeoutMs) {
    CursorImage image;
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &pid);
    if (!thread) return image;
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(CursorProbeBlock),
                                        CursorProbeBlockName(pid).c_str());
    if (!mapping) return image;
    auto* block = static_cast<CursorProbeBlock*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(CursorProbeBlock)));
    wchar_t self[MAX_PATH] = {};
    const std::wstring exe(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    const std::wstring probePath = exe.substr(0, exe.find_last_of(L'\\') + 1) + kCursorProbeFileName;
    HMODULE probe = LoadLibraryW(probePath.c_str());
    // Through the generic function type, which GCC accepts as a cast between any two.
    const auto hook = probe ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(
                                  GetProcAddress(probe, kCursorProbeHookName)))
                            : nullptr;
    HHOOK hooked = block && hook ? SetWindowsHookExW(WH_GETMESSAGE, hook, probe, thread) : nullptr;
    if (hooked) {
        InterlockedExchange(&block->ready, 0);
        PostMessageW(window, RegisterWindowMessageW(kCursorProbeMessage), 0, 0);
        if (WaitUntil([&] { return block->ready != 0; }, timeoutMs) && block->width > 0 && block->height > 0) {
            image.width = block->width;
            image.height = block->height;
            image.pixels.assign(block->pixels, block->pixels + 2 * block->width * block->height);
        }
        UnhookWindowsHookEx(hooked);
    }
    if (probe) FreeLibrary(probe);
    if (block) UnmapViewOfFile(block);
    CloseHandle(mapping);
    return image;
}

// ---- real input ----

namespace {
void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0, DWORD data = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.mouseData = data;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

constexpr DWORD kInputGapMs = 60;

// Absolute input is in 1/65536ths of the screen; aim at the pixel's middle.
POINT AbsoluteInput(int x, int y) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    return POINT{static_cast<LONG>((static_cast<long long>(x) * 65536 + 32768) / w),
                 static_cast<LONG>((static_cast<long long>(y) * 65536 + 32768) / h)};
}

// Under Wine the pointer position Wine keeps and the one the X server has can
// part for a while, and an X event on its way (a window appearing or going
// under the pointer) then puts Wine's back where X's still is, so a press
// lands somewhere else. Once Wine's position has not changed for 100 ms,
// GetCursorPos asks X: a position that holds longer than that is one both agree on.
constexpr DWORD kPointerAgreedMs = 150;

bool PointerRestsAt(int x, int y) {
    auto there = [&] {
        POINT at{};
        return GetCursorPos(&at) && at.x == x && at.y == y;
    };
    if (!WaitUntil(there, 500)) return false;
    const ULONGLONG since = GetTickCount64();
    bool stayed = true;
    WaitUntil(
        [&] {
            stayed = there();
            return !stayed || GetTickCount64() - since >= kPointerAgreedMs;
        },
        kPointerAgreedMs + 500);
    return stayed;
}

// Lets the program that owns the window at `p` take in what it has been told
// about the pointer: a Wine thread handles its pending X events whenever it
// waits for messages, so two sent messages answered mean one wait has passed.
void SyncWithWindowAt(POINT p) {
    HWND hwnd = WindowFromPoint(p);
    for (int i = 0; i < 2; ++i) SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, nullptr);
}

// Where the pointer is, once Wine and X agree on it: GetCursorPos asks X when
// Wine's own position has held for 100 ms, and X has the last place a move put it.
POINT AgreedPointer() {
    POINT last{};
    GetCursorPos(&last);
    ULONGLONG since = GetTickCount64();
    WaitUntil(
        [&] {
            POINT now{};
            GetCursorPos(&now);
            if (now.x != last.x || now.y != last.y) {
                last = now;
                since = GetTickCount64();
            }
            return GetTickCount64() - since >= kPointerAgreedMs;
        },
        1000);
    return last;
}

// A press or release that carries its own position, so that it lands there
// even if a late X event has just moved Wine's pointer somewhere else.
void SendButtonAt(DWORD flags, POINT at) {
    const POINT to = AbsoluteInput(at.x, at.y);
    SendMouse(flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, to.x, to.y);
}

void SendButton(DWORD flags) {
    SendButtonAt(flags, AgreedPointer());
    Settle(kInputGapMs);
}
}  // namespace

void MoveMouse(int x, int y) {
    const POINT to = AbsoluteInput(x, y);
    POINT from{};
    GetCursorPos(&from);
    for (int attempt = 0; attempt < 10; ++attempt) {
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, to.x, to.y);
        SyncWithWindowAt(from);
        SyncWithWindowAt(POINT{x, y});
        // A late X event may have put Wine's position back where the pointer
        // came from, while X has it here. The same move again puts Wine's right
        // (and tells X nothing new); when nothing went wrong it changes nothing.
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, to.x, to.y);
        SyncWithWindowAt(POINT{x, y});
        if (PointerRestsAt(x, y)) break;
    }
}

void SendMouseNow(DWORD flags, int x, int y, DWORD data) {
    const POINT to = AbsoluteInput(x, y);
    SendMouse(flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, to.x, to.y, data);
}

void SendKeyNow(WORD vk, bool up) { SendKey(vk, up); }

void MouseDown(Button button) { SendButton(button == Button::Left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN); }

void MouseUp(Button button) { SendButton(button == Button::Left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP); }

void Click(int x, int y, Button button) {
    MoveMouse(x, y);
    MouseDown(button);
    MouseUp(button);
}

void DoubleClick(int x, int y) {
    MoveMouse(x, y);
    // Both clicks well inside the double-click time.
    const POINT at{x, y};
    SendButtonAt(MOUSEEVENTF_LEFTDOWN, at);
    SendButtonAt(MOUSEEVENTF_LEFTUP, at);
    Sleep(30);
    SendButtonAt(MOUSEEVENTF_LEFTDOWN, at);
    SendButtonAt(MOUSEEVENTF_LEFTUP, at);
    Settle(kInputGapMs);
}

void ClickNow(int x, int y) {
    const POINT to = AbsoluteInput(x, y);
    INPUT in[3] = {};
    for (INPUT& i : in) i.type = INPUT_MOUSE;
    in[0].mi.dx = to.x;
    in[0].mi.dy = to.y;
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, in, sizeof in[0]);
    Settle(kInputGapMs);
}

void Wheel(int x, int y, int delta) {
    MoveMouse(x, y);
    SendMouse(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(delta));
    Settle(kInputGapMs);
}

void KeyDown(WORD vk) {
    SendKey(vk, false);
    Settle(kInputGapMs);
}

void KeyUp(WORD vk) {
    SendKey(vk, true);
    Settle(kInputGapMs);
}

void PressKey(WORD vk, std::initializer_list<WORD> modifiers) {
    for (WORD m : modifiers) SendKey(m, false);
    SendKey(vk, false);
    SendKey(vk, true);
    for (auto it = modifiers.end(); it != modifiers.begin();) SendKey(*--it, true);
    Settle(kInputGapMs * 2);
}

void ActivateByTitleBar(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    // Left of the caption's middle, clear of the icon and the buttons.
    Click(r.left + 100, r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2);
    WaitUntil([&] { return GetForegroundWindow() == hwnd; }, 2000);
}

// ---- real screen pixels ----

std::string ToString(const Rgb& c) {
    char text[32];
    std::snprintf(text, sizeof text, "(%d, %d, %d)", c.r, c.g, c.b);
    return text;
}

ScreenImage ScreenImage::Capture(const RECT& area) {
    ScreenImage image;
    image.m_width = area.right - area.left;
    image.m_height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    {
        OffScreen copy(image.m_width, image.m_height, screen);
        if (copy.IsValid()) {
            BitBlt(copy.Dc(), 0, 0, image.m_width, image.m_height, screen, area.left, area.top, SRCCOPY);
            GdiFlush();
            const uint32_t* pixels = copy.Pixels();
            image.m_rgb.resize(static_cast<size_t>(image.m_width) * image.m_height * 3);
            for (size_t i = 0; i < static_cast<size_t>(image.m_width) * image.m_height; ++i) {
                image.m_rgb[i * 3 + 0] = static_cast<uint8_t>(pixels[i] >> 16);
                image.m_rgb[i * 3 + 1] = static_cast<uint8_t>(pixels[i] >> 8);
                image.m_rgb[i * 3 + 2] = static_cast<uint8_t>(pixels[i]);
            }
        }
    }
    ReleaseDC(nullptr, screen);
    return image;
}

ScreenImage ScreenImage::CaptureWindow(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return Capture(r);
}

Rgb ScreenImage::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return {0, 0, 0};
    const size_t i = (static_cast<size_t>(y) * m_width + x) * 3;
    return {m_rgb[i], m_rgb[i + 1], m_rgb[i + 2]};
}

int ScreenImage::Count(const Rgb& colour) const { return Count(colour, RECT{0, 0, m_width, m_height}); }

int ScreenImage::Count(const Rgb& colour, const RECT& within) const {
    int n = 0;
    for (int y = std::max<LONG>(0, within.top); y < std::min<LONG>(m_height, within.bottom); ++y) {
        for (int x = std::max<LONG>(0, within.left); x < std::min<LONG>(m_width, within.right); ++x) {
            if (At(x, y) == colour) ++n;
        }
    }
    return n;
}

bool ScreenImage::SameAs(const ScreenImage& other) const {
    return m_width == other.m_width && m_height == other.m_height && m_rgb == other.m_rgb;
}

bool ScreenImage::SavePng(const std::wstring& fileName) const { return SavePngTo(OutputDir() + L"\\" + fileName); }

bool ScreenImage::SavePngTo(const std::wstring& path) const { return WritePng(path, m_width, m_height, m_rgb); }

// ---- the desktop's link handler ----

std::wstring HandoverLog() { return L"C:\\velmora-harness\\handovers.log"; }

void ClearHandovers() { DeleteFileW(HandoverLog().c_str()); }

std::vector<std::string> ReadHandovers() {
    std::vector<std::string> lines;
    std::ifstream in(std::filesystem::path(HandoverLog()), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

std::vector<std::string> WaitForHandovers(size_t count, DWORD timeoutMs) {
    std::vector<std::string> lines;
    WaitUntil(
        [&] {
            lines = ReadHandovers();
            return lines.size() >= count;
        },
        timeoutMs);
    return lines;
}

}  // namespace harness
