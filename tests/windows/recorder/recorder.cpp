// Stands in for the desktop's browser and mail program in the test prefix:
// writes the text it was handed, exactly, as one line of handovers.log next
// to itself, and ends.
//
//   recorder.exe [--start-delay-ms N] "text"
//
// With --start-delay-ms it first lies still for N milliseconds, like a
// browser that takes seconds to come up, before it records anything.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

const wchar_t* SkipBlanks(const wchar_t* p) {
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

// The command line after the program's own name and its option, without the
// one pair of quotes the handler's registration puts around the text.
std::wstring HandedText(const wchar_t* commandLine, DWORD* startDelayMs) {
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p) ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    p = SkipBlanks(p);
    static constexpr wchar_t kDelayOption[] = L"--start-delay-ms ";
    constexpr size_t kDelayOptionLength = sizeof kDelayOption / sizeof kDelayOption[0] - 1;
    if (wcsncmp(p, kDelayOption, kDelayOptionLength) == 0) {
        wchar_t* end = nullptr;
        *startDelayMs = wcstoul(p + kDelayOptionLength, &end, 10);
        p = SkipBlanks(end);
    }
    std::wstring text(p);
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') text = text.substr(1, text.size() - 2);
    return text;
}

std::wstring LogPath() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    return dir.substr(0, dir.find_last_of(L'\\') + 1) + L"handovers.log";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    DWORD startDelayMs = 0;
    const std::wstring text = HandedText(GetCommandLineW(), &startDelayMs) + L"\n";
    Sleep(startDelayMs);
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr, nullptr);

    // Two hand-overs may arrive close together: wait for the file, then append.
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE file = CreateFileW(LogPath().c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
            CloseHandle(file);
            return 0;
        }
        Sleep(20);
    }
    return 1;
}
