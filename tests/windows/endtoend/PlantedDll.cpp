// A harmless stand-in for a DLL that someone planted next to a downloaded
// program: when a process loads it, it leaves "<its own path>.loaded" beside
// itself, holding the path of that process's program, and then refuses to
// load. It calls nothing but kernel32.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t marker[MAX_PATH + 8];
    const DWORD length = GetModuleFileNameW(self, marker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return FALSE;
    lstrcpyW(marker + length, L".loaded");
    wchar_t program[MAX_PATH];
    const DWORD programLength = GetModuleFileNameW(nullptr, program, MAX_PATH);
    HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, program, programLength * sizeof(wchar_t), &written, nullptr);
        CloseHandle(file);
    }
    return FALSE;
}
