#pragma once
// What a click on a service bar item does, apart from the desktop: the item's
// link, if it has one, is opened once; an item without a link does nothing.

#include <cstdint>

#include "links/LinkTable.h"

// `open` is called with the link text exactly as the table holds it.
template <typename Open>
void DispatchItemClick(int32_t folder, int32_t item, Open&& open) {
    if (const char* link = FindLink(folder, item)) {
        open(link);
    }
}
