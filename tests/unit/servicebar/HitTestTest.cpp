#include "servicebar/BarState.h"
#include "servicebar/Content.h"
#include "tests/unit/servicebar/FakeMeasure.h"

#include <gtest/gtest.h>

namespace servicebar {
namespace {

BarState ServiceBarAt(Size size) {
    return BarState(ServiceContent(), ServiceSettings(), size, testing::Measurer());
}

TEST(HitTest, ServiceBarWithFirstFolderOpen) {
    const BarState bar = ServiceBarAt(Size{300, 485});
    const struct {
        Point p;
        Element expected;
        const char* what;
    } cases[] = {
        {{0, 0}, HeaderElement(0), "first pixel of the first header"},
        {{299, 22}, HeaderElement(0), "last pixel of the first header"},
        {{0, 23}, kNothing, "first pixel of the item area"},
        {{150, 50}, kNothing, "the empty icon slot"},
        {{126, 67}, ItemElement(0), "first pixel of the first label"},
        {{173, 80}, ItemElement(0), "last pixel of the first label"},
        {{125, 67}, kNothing, "just left of the first label"},
        {{174, 80}, kNothing, "just right of the first label"},
        {{20, 75}, kNothing, "the gap beside a short label"},
        {{150, 81}, kNothing, "just below the first label"},
        {{150, 142}, ItemElement(1), "last row of the last label"},
        {{150, 143}, kNothing, "the pixel below the last item"},
        {{150, 369}, kNothing, "last pixel of the item area"},
        {{150, 370}, HeaderElement(1), "first pixel of the second header"},
        {{150, 392}, HeaderElement(1), "last pixel of the second header"},
        {{299, 484}, HeaderElement(5), "last pixel of the bar"},
        {{300, 484}, kNothing, "right of the bar"},
        {{150, 485}, kNothing, "below the bar"},
        {{-1, 10}, kNothing, "left of the bar"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bar.HitTest(c.p), c.expected) << c.what;
    }
}

TEST(HitTest, LastFolderOpen) {
    BarState bar = ServiceBarAt(Size{300, 485});
    bar.Press(Point{150, 470});
    bar.Release(Point{150, 470});
    while (bar.Slide()) bar.SlideTick();
    ASSERT_EQ(bar.OpenFolder(), 5);
    const struct {
        Point p;
        Element expected;
    } cases[] = {
        {{0, 115}, HeaderElement(5)},
        {{299, 137}, HeaderElement(5)},
        {{150, 138}, kNothing},
        {{126, 182}, ItemElement(0)},
        {{173, 257}, ItemElement(1)},
        {{150, 258}, kNothing},
        {{150, 484}, kNothing},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bar.HitTest(c.p), c.expected) << c.p.x << "," << c.p.y;
    }
}

TEST(HitTest, LabelCutByTheItemAreaGivesWayToTheHeaderBelow) {
    // A 98-pixel bar with two folders leaves the item area 23..75, which cuts
    // the first label (67..81) in two.
    const BarContent content{BarFolder{u"a", u"a", 0, {BarItem{u"xx", u"xx", 0}}}, BarFolder{u"b", u"b", 0, {}}};
    const BarState bar(content, ServiceSettings(), Size{120, 98}, testing::Measurer());
    EXPECT_EQ(bar.HitTest(Point{60, 74}), ItemElement(0));
    EXPECT_EQ(bar.HitTest(Point{60, 75}), HeaderElement(1));
    EXPECT_EQ(bar.HitTest(Point{60, 80}), HeaderElement(1));
    EXPECT_TRUE(bar.View().downArrow);
}

}  // namespace
}  // namespace servicebar
