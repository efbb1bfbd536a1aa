#include "bench/Summary.h"

#include <algorithm>

namespace bench {

Summary Summarise(std::vector<double> samples) {
    Summary s;
    s.count = samples.size();
    if (samples.empty()) return s;
    std::sort(samples.begin(), samples.end());
    const std::size_t mid = samples.size() / 2;
    s.median = samples.size() % 2 ? samples[mid] : (samples[mid - 1] + samples[mid]) / 2;
    s.min = samples.front();
    s.max = samples.back();
    return s;
}

}  // namespace bench
