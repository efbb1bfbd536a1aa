#include "tests/windows/endtoend/BarFacts.h"

#include <stdexcept>
#include <string_view>

namespace endtoend {

const ItemFacts& Item(int32_t folder, int32_t item) {
    for (const ItemFacts& facts : kItems) {
        if (facts.folder == folder && facts.item == item) return facts;
    }
    throw std::out_of_range("no such item in the bar");
}

int ItemCount(int32_t folder) {
    int n = 0;
    for (const ItemFacts& facts : kItems) n += facts.folder == folder ? 1 : 0;
    return n;
}

const ItemFacts& BarrierFor(const ItemFacts& item) {
    for (const ItemFacts& other : kItems) {
        if (other.folder == item.folder && std::string_view(other.link) != item.link) return other;
    }
    throw std::logic_error("a folder whose items all share one link");
}

RECT HeaderRect(int32_t open, int32_t folder) {
    const int top = folder <= open ? folder * kHeaderHeight : kBarHeight - (kFolderCount - folder) * kHeaderHeight;
    return RECT{0, top, kVisibleBarWidth, top + kHeaderHeight};
}

RECT ItemArea(int32_t open) {
    const int top = HeaderRect(open, open).bottom;
    const int bottom = open + 1 < kFolderCount ? HeaderRect(open, open + 1).top : kBarHeight;
    return RECT{0, top, kVisibleBarWidth, bottom};
}

}  // namespace endtoend
