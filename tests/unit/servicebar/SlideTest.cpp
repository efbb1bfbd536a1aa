#include "servicebar/BarState.h"
#include "servicebar/Content.h"
#include "tests/unit/servicebar/FakeMeasure.h"

#include <gtest/gtest.h>

#include <vector>

namespace servicebar {
namespace {

constexpr Size kBar{300, 485};
constexpr int kDistance = 347;  // the item area's height: 485 - 6 * 23

BarState NewBar(int slideStep = 30) {
    BarSettings settings = ServiceSettings();
    settings.slideStep = slideStep;
    return BarState(ServiceContent(), settings, kBar, testing::Measurer());
}

Point HeaderPoint(const BarState& bar, int32_t folder) {
    const Rect r = bar.View().headers.at(static_cast<size_t>(folder));
    return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

Reaction ClickHeader(BarState& bar, int32_t folder) {
    const Point p = HeaderPoint(bar, folder);
    bar.Press(p);
    return bar.Release(p);
}

BarEvent Opened(int32_t folder) { return BarEvent{BarEventKind::FolderOpened, folder, -1}; }

TEST(Slide, HeaderClickStartsASlideThatTheTimerSteps) {
    BarState bar = NewBar();
    const Reaction start = ClickHeader(bar, 5);
    EXPECT_EQ(start.slideTimer, TimerRequest::Start);
    EXPECT_EQ(start.events, (std::vector<BarEvent>{BarEvent{BarEventKind::FolderHeaderClicked, 5, -1}}));
    ASSERT_TRUE(bar.Slide());
    EXPECT_EQ(bar.Slide()->from, 0);
    EXPECT_EQ(bar.Slide()->to, 5);
    EXPECT_EQ(bar.Slide()->offset, 0);
    EXPECT_EQ(bar.OpenFolder(), 0) << "the new folder opens when the slide lands";
    EXPECT_FALSE(bar.View().itemsLive);
}

TEST(Slide, MovesTheHeadersBetweenTheFoldersInThirtyPixelSteps) {
    const struct {
        int32_t from;
        int32_t to;
    } cases[] = {{0, 5}, {0, 2}, {5, 0}, {4, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from * 10 + c.to);
        BarState bar = NewBar();
        if (c.from != 0) {
            ClickHeader(bar, c.from);
            while (bar.Slide()) bar.SlideTick();
        }
        const std::vector<Rect> before = bar.View().headers;
        ClickHeader(bar, c.to);
        const int direction = c.to > c.from ? -1 : 1;
        const int32_t low = std::min(c.from, c.to);
        const int32_t high = std::max(c.from, c.to);

        for (int step = 1; step * 30 < kDistance; ++step) {
            const Reaction tick = bar.SlideTick();
            ASSERT_TRUE(bar.Slide());
            EXPECT_EQ(bar.Slide()->offset, step * 30);
            EXPECT_EQ(tick.slideTimer, TimerRequest::Keep);
            EXPECT_TRUE(tick.events.empty());
            EXPECT_FALSE(tick.repaintAll);
            // Only the stretch between the still headers is repainted.
            const Rect region{0, before[static_cast<size_t>(low)].bottom, 300,
                              high + 1 < 6 ? before[static_cast<size_t>(high) + 1].top : 485};
            ASSERT_FALSE(tick.repaint.empty());
            EXPECT_EQ(tick.repaint[0], region);
            for (const Rect& r : tick.repaint) EXPECT_EQ(Intersect(r, region), r);
            for (int32_t i = 0; i < 6; ++i) {
                const bool moves = i > low && i <= high;
                const Rect& was = before[static_cast<size_t>(i)];
                EXPECT_EQ(bar.View().headers[static_cast<size_t>(i)].top, was.top + (moves ? direction * step * 30 : 0))
                    << "header " << i << " step " << step;
            }
            EXPECT_EQ(bar.OpenFolder(), c.from);
        }

        const Reaction last = bar.SlideTick();
        EXPECT_FALSE(bar.Slide());
        EXPECT_EQ(bar.OpenFolder(), c.to);
        EXPECT_TRUE(last.repaintAll);
        EXPECT_EQ(last.slideTimer, TimerRequest::Stop);
        EXPECT_EQ(last.events, std::vector<BarEvent>{Opened(c.to)});
        for (int32_t i = 0; i < 6; ++i) {
            EXPECT_EQ(bar.View().headers[static_cast<size_t>(i)], StillHeaderRect(kBar, 6, 23, c.to, i));
        }
    }
}

TEST(Slide, TwelveTicksOpenFolderFiveFromFolderZero) {
    BarState bar = NewBar();
    ClickHeader(bar, 5);
    int ticks = 0;
    while (bar.Slide()) {
        bar.SlideTick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 12);  // eleven 30-pixel steps and a last one of 17
    EXPECT_EQ(bar.View().headers[5], (Rect{0, 115, 300, 138}));
    EXPECT_EQ(bar.View().itemArea, (Rect{0, 138, 300, 485}));
}

TEST(Slide, LandingShowsTheNewFolderFromItsFirstItemWithNothingSelected) {
    BarState bar = NewBar();
    bar.Press(Point{150, 136});
    bar.Release(Point{150, 136});
    ASSERT_EQ(bar.SelectedItem(), 1);
    ClickHeader(bar, 1);
    EXPECT_EQ(bar.SelectedItem(), 1) << "the closing folder keeps its look while it slides";
    while (bar.Slide()) bar.SlideTick();
    EXPECT_EQ(bar.OpenFolder(), 1);
    EXPECT_EQ(bar.SelectedItem(), -1);
    EXPECT_EQ(bar.FirstItem(), 0);
    EXPECT_EQ(bar.Hot(), kNothing);

    ClickHeader(bar, 0);
    while (bar.Slide()) bar.SlideTick();
    EXPECT_EQ(bar.SelectedItem(), -1) << "coming back does not bring the old selection back";
    EXPECT_EQ(bar.LookOfItem(1), ItemLook::Normal);
}

TEST(Slide, ItemsDoNotAnswerTheMouseWhileSliding) {
    BarState bar = NewBar();
    ClickHeader(bar, 5);
    bar.SlideTick();
    const Point item0{150, 74};
    EXPECT_EQ(bar.HitTest(item0), kNothing);
    const Reaction press = bar.Press(item0);
    EXPECT_EQ(press.capture, CaptureRequest::Keep);
    EXPECT_TRUE(bar.Release(item0).events.empty());
    EXPECT_EQ(bar.Move(item0).repaint.size(), 0u);
}

TEST(Slide, ClickOnAnotherHeaderLandsTheSlideThenStartsTheNextOne) {
    BarState bar = NewBar();
    ClickHeader(bar, 5);
    bar.SlideTick();
    bar.SlideTick();
    bar.SlideTick();
    // Header 3 is on its way up; clicking it lands the slide on folder 5 first.
    const Reaction click = ClickHeader(bar, 3);
    EXPECT_EQ(click.events,
              (std::vector<BarEvent>{BarEvent{BarEventKind::FolderHeaderClicked, 3, -1}, Opened(5)}));
    EXPECT_EQ(click.slideTimer, TimerRequest::Start);
    EXPECT_TRUE(click.repaintAll);
    EXPECT_EQ(bar.OpenFolder(), 5);
    ASSERT_TRUE(bar.Slide());
    EXPECT_EQ(bar.Slide()->from, 5);
    EXPECT_EQ(bar.Slide()->to, 3);
    EXPECT_EQ(bar.Slide()->offset, 0);
    while (bar.Slide()) bar.SlideTick();
    EXPECT_EQ(bar.OpenFolder(), 3);
    EXPECT_EQ(bar.View().itemArea, (Rect{0, 92, 300, 439}));
}

TEST(Slide, ClickOnTheOpenFoldersOwnHeaderDuringASlideSlidesBack) {
    BarState bar = NewBar();
    ClickHeader(bar, 2);
    bar.SlideTick();
    ClickHeader(bar, 0);
    EXPECT_EQ(bar.OpenFolder(), 2);
    ASSERT_TRUE(bar.Slide());
    EXPECT_EQ(bar.Slide()->to, 0);
    while (bar.Slide()) bar.SlideTick();
    EXPECT_EQ(bar.OpenFolder(), 0);
}

TEST(Slide, ClickOnTheTargetHeaderLetsTheSlideGoOn) {
    BarState bar = NewBar();
    ClickHeader(bar, 5);
    bar.SlideTick();
    bar.SlideTick();
    const Reaction click = ClickHeader(bar, 5);
    EXPECT_EQ(click.events, (std::vector<BarEvent>{BarEvent{BarEventKind::FolderHeaderClicked, 5, -1}}));
    EXPECT_EQ(click.slideTimer, TimerRequest::Keep);
    ASSERT_TRUE(bar.Slide());
    EXPECT_EQ(bar.Slide()->offset, 60);
}

TEST(Slide, HeaderHeldWhileTheSlideEndsKeepsTheBarConsistent) {
    BarState bar = NewBar();
    ClickHeader(bar, 5);
    const Point p = HeaderPoint(bar, 0);
    bar.Press(p);
    while (bar.Slide()) bar.SlideTick();
    EXPECT_EQ(bar.LookOfHeader(0), HeaderLook::Pressed);
    const Reaction release = bar.Release(p);
    EXPECT_EQ(release.capture, CaptureRequest::Release);
    ASSERT_TRUE(bar.Slide());
    EXPECT_EQ(bar.Slide()->to, 0);
}

TEST(Slide, HoverFollowsTheHeadersPassingUnderARestingPointer) {
    BarState bar = NewBar();
    ClickHeader(bar, 5);
    const Point resting{150, 300};
    bar.Move(resting);
    EXPECT_EQ(bar.Hot(), kNothing);
    for (int step = 1; step <= 3; ++step) bar.SlideTick();
    // Header 1 started at 370 and is now at 280..303.
    EXPECT_EQ(bar.Hot(), HeaderElement(1));
    EXPECT_EQ(bar.LookOfHeader(1), HeaderLook::Hover);
}

TEST(Slide, LeaveDuringASlideChangesNothingButTheHighlight) {
    BarState bar = NewBar();
    ClickHeader(bar, 5);
    bar.SlideTick();
    bar.Leave();
    ASSERT_TRUE(bar.Slide());
    EXPECT_EQ(bar.Slide()->offset, 30);
    while (bar.Slide()) bar.SlideTick();
    EXPECT_EQ(bar.OpenFolder(), 5);
}

TEST(Slide, StepZeroSwitchesAtOnce) {
    BarState bar = NewBar(0);
    const Reaction click = ClickHeader(bar, 4);
    EXPECT_FALSE(bar.Slide());
    EXPECT_EQ(bar.OpenFolder(), 4);
    EXPECT_TRUE(click.repaintAll);
    EXPECT_EQ(click.slideTimer, TimerRequest::Stop);
    EXPECT_EQ(click.events.back(), Opened(4));
}

TEST(Slide, StrayTickStopsTheTimerAndChangesNothing) {
    BarState bar = NewBar();
    const Reaction tick = bar.SlideTick();
    EXPECT_EQ(tick.slideTimer, TimerRequest::Stop);
    EXPECT_TRUE(tick.repaint.empty());
    EXPECT_FALSE(tick.repaintAll);
    EXPECT_TRUE(tick.events.empty());
    EXPECT_EQ(bar.OpenFolder(), 0);
}

TEST(Slide, ClosingFolderKeepsItsItemsInItsShrinkingArea) {
    BarState bar = NewBar();
    ClickHeader(bar, 1);
    bar.SlideTick();
    bar.SlideTick();
    const BarView& v = bar.View();
    EXPECT_EQ(v.itemFolder, 0);
    EXPECT_EQ(v.itemArea, (Rect{0, 23, 300, 310}));
    ASSERT_EQ(v.gaps.size(), 2u);
    EXPECT_EQ(v.gaps[1], (Rect{0, 333, 300, 393}));
}

}  // namespace
}  // namespace servicebar
