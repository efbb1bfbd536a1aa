#pragma once
// One run of a program under measurement: started with the clock running,
// found on screen, its memory read, and closed again.

#include <windows.h>

#include <memory>
#include <string>

namespace bench {

struct MemorySample {
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
};

class Launched {
public:
    // Starts `exe`; the clock is read just before the process is created.
    static std::unique_ptr<Launched> Start(const std::wstring& exe);
    ~Launched();  // ends the process if it still runs
    Launched(const Launched&) = delete;
    Launched& operator=(const Launched&) = delete;

    double StartMs() const { return m_startMs; }

    // The visible top-level window of the class that this process owns, or
    // nullptr if there is none yet.
    HWND FindWindowOfClass(const wchar_t* className) const;
    // The platform's process memory counters, as they are now.
    bool ReadMemory(MemorySample& sample) const;
    // Asks `window` to close and waits for the process to end.
    bool Close(HWND window, DWORD timeoutMs);

private:
    Launched() = default;
    PROCESS_INFORMATION m_info{};
    double m_startMs = 0;
};

// The client area of `window` in screen coordinates.
RECT ClientAreaOnScreen(HWND window);

}  // namespace bench
