// Measures Velmora against what the platform itself costs for one window, and
// writes the figures as a Markdown table. It reports; it never fails on a
// figure. Run it under scripts/wine-run (scripts/bench does).
//
//   velmora_bench [--pairs=N] [--machine=TEXT] [--out=FILE] [--velmora=EXE] [--baseline=EXE]
//
// The two programs default to the ones built next to it.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <string>

#include "bench/ImageFacts.h"
#include "bench/PaintBench.h"
#include "bench/Report.h"
#include "bench/RunBench.h"
#include "tests/windows/harness/Harness.h"

namespace {

constexpr int kDefaultPairs = 12;

std::string WineVersion() {
    using GetVersionFn = const char* (*)();
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto get = ntdll ? reinterpret_cast<GetVersionFn>(
                           reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")))
                     : nullptr;
    return get ? get() : "";
}

bool Option(const wchar_t* arg, const wchar_t* name, std::wstring& value) {
    const size_t n = std::wcslen(name);
    if (std::wcsncmp(arg, name, n) != 0) return false;
    value = arg + n;
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int pairs = kDefaultPairs;
    std::wstring machine;
    std::wstring out = harness::WinePath(VELMORA_BENCH_RESULTS);
    std::wstring velmoraExe = harness::WinePath(VELMORA_BENCH_VELMORA_EXE);
    std::wstring baselineExe = harness::WinePath(VELMORA_BENCH_BASELINE_EXE);
    for (int i = 1; i < argc; ++i) {
        std::wstring value;
        if (Option(argv[i], L"--pairs=", value)) {
            pairs = std::max(1, _wtoi(value.c_str()));
        } else if (Option(argv[i], L"--machine=", value)) {
            machine = value;
        } else if (Option(argv[i], L"--out=", value)) {
            out = value;
        } else if (Option(argv[i], L"--velmora=", value)) {
            velmoraExe = value;
        } else if (Option(argv[i], L"--baseline=", value)) {
            baselineExe = value;
        } else {
            std::fprintf(stderr,
                         "usage: velmora_bench [--pairs=N] [--machine=TEXT] [--out=FILE] [--velmora=EXE] "
                         "[--baseline=EXE]\n");
            return 2;
        }
    }

    bench::AllFigures figures;
    figures.machine = harness::Narrow(machine);
    figures.wine = WineVersion();
    figures.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    figures.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    figures.velmoraImage = bench::ReadImageFacts(velmoraExe);
    figures.baselineImage = bench::ReadImageFacts(baselineExe);

    std::printf("Measuring paint cost...\n");
    std::fflush(stdout);
    figures.paint = bench::MeasurePaint();
    figures.runs = bench::MeasureRuns(velmoraExe, baselineExe, pairs);

    const std::string report = bench::MarkdownReport(figures);
    std::ofstream file(out.c_str(), std::ios::binary);
    file << report;
    if (!file) {
        std::fprintf(stderr, "could not write %s\n", harness::Narrow(out).c_str());
        return 1;
    }
    std::printf("Wrote %s\n", harness::Narrow(out).c_str());
    return 0;
}
