#include "servicebar/Content.h"
#include "servicebar/Layout.h"
#include "tests/unit/servicebar/FakeMeasure.h"

#include <gtest/gtest.h>

#include <vector>

namespace servicebar {
namespace {

using testing::FakeMeasure;

constexpr Size kBar{300, 485};
constexpr int kHeader = 23;

std::vector<std::vector<Size>> MeasureAll(const BarContent& content, int barWidth) {
    std::vector<std::vector<Size>> sizes;
    for (const BarFolder& folder : content) {
        std::vector<Size> row;
        for (const BarItem& item : folder.items) row.push_back(FakeMeasure(item.label, LabelWrapWidth(barWidth)));
        sizes.push_back(row);
    }
    return sizes;
}

BarView StillView(int32_t open, int32_t first = 0) {
    static const std::vector<std::vector<Size>> sizes = MeasureAll(ServiceContent(), kBar.width);
    LayoutInput in;
    in.bar = kBar;
    in.headerHeight = kHeader;
    in.openFolder = open;
    in.firstItem = first;
    in.labelSizes = &sizes;
    return ComputeView(in);
}

TEST(Layout, HeadersStackFromTopUpToTheOpenFolderAndAgainstTheBottomAfterIt) {
    const struct {
        int32_t open;
        int tops[6];
        Rect itemArea;
    } cases[] = {
        {0, {0, 370, 393, 416, 439, 462}, {0, 23, 300, 370}},
        {2, {0, 23, 46, 416, 439, 462}, {0, 69, 300, 416}},
        {4, {0, 23, 46, 69, 92, 462}, {0, 115, 300, 462}},
        {5, {0, 23, 46, 69, 92, 115}, {0, 138, 300, 485}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.open);
        const BarView v = StillView(c.open);
        ASSERT_EQ(v.headers.size(), 6u);
        for (size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(v.headers[i], (Rect{0, c.tops[i], 300, c.tops[i] + kHeader})) << "header " << i;
        }
        EXPECT_EQ(v.itemArea, c.itemArea);
        EXPECT_EQ(v.itemFolder, c.open);
        ASSERT_EQ(v.gaps.size(), 1u);
        EXPECT_EQ(v.gaps[0], c.itemArea);
        EXPECT_TRUE(v.itemsLive);
        EXPECT_FALSE(v.upArrow);
        EXPECT_FALSE(v.downArrow);
    }
}

TEST(Layout, SlideDistanceIsTheItemAreaHeight) {
    EXPECT_EQ(SlideDistance(kBar, 6, kHeader), 347);
    EXPECT_EQ(SlideDistance(Size{300, 100}, 6, kHeader), 0);
}

TEST(Layout, ItemsStackAsIconSlotThenCentredLabel) {
    // Four-character labels measure 48 x 14; the wrapping width is 290 from x = 5.
    const struct {
        int32_t open;
        int32_t item;
        Rect icon;
        Rect label;
    } cases[] = {
        {0, 0, {134, 31, 166, 63}, {126, 67, 174, 81}},
        {0, 1, {134, 93, 166, 125}, {126, 129, 174, 143}},
        {4, 0, {134, 123, 166, 155}, {126, 159, 174, 173}},
        {4, 1, {134, 185, 166, 217}, {126, 221, 174, 235}},
        {4, 2, {134, 247, 166, 279}, {126, 283, 174, 297}},
        {4, 3, {134, 309, 166, 341}, {126, 345, 174, 359}},
        {5, 1, {134, 208, 166, 240}, {126, 244, 174, 258}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.open * 10 + c.item);
        const BarView v = StillView(c.open);
        const ItemBox& box = v.items.at(static_cast<size_t>(c.item));
        EXPECT_EQ(box.item, c.item);
        EXPECT_EQ(box.icon, c.icon);
        EXPECT_EQ(box.label, c.label);
        EXPECT_EQ(box.textRect, (Rect{5, c.label.top, 295, c.label.bottom}));
    }
}

TEST(Layout, WrappedLabelIsAsWideAsItsWidestLineAndCentred) {
    // 30 characters at 12 px wrap to 24 + 6 characters in 290 px.
    const std::vector<Size> sizes{FakeMeasure(std::u16string(30, u'x'), LabelWrapWidth(300))};
    ASSERT_EQ(sizes[0].width, 288);
    ASSERT_EQ(sizes[0].height, 28);
    const std::vector<ItemBox> boxes = LayoutItems(Rect{0, 23, 300, 370}, sizes, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].label, (Rect{6, 67, 294, 95}));
}

TEST(Layout, ScrolledListStartsWithTheFirstShownItem) {
    const BarView v = StillView(4, 2);
    ASSERT_EQ(v.items.size(), 2u);
    EXPECT_EQ(v.items[0].item, 2);
    EXPECT_EQ(v.items[0].label, (Rect{126, 159, 174, 173}));
    EXPECT_TRUE(v.upArrow);
}

TEST(Layout, ShortBarKeepsHeadersApartAndTheItemAreaEmpty) {
    const std::vector<std::vector<Size>> sizes(6);
    LayoutInput in;
    in.bar = Size{300, 100};
    in.headerHeight = kHeader;
    in.openFolder = 1;
    in.labelSizes = &sizes;
    const BarView v = ComputeView(in);
    for (size_t i = 1; i < v.headers.size(); ++i) EXPECT_GE(v.headers[i].top, v.headers[i - 1].bottom);
    EXPECT_TRUE(v.itemArea.IsEmpty());
}

}  // namespace
}  // namespace servicebar
