#include "servicebar/BarState.h"
#include "servicebar/Content.h"
#include "tests/unit/servicebar/FakeMeasure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace servicebar {
namespace {

// Places in a 300 x 485 bar with folder 0 open (see the layout tests).
constexpr Point kItem0{150, 74};
constexpr Point kItem0Corner{126, 67};
constexpr Point kItem1{150, 136};
constexpr Point kBesideItem0{20, 74};
constexpr Point kBelowLastItem{150, 143};
constexpr Point kEmpty{150, 250};
constexpr Point kHeader0{150, 10};
constexpr Point kHeader1{150, 380};
constexpr Point kHeader2{150, 400};
constexpr Point kOutside{150, 600};

constexpr Rect kItem0Label{126, 67, 174, 81};
constexpr Rect kHeader1Rect{0, 370, 300, 393};

BarState NewBar() { return BarState(ServiceContent(), ServiceSettings(), Size{300, 485}, testing::Measurer()); }

std::vector<BarEvent> Collect(std::initializer_list<Reaction> reactions) {
    std::vector<BarEvent> events;
    for (const Reaction& r : reactions) events.insert(events.end(), r.events.begin(), r.events.end());
    return events;
}

std::vector<BarEvent> Click(BarState& bar, Point p) {
    Reaction press = bar.Press(p);
    Reaction release = bar.Release(p);
    return Collect({press, release});
}

void FinishSliding(BarState& bar) {
    for (int guard = 0; bar.Slide() && guard < 100; ++guard) bar.SlideTick();
    ASSERT_FALSE(bar.Slide());
}

bool Repaints(const Reaction& r, const Rect& rect) {
    return r.repaintAll || std::find(r.repaint.begin(), r.repaint.end(), rect) != r.repaint.end();
}

constexpr BarEvent ItemClick(int32_t folder, int32_t item) { return BarEvent{BarEventKind::ItemClicked, folder, item}; }

int CountItemClicks(const std::vector<BarEvent>& events) {
    return static_cast<int>(std::count_if(events.begin(), events.end(),
                                          [](const BarEvent& e) { return e.kind == BarEventKind::ItemClicked; }));
}

TEST(BarState, StartsWithTheFirstFolderOpenAndNothingSelected) {
    const BarState bar = NewBar();
    EXPECT_EQ(bar.OpenFolder(), 0);
    EXPECT_EQ(bar.SelectedItem(), -1);
    EXPECT_EQ(bar.FirstItem(), 0);
    EXPECT_EQ(bar.Hot(), kNothing);
    EXPECT_EQ(bar.Pressed(), kNothing);
    EXPECT_FALSE(bar.Slide());
    EXPECT_EQ(bar.LookOfItem(0), ItemLook::Normal);
    EXPECT_EQ(bar.LookOfItem(1), ItemLook::Normal);
}

TEST(BarState, CompletedClickSelectsTheItemAndRaisesTheEventOnce) {
    BarState bar = NewBar();
    const Reaction press = bar.Press(kItem0);
    EXPECT_EQ(press.capture, CaptureRequest::Take);
    EXPECT_TRUE(Repaints(press, kItem0Label));
    EXPECT_TRUE(press.events.empty());
    EXPECT_EQ(bar.LookOfItem(0), ItemLook::Pressed);

    const Reaction release = bar.Release(kItem0);
    EXPECT_EQ(release.capture, CaptureRequest::Release);
    EXPECT_TRUE(Repaints(release, kItem0Label));
    EXPECT_EQ(release.events, std::vector<BarEvent>{ItemClick(0, 0)});
    EXPECT_EQ(bar.SelectedItem(), 0);
    EXPECT_EQ(bar.LookOfItem(0), ItemLook::Selected);
}

TEST(BarState, PressOnTheLabelsFirstPixelCounts) {
    BarState bar = NewBar();
    EXPECT_EQ(Click(bar, kItem0Corner), std::vector<BarEvent>{ItemClick(0, 0)});
}

TEST(BarState, PressOnAnItemReleasedElsewhereRaisesNothing) {
    const struct {
        Point release;
        const char* where;
    } cases[] = {
        {kEmpty, "empty item area"}, {kItem1, "another item"},   {kHeader1, "a header"},
        {kOutside, "outside the bar"}, {kBesideItem0, "beside the label"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        BarState bar = NewBar();
        bar.Press(kItem0);
        bar.Move(c.release);
        EXPECT_EQ(bar.LookOfItem(0), ItemLook::Pressed) << "the held item keeps its pressed look";
        const Reaction release = bar.Release(c.release);
        EXPECT_TRUE(release.events.empty());
        EXPECT_EQ(release.capture, CaptureRequest::Release);
        EXPECT_EQ(release.slideTimer, TimerRequest::Keep);
        EXPECT_EQ(bar.SelectedItem(), -1);
        EXPECT_EQ(bar.OpenFolder(), 0);
        EXPECT_EQ(bar.Pressed(), kNothing);
        EXPECT_NE(bar.LookOfItem(0), ItemLook::Pressed);
    }
}

TEST(BarState, MovingBackOntoThePressedItemBeforeReleaseRaisesOnce) {
    BarState bar = NewBar();
    const Reaction press = bar.Press(kItem0);
    const Reaction off = bar.Move(kEmpty);
    const Reaction onHeader = bar.Move(kHeader1);
    const Reaction back = bar.Move(kItem0);
    const Reaction release = bar.Release(kItem0);
    EXPECT_EQ(Collect({press, off, onHeader, back, release}), std::vector<BarEvent>{ItemClick(0, 0)});
    EXPECT_EQ(bar.LookOfHeader(1), HeaderLook::Normal) << "headers do not react while an item is held";
}

TEST(BarState, PressesThatHitNothingAreIgnored) {
    for (Point p : {kBesideItem0, kBelowLastItem, kEmpty, Point{150, 50}}) {
        BarState bar = NewBar();
        const Reaction press = bar.Press(p);
        EXPECT_EQ(press.capture, CaptureRequest::Keep);
        EXPECT_EQ(bar.Pressed(), kNothing);
        // Even if the release lands on an item, nothing was pressed.
        const Reaction release = bar.Release(kItem0);
        EXPECT_TRUE(release.events.empty());
        EXPECT_EQ(bar.SelectedItem(), -1);
    }
}

TEST(BarState, EveryCompletedClickRaisesTheEventAgain) {
    BarState bar = NewBar();
    EXPECT_EQ(Click(bar, kItem0), std::vector<BarEvent>{ItemClick(0, 0)});
    EXPECT_EQ(Click(bar, kItem0), std::vector<BarEvent>{ItemClick(0, 0)});
    EXPECT_EQ(Click(bar, kItem1), std::vector<BarEvent>{ItemClick(0, 1)});
    EXPECT_EQ(bar.SelectedItem(), 1);
    EXPECT_EQ(bar.LookOfItem(0), ItemLook::Normal);
}

TEST(BarState, DoubleClickRaisesOneItemClickAndOneDoubleClick) {
    BarState bar = NewBar();
    const Reaction press = bar.Press(kItem0);
    const Reaction release = bar.Release(kItem0);
    const Reaction second = bar.DoublePress(kItem0);
    EXPECT_EQ(second.capture, CaptureRequest::Keep);
    const Reaction secondRelease = bar.Release(kItem0);
    const std::vector<BarEvent> events = Collect({press, release, second, secondRelease});
    EXPECT_EQ(events, (std::vector<BarEvent>{ItemClick(0, 0), BarEvent{BarEventKind::ItemDoubleClicked, 0, 0}}));
    EXPECT_EQ(bar.SelectedItem(), 0);
    EXPECT_EQ(bar.LookOfItem(0), ItemLook::Selected);
}

TEST(BarState, DoublePressOnAHeaderActsAsAPress) {
    BarState bar = NewBar();
    bar.DoublePress(kHeader1);
    EXPECT_EQ(bar.Pressed(), HeaderElement(1));
}

TEST(BarState, SelectedLabelStaysYellowUntilThePointerComesBackOverIt) {
    BarState bar = NewBar();
    Click(bar, kItem0);
    const Point inside{130, 70};
    const Reaction stay = bar.Move(inside);
    EXPECT_TRUE(stay.repaint.empty());
    EXPECT_EQ(bar.LookOfItem(0), ItemLook::Selected);

    bar.Move(kEmpty);
    EXPECT_EQ(bar.LookOfItem(0), ItemLook::Selected);
    const Reaction back = bar.Move(kItem0);
    EXPECT_EQ(bar.LookOfItem(0), ItemLook::Hover);
    EXPECT_TRUE(Repaints(back, kItem0Label));
    const Reaction off = bar.Move(kEmpty);
    EXPECT_EQ(bar.LookOfItem(0), ItemLook::Selected);
    EXPECT_TRUE(Repaints(off, kItem0Label));
}

TEST(BarState, LeaveAndReturnToTheSameSpotKeepsTheClickedLabelYellow) {
    // What the platform reports around a click when the pointer has not moved at all.
    BarState bar = NewBar();
    Click(bar, kItem0);
    bar.Leave();
    bar.Move(kItem0);
    EXPECT_EQ(bar.LookOfItem(0), ItemLook::Selected);
    bar.Move(kItem1);
    bar.Move(kItem0);
    EXPECT_EQ(bar.LookOfItem(0), ItemLook::Hover);
}

TEST(BarState, HoverHighlightsOneElementAndRepaintsOnlyWhatChanged) {
    BarState bar = NewBar();
    const Reaction onHeader = bar.Move(kHeader1);
    EXPECT_EQ(bar.Hot(), HeaderElement(1));
    EXPECT_EQ(bar.LookOfHeader(1), HeaderLook::Hover);
    EXPECT_EQ(onHeader.repaint, std::vector<Rect>{kHeader1Rect});

    const Reaction sameHeader = bar.Move(Point{10, 372});
    EXPECT_TRUE(sameHeader.repaint.empty());

    const Reaction onItem = bar.Move(kItem0);
    EXPECT_EQ(bar.Hot(), ItemElement(0));
    EXPECT_EQ(bar.LookOfHeader(1), HeaderLook::Normal);
    EXPECT_EQ(bar.LookOfItem(0), ItemLook::Hover);
    EXPECT_EQ(onItem.repaint, (std::vector<Rect>{kHeader1Rect, kItem0Label}));

    const Reaction left = bar.Leave();
    EXPECT_EQ(bar.Hot(), kNothing);
    EXPECT_EQ(left.repaint, std::vector<Rect>{kItem0Label});
    EXPECT_EQ(bar.LookOfItem(0), ItemLook::Normal);
    EXPECT_TRUE(bar.Leave().repaint.empty());
}

TEST(BarState, PressedHeaderLooksPressedOnlyWhileThePointerIsOverIt) {
    BarState bar = NewBar();
    bar.Move(kHeader1);
    const Reaction press = bar.Press(kHeader1);
    EXPECT_EQ(press.capture, CaptureRequest::Take);
    EXPECT_EQ(bar.LookOfHeader(1), HeaderLook::Pressed);
    EXPECT_EQ(bar.Hot(), kNothing);

    const Reaction off = bar.Move(kEmpty);
    EXPECT_EQ(bar.LookOfHeader(1), HeaderLook::Normal);
    EXPECT_TRUE(Repaints(off, kHeader1Rect));
    bar.Move(kHeader2);
    EXPECT_EQ(bar.LookOfHeader(2), HeaderLook::Normal) << "other headers do not react while one is held";
    bar.Move(kHeader1);
    EXPECT_EQ(bar.LookOfHeader(1), HeaderLook::Pressed);
}

TEST(BarState, LeaveDuringAPressKeepsThePress) {
    BarState bar = NewBar();
    bar.Press(kItem0);
    bar.Leave();
    EXPECT_EQ(bar.Pressed(), ItemElement(0));
    EXPECT_TRUE(bar.Release(kOutside).events.empty());

    bar.Press(kItem0);
    bar.Leave();
    bar.Move(kItem0);
    EXPECT_EQ(bar.Release(kItem0).events, std::vector<BarEvent>{ItemClick(0, 0)});
}

TEST(BarState, LeaveDuringAHeaderPressDropsThePressedLook) {
    BarState bar = NewBar();
    bar.Press(kHeader1);
    const Reaction left = bar.Leave();
    EXPECT_EQ(bar.LookOfHeader(1), HeaderLook::Normal);
    EXPECT_TRUE(Repaints(left, kHeader1Rect));
}

TEST(BarState, LostCaptureDropsThePress) {
    BarState bar = NewBar();
    bar.Press(kItem0);
    const Reaction lost = bar.CaptureLost();
    EXPECT_EQ(bar.Pressed(), kNothing);
    EXPECT_TRUE(Repaints(lost, kItem0Label));
    EXPECT_EQ(lost.capture, CaptureRequest::Keep);
    const Reaction release = bar.Release(kItem0);
    EXPECT_TRUE(release.events.empty());
    EXPECT_EQ(bar.SelectedItem(), -1);
    EXPECT_TRUE(bar.CaptureLost().repaint.empty());
}

TEST(BarState, ClickOnTheOpenFoldersHeaderOnlyRaisesTheHeaderEvent) {
    BarState bar = NewBar();
    Click(bar, kItem1);
    bar.Press(kHeader0);
    const Reaction release = bar.Release(kHeader0);
    EXPECT_EQ(release.events, (std::vector<BarEvent>{BarEvent{BarEventKind::FolderHeaderClicked, 0, -1}}));
    EXPECT_EQ(release.slideTimer, TimerRequest::Keep);
    EXPECT_FALSE(release.repaintAll);
    EXPECT_FALSE(bar.Slide());
    EXPECT_EQ(bar.OpenFolder(), 0);
    EXPECT_EQ(bar.SelectedItem(), 1);
}

TEST(BarState, HeaderPressOpensTheHeaderUnderThePointerAtRelease) {
    BarState bar = NewBar();
    bar.Press(kHeader1);
    const Reaction release = bar.Release(kHeader2);
    EXPECT_EQ(release.events, (std::vector<BarEvent>{BarEvent{BarEventKind::FolderHeaderClicked, 2, -1}}));
    ASSERT_TRUE(bar.Slide());
    EXPECT_EQ(bar.Slide()->to, 2);
}

TEST(BarState, HeaderPressReleasedOffTheHeadersOpensNothing) {
    for (Point p : {kEmpty, kItem0, kOutside}) {
        BarState bar = NewBar();
        bar.Press(kHeader1);
        const Reaction release = bar.Release(p);
        EXPECT_TRUE(release.events.empty());
        EXPECT_FALSE(bar.Slide());
        EXPECT_EQ(bar.OpenFolder(), 0);
    }
}

TEST(BarState, RightButtonRaisesOnlyTheUnboundRightClickEvents) {
    BarState bar = NewBar();
    Click(bar, kItem1);
    const struct {
        Point p;
        std::vector<BarEvent> events;
    } cases[] = {
        {kItem0, {BarEvent{BarEventKind::ItemRightClicked, 0, 0}}},
        {kHeader2, {BarEvent{BarEventKind::FolderHeaderRightClicked, 2, -1}}},
        {kEmpty, {}},
    };
    for (const auto& c : cases) {
        const Reaction press = bar.RightPress(c.p);
        const Reaction release = bar.RightRelease(c.p);
        EXPECT_EQ(Collect({press, release}), c.events);
        EXPECT_EQ(press.capture, CaptureRequest::Keep);
        EXPECT_EQ(release.capture, CaptureRequest::Keep);
        EXPECT_EQ(bar.OpenFolder(), 0);
        EXPECT_EQ(bar.SelectedItem(), 1);
        EXPECT_FALSE(bar.Slide());
    }
}

TEST(BarState, ClickingAnItemOfFolderFourGivesItsIndexes) {
    BarState bar = NewBar();
    Click(bar, Point{150, 450});  // folder 4's header while folder 0 is open
    FinishSliding(bar);
    ASSERT_EQ(bar.OpenFolder(), 4);
    const struct {
        Point p;
        int32_t item;
    } cases[] = {{{150, 160}, 0}, {{150, 230}, 1}, {{150, 290}, 2}, {{150, 350}, 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(Click(bar, c.p), std::vector<BarEvent>{ItemClick(4, c.item)});
    }
    Click(bar, Point{150, 470});
    FinishSliding(bar);
    EXPECT_EQ(Click(bar, Point{150, 185}), std::vector<BarEvent>{ItemClick(5, 0)});
}

TEST(BarState, CountsOneItemClickPerCompletedClickOnly) {
    BarState bar = NewBar();
    std::vector<BarEvent> all;
    auto add = [&all](const Reaction& r) { all.insert(all.end(), r.events.begin(), r.events.end()); };
    add(bar.Press(kItem0));
    add(bar.Move(kItem1));
    add(bar.Release(kItem1));
    add(bar.Press(kItem1));
    add(bar.Release(kItem1));
    add(bar.DoublePress(kItem1));
    add(bar.Release(kItem1));
    EXPECT_EQ(CountItemClicks(all), 1);
}

}  // namespace
}  // namespace servicebar
