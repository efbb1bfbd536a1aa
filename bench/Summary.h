#pragma once
// Median and range of a set of measurements.

#include <cstddef>
#include <vector>

namespace bench {

struct Summary {
    std::size_t count = 0;
    double median = 0;
    double min = 0;
    double max = 0;
};

Summary Summarise(std::vector<double> samples);

}  // namespace bench
