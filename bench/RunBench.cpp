#include "bench/RunBench.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "bench/BaselineWindow.h"
#include "bench/Clock.h"
#include "bench/Input.h"
#include "bench/ScreenGrab.h"
#include "launcher/MainWindow.h"
#include "servicebar/BarPainter.h"
#include "servicebar/Content.h"
#include "servicebar/Layout.h"
#include "servicebar/ServiceBar.h"
#include "servicebar/Settings.h"

namespace bench {
namespace {

static_assert(kWindowWidth == launcher::MainWindow::kWidth && kWindowHeight == launcher::MainWindow::kHeight,
              "the baseline window has Velmora's size");

constexpr wchar_t kVelmoraClass[] = L"VelmoraMainWindow";
constexpr double kWindowTimeoutMs = 15000;
constexpr double kFrameTimeoutMs = 15000;
constexpr double kStillMs = 1000;
// A slide is over once the screen has not changed for this long after its last frame.
constexpr double kSlideQuietMs = 400;
constexpr DWORD kMemorySettleMs = 500;
// Where the pointer rests between measurements: the desktop, clear of both windows.
constexpr POINT kRestingPlace{4, 4};

// The figures of the one slide measured, from folder 0 to the last folder.
struct SlideGeometry {
    int steps = 0;
    POINT lastHeaderPoint{};  // client coordinates of the bar, which sits at 0, 0
};

SlideGeometry ServiceSlide() {
    const servicebar::BarSettings settings = servicebar::ServiceSettings();
    const int folders = static_cast<int>(servicebar::ServiceContent().size());
    const servicebar::Size bar{launcher::MainWindow::kBarWidth, launcher::MainWindow::kBarHeight};
    const int distance = servicebar::SlideDistance(bar, folders, settings.headerHeight);
    SlideGeometry g;
    g.steps = (distance + settings.slideStep - 1) / settings.slideStep;
    const servicebar::Rect header =
        servicebar::StillHeaderRect(bar, folders, settings.headerHeight, 0, folders - 1);
    // A third of the way in: well inside the part of the bar the window shows.
    g.lastHeaderPoint = POINT{header.left + header.Width() / 3, (header.top + header.bottom) / 2};
    return g;
}

// Paces one wait on the screen and records how often it was read.
class Poller {
public:
    explicit Poller(std::vector<double>& intervals) : m_intervals(intervals) {}
    // Between two reads of the screen: a short sleep, so that the program
    // measured gets the processor.
    void Pause() {
        Sleep(1);
        const double now = NowMs();
        if (m_last > 0) m_intervals.push_back(now - m_last);
        m_last = now;
    }

private:
    std::vector<double>& m_intervals;
    double m_last = 0;
};

HWND WaitForWindow(const Launched& run, const wchar_t* className) {
    const double end = NowMs() + kWindowTimeoutMs;
    while (NowMs() < end) {
        if (HWND hwnd = run.FindWindowOfClass(className)) return hwnd;
        Sleep(1);
    }
    return nullptr;
}

// The frame in `area` once it has stopped changing.
Frame WaitForStill(const RECT& area) {
    ScreenGrab grab(area);
    Frame last = grab.Take();
    double since = NowMs();
    const double end = since + kFrameTimeoutMs;
    while (NowMs() < end && NowMs() - since < kStillMs) {
        Sleep(20);
        const Frame& now = grab.Take();
        if (now != last) {
            last = now;
            since = NowMs();
        }
    }
    return last;
}

// The clock reading when `area` first showed `expected`, or a negative value.
double WaitForFrame(const RECT& area, const Frame& expected, std::vector<double>& intervals) {
    ScreenGrab grab(area);
    Poller poller(intervals);
    const double end = NowMs() + kFrameTimeoutMs;
    for (;;) {
        const bool same = grab.Take() == expected;
        const double now = NowMs();
        if (same) return now;
        if (now > end) return -1;
        poller.Pause();
    }
}

// Waits until `area` shows neither of the given frames: the window has gone from the screen.
void WaitUntilGone(const RECT& area, const std::vector<const Frame*>& frames) {
    ScreenGrab grab(area);
    const double end = NowMs() + 5000;
    while (NowMs() < end) {
        const Frame& now = grab.Take();
        bool shown = false;
        for (const Frame* f : frames) shown = shown || now == *f;
        if (!shown) return;
        Sleep(5);
    }
}

double KiB(SIZE_T bytes) { return static_cast<double>(bytes) / 1024.0; }

struct SlideSample {
    double durationMs = -1;
    int frames = 0;
};

// Presses the button over the last folder's header; the slide starts when it
// is released.
void PressLastHeader(HWND window, const SlideGeometry& slide) {
    POINT target = slide.lastHeaderPoint;
    ClientToScreen(window, &target);
    MoveCursorTo(target);
    LeftDown();
    // The pressed look reaches the screen before the clock starts.
    Sleep(150);
}

// Releases the button over the last folder's header with real input and reads
// the screen as fast as it can until the slide has landed on `endFrame` and
// stayed there.
SlideSample MeasureSlide(HWND window, const RECT& area, const Frame& endFrame, const SlideGeometry& slide,
                         std::vector<double>& intervals) {
    ScreenGrab grab(area);
    Poller poller(intervals);
    PressLastHeader(window, slide);
    Frame previous = grab.Take();
    SlideSample sample;
    const double clickMs = NowMs();
    LeftUp();
    double lastChange = clickMs;
    for (;;) {
        const Frame& now = grab.Take();
        const double t = NowMs();
        if (now != previous) {
            ++sample.frames;
            previous = now;
            lastChange = t;
            if (sample.durationMs < 0 && now == endFrame) sample.durationMs = t - clickMs;
        }
        if (sample.durationMs >= 0 && t - lastChange > kSlideQuietMs) break;
        if (t - clickMs > 10000) {
            sample.durationMs = -1;
            break;
        }
        poller.Pause();
    }
    return sample;
}

struct Program {
    Program(std::wstring exePath, const wchar_t* className, bool measureSlide)
        : exe(std::move(exePath)), windowClass(className), slides(measureSlide) {}

