#pragma once
// Where everything of the bar lies for a given size, open folder, scroll
// position and slide, and what a point hits.

#include "servicebar/Geometry.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace servicebar {

// Item cell in icon mode, top to bottom: an icon slot, a gap, the wrapped label,
// then the spacing to the next cell. Four short labels take about 250 pixels.
constexpr int kItemTopMargin = 8;
constexpr int kIconSize = 32;
constexpr int kIconLabelGap = 4;
constexpr int kItemSpacing = 12;
// Between the item area's border line and the label's wrapping width, per side.
constexpr int kLabelSideMargin = 4;
constexpr int kBorderWidth = 1;

constexpr int kArrowSize = 16;
constexpr int kArrowInset = 2;

// Measures `text` word-wrapped to `wrapWidth`: the widest line by the height of all lines.
using MeasureText = std::function<Size(std::u16string_view text, int wrapWidth)>;

// A slide from the open folder `from` towards `to`; the moving headers have
// travelled `offset` pixels of the slide distance so far.
struct SlidePosition {
    int32_t from = 0;
    int32_t to = 0;
    int offset = 0;
};

struct ItemBox {
    int32_t item = 0;
    Rect icon;      // the (empty) icon slot
    Rect textRect;  // where the label is drawn, centred and wrapped
    Rect label;     // the label's measured extent: the only part of the row that hits
};

enum class ElementKind { None, Header, Item, ScrollUp, ScrollDown };

struct Element {
    ElementKind kind = ElementKind::None;
    int32_t index = -1;  // folder for a header, item for an item, -1 otherwise
};

inline bool operator==(const Element& a, const Element& b) { return a.kind == b.kind && a.index == b.index; }
inline bool operator!=(const Element& a, const Element& b) { return !(a == b); }

constexpr Element kNothing{};
constexpr Element HeaderElement(int32_t folder) { return Element{ElementKind::Header, folder}; }
constexpr Element ItemElement(int32_t item) { return Element{ElementKind::Item, item}; }
constexpr Element kScrollUp{ElementKind::ScrollUp, -1};
constexpr Element kScrollDown{ElementKind::ScrollDown, -1};

// One frame of the bar.
struct BarView {
    std::vector<Rect> headers;  // one per folder
    // Every stretch of bar ground between headers and below the last: one (the
    // item area) while still, two while sliding (the closing and the opening folder).
    std::vector<Rect> gaps;
    Rect itemArea;               // where `itemFolder`'s items show
    int32_t itemFolder = -1;     // the open folder, or during a slide the folder being closed
    std::vector<ItemBox> items;  // items of `itemFolder` from the first shown one on
    bool itemsLive = true;       // false while sliding: nothing in the item area answers the mouse
    bool upArrow = false;
    bool downArrow = false;
    Rect upArrowRect;
    Rect downArrowRect;
};

struct LayoutInput {
    Size bar;
    int headerHeight = 0;
    int32_t openFolder = 0;
    int32_t firstItem = 0;
    std::optional<SlidePosition> slide;
    // Measured label sizes, per folder and item; also gives the folder count.
    const std::vector<std::vector<Size>>* labelSizes = nullptr;
};

// How far the moving headers travel in a slide: the item area's height.
int SlideDistance(Size bar, int folderCount, int headerHeight);

// The width every item label is wrapped to.
int LabelWrapWidth(int barWidth);

// Where folder `folder`'s header lies when `openFolder` is open and nothing slides.
Rect StillHeaderRect(Size bar, int folderCount, int headerHeight, int32_t openFolder, int32_t folder);

std::vector<ItemBox> LayoutItems(const Rect& itemArea, const std::vector<Size>& labelSizes, int32_t firstItem);

// True when some item from `firstItem` on reaches below the item area.
bool ItemsHiddenBelow(const Rect& itemArea, const std::vector<Size>& labelSizes, int32_t firstItem);

BarView ComputeView(const LayoutInput& input);

// Scroll arrows come first, then headers, then item labels: the arrows sit on top of the item area.
Element HitTest(const BarView& view, Point p);

// The area to repaint when `element` changes its look.
Rect ElementRect(const BarView& view, Element element);

}  // namespace servicebar
