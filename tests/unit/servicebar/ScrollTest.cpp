#include "servicebar/BarState.h"
#include "tests/unit/servicebar/FakeMeasure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace servicebar {
namespace {

// Two folders in a 300 x 200 bar: the item area is 23..177, room for two and
// a half items of 62 pixels, so the ten items of the first folder overflow.
constexpr Size kBar{300, 200};
constexpr Rect kDownArrow{281, 159, 297, 175};
constexpr Rect kUpArrow{281, 25, 297, 41};
constexpr Point kDown{289, 167};
constexpr Point kUp{289, 33};

BarContent Overflowing() {
    BarFolder many{u"many", u"many", 0, {}};
    for (int i = 0; i < 10; ++i) {
        const std::u16string label(static_cast<size_t>(i + 1), u'x');
        many.items.push_back(BarItem{label, label, 0});
    }
    return {many, BarFolder{u"few", u"few", 0, {BarItem{u"a", u"a", 0}}}};
}

BarState NewBar() { return BarState(Overflowing(), ServiceSettings(), kBar, testing::Measurer()); }

std::vector<BarEvent> Click(BarState& bar, Point p) {
    std::vector<BarEvent> events = bar.Press(p).events;
    const Reaction release = bar.Release(p);
    events.insert(events.end(), release.events.begin(), release.events.end());
    return events;
}

TEST(Scroll, OnlyTheArrowForHiddenItemsShows) {
    const BarState bar = NewBar();
    const BarView& v = bar.View();
    EXPECT_FALSE(v.upArrow);
    ASSERT_TRUE(v.downArrow);
    EXPECT_EQ(v.downArrowRect, kDownArrow);
    EXPECT_EQ(bar.HitTest(kDown), kScrollDown);
    EXPECT_EQ(bar.HitTest(Point{280, 167}), kNothing);
    EXPECT_EQ(bar.HitTest(kUp), kNothing);
}

TEST(Scroll, ArrowClickScrollsByOneItem) {
    BarState bar = NewBar();
    const Reaction press = bar.Press(kDown);
    EXPECT_EQ(press.capture, CaptureRequest::Take);
    EXPECT_TRUE(bar.ArrowPressed(ElementKind::ScrollDown));
    const Reaction release = bar.Release(kDown);
    EXPECT_TRUE(release.events.empty());
    EXPECT_EQ(bar.FirstItem(), 1);
    EXPECT_EQ(bar.View().items.front().item, 1);
    EXPECT_EQ(bar.View().items.front().label.top, 67);
    ASSERT_TRUE(bar.View().upArrow);
    EXPECT_EQ(bar.View().upArrowRect, kUpArrow);
    bool repaintsArea = false;
    for (const Rect& r : release.repaint) repaintsArea |= r == bar.View().itemArea;
    EXPECT_TRUE(repaintsArea);

    EXPECT_TRUE(Click(bar, kUp).empty());
    EXPECT_EQ(bar.FirstItem(), 0);
    EXPECT_FALSE(bar.View().upArrow);
}

TEST(Scroll, StopsOnceTheLastItemIsShown) {
    BarState bar = NewBar();
    int clicks = 0;
    while (bar.View().downArrow && clicks < 20) {
        Click(bar, kDown);
        ++clicks;
    }
    // From item 8 on, items 8 and 9 fit: 81 + 62 = 143 <= 177.
    EXPECT_EQ(clicks, 8);
    EXPECT_EQ(bar.FirstItem(), 8);
    EXPECT_FALSE(bar.View().downArrow);
    Click(bar, kDown);
    EXPECT_EQ(bar.FirstItem(), 8);
}

TEST(Scroll, ArrowPressReleasedElsewhereDoesNotScroll) {
    BarState bar = NewBar();
    bar.Press(kDown);
    bar.Move(Point{150, 100});
    EXPECT_FALSE(bar.ArrowPressed(ElementKind::ScrollDown));
    bar.Release(Point{150, 100});
    EXPECT_EQ(bar.FirstItem(), 0);
}

TEST(Scroll, ItemsScrolledOutOfSightDoNotHitAndShownOnesReportTheirOwnIndex) {
    BarState bar = NewBar();
    Click(bar, kDown);
    Click(bar, kDown);
    // Item 2 now sits in the first cell; its label is 3 characters wide.
    EXPECT_EQ(Click(bar, Point{150, 70}), (std::vector<BarEvent>{BarEvent{BarEventKind::ItemClicked, 0, 2}}));
    EXPECT_EQ(bar.SelectedItem(), 2);
}

TEST(Scroll, ArrowsGoWhileSlidingAndTheListStartsAtTheTopAfterwards) {
    BarState bar = NewBar();
    Click(bar, kDown);
    const Point header1{150, 190};
    Click(bar, header1);
    EXPECT_FALSE(bar.View().downArrow);
    EXPECT_FALSE(bar.View().upArrow);
    EXPECT_EQ(bar.HitTest(kUp), kNothing);
    while (bar.Slide()) bar.SlideTick();
    Click(bar, Point{150, 10});
    while (bar.Slide()) bar.SlideTick();
    EXPECT_EQ(bar.OpenFolder(), 0);
    EXPECT_EQ(bar.FirstItem(), 0);
    EXPECT_TRUE(bar.View().downArrow);
}

}  // namespace
}  // namespace servicebar