    std::wstring exe;
    const wchar_t* windowClass;
    bool slides;
    // Taken by the uncounted run: where the window's client area lies on the
    // screen and what it shows when finished.
    RECT area{};
    Frame firstFrame;
    Frame slideEnd;
};

// The uncounted run that takes a program's finished frames.
bool TakeReferences(Program& program, const SlideGeometry& slide, std::string& problem) {
    std::unique_ptr<Launched> run = Launched::Start(program.exe);
    HWND window = run ? WaitForWindow(*run, program.windowClass) : nullptr;
    if (!window) {
        problem = "could not start the program or find its window";
        return false;
    }
    program.area = ClientAreaOnScreen(window);
    program.firstFrame = WaitForStill(program.area);
    if (program.slides) {
        PressLastHeader(window, slide);
        LeftUp();
        program.slideEnd = WaitForStill(program.area);
        MoveCursorTo(kRestingPlace);
    }
    if (!run->Close(window, 10000)) {
        problem = "the program did not end when its window was closed";
        return false;
    }
    WaitUntilGone(program.area, {&program.firstFrame, &program.slideEnd});
    return true;
}

void MeasureOne(Program& program, RunSamples& samples, const SlideGeometry& slide,
                std::vector<double>& intervals) {
    std::unique_ptr<Launched> run = Launched::Start(program.exe);
    HWND window = run ? WaitForWindow(*run, program.windowClass) : nullptr;
    const double shownAt = window ? WaitForFrame(program.area, program.firstFrame, intervals) : -1;
    if (shownAt < 0) {
        ++samples.failedRuns;
        return;
    }
    samples.firstFrameMs.push_back(shownAt - run->StartMs());

    Sleep(kMemorySettleMs);
    MemorySample memory;
    if (run->ReadMemory(memory)) {
        samples.privateKiB.push_back(KiB(memory.privateBytes));
        samples.workingSetKiB.push_back(KiB(memory.workingSet));
    }

    if (program.slides) {
        const SlideSample s = MeasureSlide(window, program.area, program.slideEnd, slide, intervals);
        if (s.durationMs >= 0) {
            samples.slideMs.push_back(s.durationMs);
            samples.slideFrames.push_back(s.frames);
        }
        MoveCursorTo(kRestingPlace);
        Sleep(kMemorySettleMs);
        if (run->ReadMemory(memory)) {
            samples.privateAfterSlideKiB.push_back(KiB(memory.privateBytes));
            samples.workingSetAfterSlideKiB.push_back(KiB(memory.workingSet));
        }
    }
    if (!run->Close(window, 10000)) ++samples.failedRuns;
    WaitUntilGone(program.area, {&program.firstFrame, &program.slideEnd});
}

}  // namespace

RunFigures MeasureRuns(const std::wstring& velmoraExe, const std::wstring& baselineExe, int pairs) {
    RunFigures figures;
    const SlideGeometry slide = ServiceSlide();
    figures.slideSteps = slide.steps;
    figures.slidePauseMs = static_cast<int>(ServiceBar::kSlidePauseMs);

    Program velmora(velmoraExe, kVelmoraClass, true);
    Program baseline(baselineExe, kBaselineClass, false);
    MoveCursorTo(kRestingPlace);
    std::printf("Taking the reference frames (one uncounted pair)...\n");
    std::fflush(stdout);
    if (!TakeReferences(velmora, slide, figures.problem) || !TakeReferences(baseline, slide, figures.problem))
        return figures;
    if (!EqualRect(&velmora.area, &baseline.area)) {
        figures.problem = "the two windows do not cover the same part of the screen";
        return figures;
    }
    // What the finished frames must show, so that a half-drawn one cannot pass for them.
    const servicebar::BarColours colours = servicebar::ServiceSettings().colours;
    if (CountColour(velmora.firstFrame, servicebar::ToColorRef(colours.crItemTextColor)) == 0 ||
        velmora.slideEnd == velmora.firstFrame) {
        figures.problem = "Velmora's reference frames do not show its labels or its slide";
        return figures;
    }
    if (CountColour(baseline.firstFrame, kBaselineColour) != static_cast<int>(baseline.firstFrame.size())) {
        figures.problem = "the baseline's reference frame is not filled with its colour";
        return figures;
    }

    for (int i = 0; i < pairs; ++i) {
        std::printf("Pair %d of %d\n", i + 1, pairs);
        std::fflush(stdout);
        MeasureOne(velmora, figures.velmora, slide, figures.pollIntervalMs);
        MeasureOne(baseline, figures.baseline, slide, figures.pollIntervalMs);
    }
    figures.pairs = pairs;
    figures.ok = true;
    return figures;
}

}  // namespace bench
