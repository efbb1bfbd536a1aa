#include "servicebar/Layout.h"

#include <algorithm>

namespace servicebar {

int SlideDistance(Size bar, int folderCount, int headerHeight) {
    return std::max(0, bar.height - folderCount * headerHeight);
}

int LabelWrapWidth(int barWidth) {
    return std::max(0, barWidth - 2 * (kBorderWidth + kLabelSideMargin));
}

Rect StillHeaderRect(Size bar, int folderCount, int headerHeight, int32_t openFolder, int32_t folder) {
    int top = folder * headerHeight;
    if (folder > openFolder) {
        // Against the bottom, but never into the stack above when the bar is too short for all headers.
        top = std::max(top, bar.height - (folderCount - folder) * headerHeight);
    }
    return Rect{0, top, bar.width, top + headerHeight};
}

std::vector<ItemBox> LayoutItems(const Rect& itemArea, const std::vector<Size>& labelSizes, int32_t firstItem) {
    std::vector<ItemBox> boxes;
    const int wrap = LabelWrapWidth(itemArea.Width());
    const int textLeft = itemArea.left + kBorderWidth + kLabelSideMargin;
    const int iconLeft = itemArea.left + (itemArea.Width() - kIconSize) / 2;
    int cellTop = itemArea.top + kItemTopMargin;
    for (int32_t i = std::max(0, firstItem); i < static_cast<int32_t>(labelSizes.size()); ++i) {
        const Size size = labelSizes[static_cast<size_t>(i)];
        ItemBox box;
        box.item = i;
        box.icon = Rect{iconLeft, cellTop, iconLeft + kIconSize, cellTop + kIconSize};
        const int labelTop = cellTop + kIconSize + kIconLabelGap;
        box.textRect = Rect{textLeft, labelTop, textLeft + wrap, labelTop + size.height};
        // Same rounding as a centred line of text inside textRect.
        const int labelLeft = textLeft + (wrap - size.width) / 2;
        box.label = Rect{labelLeft, labelTop, labelLeft + size.width, labelTop + size.height};
        boxes.push_back(box);
        cellTop = labelTop + size.height + kItemSpacing;
    }
    return boxes;
}

bool ItemsHiddenBelow(const Rect& itemArea, const std::vector<Size>& labelSizes, int32_t firstItem) {
    const std::vector<ItemBox> boxes = LayoutItems(itemArea, labelSizes, firstItem);
    return !boxes.empty() && boxes.back().label.bottom > itemArea.bottom;
}

BarView ComputeView(const LayoutInput& input) {
    BarView view;
    const std::vector<std::vector<Size>>& sizes = *input.labelSizes;
    const int count = static_cast<int>(sizes.size());
    const int hh = input.headerHeight;
    const int32_t shownFolder = input.slide ? input.slide->from : input.openFolder;

    for (int32_t i = 0; i < count; ++i) {
        Rect r = StillHeaderRect(input.bar, count, hh, shownFolder, i);
        if (input.slide) {
            const SlidePosition& s = *input.slide;
            if (s.to > s.from && i > s.from && i <= s.to) {
                r.top -= s.offset;
                r.bottom -= s.offset;
            } else if (s.to < s.from && i > s.to && i <= s.from) {
                r.top += s.offset;
                r.bottom += s.offset;
            }
        }
        view.headers.push_back(r);
    }

    for (int32_t i = 0; i < count; ++i) {
        const int top = view.headers[static_cast<size_t>(i)].bottom;
        const int bottom = i + 1 < count ? view.headers[static_cast<size_t>(i) + 1].top : input.bar.height;
        if (bottom > top) view.gaps.push_back(Rect{0, top, input.bar.width, bottom});
    }

    if (shownFolder < 0 || shownFolder >= count) return view;
    const size_t f = static_cast<size_t>(shownFolder);
    const int areaTop = view.headers[f].bottom;
    const int areaBottom = f + 1 < static_cast<size_t>(count) ? view.headers[f + 1].top : input.bar.height;
    view.itemArea = Rect{0, areaTop, input.bar.width, std::max(areaTop, areaBottom)};
    view.itemFolder = shownFolder;
    view.items = LayoutItems(view.itemArea, sizes[f], input.firstItem);
    view.itemsLive = !input.slide;

    if (view.itemsLive) {
        view.upArrow = input.firstItem > 0;
        view.downArrow = ItemsHiddenBelow(view.itemArea, sizes[f], input.firstItem);
        const int left = view.itemArea.right - kBorderWidth - kArrowInset - kArrowSize;
        const int upTop = view.itemArea.top + kArrowInset;
        const int downTop = view.itemArea.bottom - kArrowInset - kArrowSize;
        view.upArrowRect = Rect{left, upTop, left + kArrowSize, upTop + kArrowSize};
        view.downArrowRect = Rect{left, downTop, left + kArrowSize, downTop + kArrowSize};
    }
    return view;
}

Element HitTest(const BarView& view, Point p) {
    if (view.itemsLive) {
        if (view.upArrow && view.upArrowRect.Contains(p)) return kScrollUp;
        if (view.downArrow && view.downArrowRect.Contains(p)) return kScrollDown;
    }
    for (size_t i = 0; i < view.headers.size(); ++i) {
        if (view.headers[i].Contains(p)) return HeaderElement(static_cast<int32_t>(i));
    }
    if (view.itemsLive && view.itemArea.Contains(p)) {
        for (const ItemBox& box : view.items) {
            if (box.label.Contains(p)) return ItemElement(box.item);
        }
    }
    return kNothing;
}

Rect ElementRect(const BarView& view, Element element) {
    switch (element.kind) {
    case ElementKind::Header:
        if (element.index >= 0 && static_cast<size_t>(element.index) < view.headers.size())
            return view.headers[static_cast<size_t>(element.index)];
        return Rect{};
    case ElementKind::Item:
        for (const ItemBox& box : view.items) {
            if (box.item == element.index) return Intersect(box.label, view.itemArea);
        }
        return Rect{};
    case ElementKind::ScrollUp:
        return view.upArrow ? view.upArrowRect : Rect{};
    case ElementKind::ScrollDown:
        return view.downArrow ? view.downArrowRect : Rect{};
    case ElementKind::None:
        break;
    }
    return Rect{};
}

}  // namespace servicebar
