#pragma once
// Milliseconds from the performance counter, the finest clock the platform has.

#include <windows.h>

namespace bench {

inline double NowMs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace bench
