#include "launcher/SafeEntry.h"

#include <windows.h>

// The MinGW runtime's start-up for a GUI program, the default entry point,
// which this one runs in front of. With -municode it is the runtime's Unicode
// flavour, which calls wWinMain.
extern "C" int WinMainCRTStartup();

namespace launcher {

void RestrictDllSearch() {
    // Looked up rather than imported: Windows 7 has it only with update
    // KB2533623, and an import would keep the program from starting without.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // Without it, at least the current directory leaves the search order.
    SetDllDirectoryW(L"");
}

}  // namespace launcher

// Nothing of the runtime is set up yet here: no static constructors have run
// and no runtime function may be called, only the system's.
extern "C" int VelmoraEntry() {
    launcher::RestrictDllSearch();
    return WinMainCRTStartup();
}
