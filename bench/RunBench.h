#pragma once
// Velmora and the baseline, started one after the other in the same desktop
// session: time to the first complete frame, memory once it is up, and
// Velmora's slide from folder 0 to folder 5.

#include <string>
#include <vector>

#include "bench/Launched.h"
#include "bench/Summary.h"

namespace bench {

struct RunSamples {
    std::vector<double> firstFrameMs;
    std::vector<double> privateKiB;
    std::vector<double> workingSetKiB;
    std::vector<double> slideMs;      // Velmora only
    std::vector<double> slideFrames;  // Velmora only
    // Velmora only: memory once the pointer has been over the bar, which
    // brings the tooltip and the common controls behind it.
    std::vector<double> privateAfterSlideKiB;
    std::vector<double> workingSetAfterSlideKiB;
    int failedRuns = 0;
};

struct RunFigures {
    bool ok = false;
    std::string problem;  // why nothing could be measured
    int pairs = 0;
    RunSamples velmora;
    RunSamples baseline;
    std::vector<double> pollIntervalMs;  // how often the screen was read while waiting
    int slideSteps = 0;
    int slidePauseMs = 0;
};

// Runs `pairs` alternating pairs (Velmora first) after one pair that is not
// counted, which warms the platform's caches and takes the reference frames.
RunFigures MeasureRuns(const std::wstring& velmoraExe, const std::wstring& baselineExe, int pairs);

}  // namespace bench
