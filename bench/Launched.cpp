#include "bench/Launched.h"

#include <psapi.h>

#include "bench/Clock.h"
#include "tests/windows/harness/Harness.h"

namespace bench {

std::unique_ptr<Launched> Launched::Start(const std::wstring& exe) {
    std::unique_ptr<Launched> run(new Launched);
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    run->m_startMs = NowMs();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &run->m_info)) {
        return nullptr;
    }
    return run;
}

Launched::~Launched() {
    if (!m_info.hProcess) return;
    if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_info.hProcess, 1);
        WaitForSingleObject(m_info.hProcess, 5000);
    }
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

HWND Launched::FindWindowOfClass(const wchar_t* className) const {
    return harness::VisibleWindowOf(m_info.dwProcessId, className);
}

bool Launched::ReadMemory(MemorySample& sample) const {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(m_info.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters)) {
        return false;
    }
    // The two are the same figure, the process's commit charge; Wine fills in
    // only the older one for a process other than the caller.
    sample.privateBytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    sample.workingSet = counters.WorkingSetSize;
    return true;
}

bool Launched::Close(HWND window, DWORD timeoutMs) {
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    return WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

RECT ClientAreaOnScreen(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace bench
