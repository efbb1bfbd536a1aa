#pragma once
// What the bar shows: its folders, each with its items.

#include <cstdint>
#include <string>
#include <vector>

namespace servicebar {

struct BarItem {
    std::u16string label;
    std::u16string tip;
    uint32_t userValue = 0;
};

struct BarFolder {
    std::u16string label;
    std::u16string tip;
    uint32_t userValue = 0;
    std::vector<BarItem> items;
};

using BarContent = std::vector<BarFolder>;

// The launcher's six folders and fourteen items, in display order: folder and
// item indexes are positions in these vectors.
BarContent ServiceContent();

}  // namespace servicebar
