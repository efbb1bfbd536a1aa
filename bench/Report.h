#pragma once
// The figures as one Markdown table, with the goals they are held against.

#include <string>

#include "bench/ImageFacts.h"
#include "bench/PaintBench.h"
#include "bench/RunBench.h"

namespace bench {

struct AllFigures {
    std::string machine;  // where the run took place, as the caller describes it
    std::string wine;     // the Wine version, empty on Windows
    int screenWidth = 0;
    int screenHeight = 0;
    ImageFacts velmoraImage;
    ImageFacts baselineImage;
    PaintFigures paint;
    RunFigures runs;
};

std::string MarkdownReport(const AllFigures& figures);

}  // namespace bench
