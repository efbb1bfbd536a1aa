#include "bench/Report.h"

#include <cmath>
#include <cstdio>

namespace bench {
namespace {

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// "231 ms [220–250]": the median, then the range.
std::string Figure(const Summary& s, const char* unit, const char* number = "%.0f") {
    if (s.count == 0) return "—";
    return Format(number, s.median) + " " + unit + " [" + Format(number, s.min) + "–" + Format(number, s.max) + "]";
}

std::string Ratio(double ours, double floor) {
    if (floor <= 0) return "—";
    return Format("%.3f", ours / floor);
}

const char* Met(bool met) { return met ? "yes" : "**no**"; }

std::string Kib(uint64_t bytes) {
    return std::to_string(bytes) + " B (" + Format("%.1f", static_cast<double>(bytes) / 1024.0) + " KiB)";
}

std::string DllList(const ImageFacts& image) {
    std::string text;
    for (const std::string& dll : image.imports) text += (text.empty() ? "" : ", ") + dll;
    for (const std::string& dll : image.delayImports) text += (text.empty() ? "" : ", ") + dll + " (delay-loaded)";
    return text.empty() ? "—" : text;
}

bool OnlyEverywhereDlls(const ImageFacts& image) {
    for (const std::string& dll : image.imports)
        if (!ShippedWithEveryWindows(dll)) return false;
    for (const std::string& dll : image.delayImports)
        if (!ShippedWithEveryWindows(dll)) return false;
    return image.readable;
}

void Row(std::string& out, const std::string& measure, const std::string& ours, const std::string& floor,
         const std::string& ratio, const std::string& goal, const char* met) {
    out += "| " + measure + " | " + ours + " | " + floor + " | " + ratio + " | " + goal + " | " + met + " |\n";
}

}  // namespace

std::string MarkdownReport(const AllFigures& f) {
    const RunFigures& runs = f.runs;
    std::string out;
    out += "## Velmora benchmarks\n\n";
    out += "Machine: " + (f.machine.empty() ? std::string("(not given)") : f.machine) + ".  \n";
    out += f.wine.empty() ? std::string("Run on Windows") : "Run under Wine " + f.wine;
    out += ", on a " + std::to_string(f.screenWidth) + "×" + std::to_string(f.screenHeight) +
           " virtual desktop, in one session.  \n";
    out += "Figures are medians with [min–max]. Baseline: one window of Velmora's size and style whose client area "
           "is filled once with one colour, built with the same toolchain and flags. ";
    if (runs.ok) {
        out += "Velmora and the baseline were started alternately, " + std::to_string(runs.pairs) +
               " pairs after one uncounted pair.\n\n";
    } else {
        out += "\n\n**The start, memory and slide measurements could not be made: " + runs.problem + ".**\n\n";
    }

    out += "| Measure | Velmora | Baseline / floor | Ratio | Goal | Met |\n";
    out += "|---|---|---|---|---|---|\n";

    if (runs.ok) {
        const Summary vStart = Summarise(runs.velmora.firstFrameMs);
        const Summary bStart = Summarise(runs.baseline.firstFrameMs);
        const double startRatio = bStart.median > 0 ? vStart.median / bStart.median : 0;
        Row(out, "Start to first complete frame", Figure(vStart, "ms"), Figure(bStart, "ms"),
            Ratio(vStart.median, bStart.median), "≤ 1.05", Met(vStart.count > 0 && startRatio <= 1.05));

        const Summary vPrivate = Summarise(runs.velmora.privateKiB);
        const Summary bPrivate = Summarise(runs.baseline.privateKiB);
        const Summary vWorking = Summarise(runs.velmora.workingSetKiB);
        const Summary bWorking = Summarise(runs.baseline.workingSetKiB);
        Row(out, "Private bytes, first frame up", Figure(vPrivate, "KiB"), Figure(bPrivate, "KiB"),
            Ratio(vPrivate.median, bPrivate.median), "≤ 1.2",
            Met(vPrivate.count > 0 && bPrivate.median > 0 && vPrivate.median / bPrivate.median <= 1.2));
        Row(out, "Working set, first frame up", Figure(vWorking, "KiB"), Figure(bWorking, "KiB"),
            Ratio(vWorking.median, bWorking.median), "≤ 1.2",
            Met(vWorking.count > 0 && bWorking.median > 0 && vWorking.median / bWorking.median <= 1.2));
        const Summary vPrivateUsed = Summarise(runs.velmora.privateAfterSlideKiB);
        const Summary vWorkingUsed = Summarise(runs.velmora.workingSetAfterSlideKiB);
        Row(out, "Private bytes after the slide (the tooltip's common controls loaded)", Figure(vPrivateUsed, "KiB"),
            Figure(bPrivate, "KiB") + " (first frame)", Ratio(vPrivateUsed.median, bPrivate.median), "—", "—");
        Row(out, "Working set after the slide", Figure(vWorkingUsed, "KiB"), Figure(bWorking, "KiB") + " (first frame)",
            Ratio(vWorkingUsed.median, bWorking.median), "—", "—");
    }

    Row(out, "File size of the .exe", f.velmoraImage.readable ? Kib(f.velmoraImage.fileBytes) : "—",
        f.baselineImage.readable ? Kib(f.baselineImage.fileBytes) : "—", "—", "Velmora < 100 KiB",
        Met(f.velmoraImage.readable && f.velmoraImage.fileBytes < 100 * 1024));
    Row(out, "Imported DLLs", DllList(f.velmoraImage), DllList(f.baselineImage), "—",
        "only DLLs every Windows has", Met(OnlyEverywhereDlls(f.velmoraImage)));

    if (f.paint.ok) {
        Row(out, "One full repaint of the bar into a bitmap (WM_PRINTCLIENT) / fill and labels with plain GDI",
            Figure(f.paint.barUs, "µs"), Figure(f.paint.floorUs, "µs"), Ratio(f.paint.barUs.median, f.paint.floorUs.median),
            "≤ 2", Met(f.paint.floorUs.median > 0 && f.paint.barUs.median / f.paint.floorUs.median <= 2));
    } else {
        Row(out, "One full repaint of the bar", "could not be measured", "—", "—", "≤ 2", Met(false));
    }

    if (runs.ok) {
        const double nominal = static_cast<double>(runs.slideSteps) * runs.slidePauseMs;
        const Summary slide = Summarise(runs.velmora.slideMs);
        const Summary frames = Summarise(runs.velmora.slideFrames);
        const std::string nominalText = Format("%.0f", nominal) + " ms (" + std::to_string(runs.slideSteps) +
                                        " steps × " + std::to_string(runs.slidePauseMs) + " ms)";
        Row(out, "Slide folder 0 → 5, click to last frame", Figure(slide, "ms"), "nominal " + nominalText,
            Ratio(slide.median, nominal), "within 10 % of nominal",
            Met(slide.count > 0 && std::fabs(slide.median / nominal - 1.0) <= 0.10));
        Row(out, "Slide folder 0 → 5, distinct frames on screen", Figure(frames, "frames"),
            std::to_string(runs.slideSteps) + " steps", Ratio(frames.median, runs.slideSteps), "one per step",
            Met(frames.count > 0 && frames.min == runs.slideSteps && frames.max == runs.slideSteps));
    }

    out += "\n";
    if (runs.ok) {
        const Summary poll = Summarise(runs.pollIntervalMs);
        out += "Start is timed from just before CreateProcess until a read of the screen first shows the finished "
               "client area (for Velmora the bar with folder 0's labels, for the baseline its colour); the screen was "
               "read every " + Format("%.1f", poll.median) + " ms (median). Memory is GetProcessMemoryInfo's "
               "PrivateUsage and WorkingSetSize 0.5 s after the first frame. The slide is timed from the button's "
               "release over header 5 (SendInput) to the first read showing the finished frame; frames are the "
               "distinct pictures read from the screen in between.";
        const int failed = runs.velmora.failedRuns + runs.baseline.failedRuns;
        if (failed > 0) out += " Runs that failed and are left out: " + std::to_string(failed) + ".";
        out += "\n";
    }
    if (f.paint.ok) {
        out += "Paint: " + std::to_string(f.paint.repetitions) +
               " repaints a side into a 32-bit DIB section, in alternating rounds; the floor fills the bar's area "
               "and draws the six folder labels and folder 0's item labels with DrawTextW in the bar's font.\n";
    }
    return out;
}

}  // namespace bench
