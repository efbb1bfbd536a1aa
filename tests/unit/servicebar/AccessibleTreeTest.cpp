#include "servicebar/AccessibleTree.h"
#include "servicebar/BarState.h"
#include "servicebar/Content.h"
#include "tests/unit/servicebar/FakeMeasure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace servicebar {
namespace {

BarState NewBar(Size size = Size{300, 485}) {
    return BarState(ServiceContent(), ServiceSettings(), size, testing::Measurer());
}

Point Centre(const Rect& r) { return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void Land(BarState& bar) {
    for (int guard = 0; bar.Slide() && guard < 100; ++guard) bar.SlideTick();
    ASSERT_FALSE(bar.Slide());
}

void OpenByMouse(BarState& bar, int32_t folder) {
    const Point p = Centre(bar.View().headers[static_cast<size_t>(folder)]);
    bar.Press(p);
    bar.Release(p);
    Land(bar);
}

std::vector<std::u16string> Names(const std::vector<AccessibleChild>& children) {
    std::vector<std::u16string> names;
    for (const AccessibleChild& c : children) names.emplace_back(c.name);
    return names;
}

int32_t IdOf(const BarState& bar, Element e) { return AccessibleChildId(AccessibleChildren(bar), e); }

const AccessibleChild& ChildOf(const std::vector<AccessibleChild>& children, Element e) {
    const AccessibleChild* child = AccessibleChildAt(children, AccessibleChildId(children, e));
    EXPECT_NE(child, nullptr);
    static const AccessibleChild kNone;
    return child ? *child : kNone;
}

struct ReadingOrder {
    int32_t open;
    std::vector<std::u16string> names;
};

class ChildrenInReadingOrder : public ::testing::TestWithParam<ReadingOrder> {};

TEST_P(ChildrenInReadingOrder, HeadersThenTheOpenFoldersItemsThenTheHeadersBelow) {
    BarState bar = NewBar();
    if (GetParam().open != 0) OpenByMouse(bar, GetParam().open);
    const std::vector<AccessibleChild> children = AccessibleChildren(bar);
    EXPECT_EQ(Names(children), GetParam().names);
    for (const AccessibleChild& c : children) {
        SCOPED_TRACE("child of folder " + std::to_string(c.folder) + ", index " + std::to_string(c.element.index));
        if (c.element.kind == ElementKind::Header) {
            EXPECT_EQ(c.role, AccessibleRole::PushButton);
            EXPECT_EQ(c.states.expanded, c.folder == GetParam().open);
            EXPECT_EQ(c.states.collapsed, c.folder != GetParam().open);
            EXPECT_FALSE(c.states.selectable);
        } else {
            ASSERT_EQ(c.element.kind, ElementKind::Item);
            EXPECT_EQ(c.folder, GetParam().open);
            EXPECT_EQ(c.role, AccessibleRole::ListItem);
            EXPECT_TRUE(c.states.selectable);
            EXPECT_FALSE(c.states.expanded || c.states.collapsed || c.states.selected || c.states.hotTracked ||
                         c.states.unavailable || c.states.offscreen);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    AccessibleTree, ChildrenInReadingOrder,
    ::testing::Values(
        ReadingOrder{0, {u"万方论文检测", u"开始检测", u"备用检测", u"维普论文检测", u"知网期刊论文检测",
                         u"知网VIP论文检测", u"联系我们", u"失效反馈"}},
        ReadingOrder{4, {u"万方论文检测", u"维普论文检测", u"知网期刊论文检测", u"知网VIP论文检测", u"联系我们",
                         u"官方网站", u"淘宝网店", u"客服QQ", u"客服旺旺", u"失效反馈"}},
        ReadingOrder{5, {u"万方论文检测", u"维普论文检测", u"知网期刊论文检测", u"知网VIP论文检测", u"联系我们",
                         u"失效反馈", u"在线反馈", u"邮件反馈"}}));

TEST(AccessibleTree, LocationsAreWhereTheMouseHitsEachChild) {
    for (int32_t open : {0, 3, 5}) {
        SCOPED_TRACE("open folder " + std::to_string(open));
        BarState bar = NewBar();
        if (open != 0) OpenByMouse(bar, open);
        const std::vector<AccessibleChild> children = AccessibleChildren(bar);
        for (size_t i = 0; i < children.size(); ++i) {
            const AccessibleChild& c = children[i];
            const int32_t id = static_cast<int32_t>(i) + 1;
            if (c.element.kind == ElementKind::Header) {
                EXPECT_EQ(c.location, bar.View().headers[static_cast<size_t>(c.folder)]);
            } else {
                EXPECT_EQ(c.location, bar.View().items[static_cast<size_t>(c.element.index)].label);
            }
            // Every corner pixel of the location hits the child, and the pixel
            // just outside its label does not.
            const Rect& r = c.location;
            for (Point p : {Point{r.left, r.top}, Point{r.right - 1, r.top}, Point{r.left, r.bottom - 1},
                            Point{r.right - 1, r.bottom - 1}, Centre(r)}) {
                EXPECT_EQ(AccessibleHitTest(bar, children, p), id) << p.x << "," << p.y;
            }
            if (c.element.kind == ElementKind::Item) {
                EXPECT_EQ(AccessibleHitTest(bar, children, Point{r.left - 1, r.top}), kAccessibleSelf);
                EXPECT_EQ(AccessibleHitTest(bar, children, Point{r.left, r.bottom}), kAccessibleSelf);
            }
        }
    }
}

TEST(AccessibleTree, BareGroundAndTheArrowsAreTheBarItself) {
    // Ten items in a short bar: the down arrow shows.
    BarFolder many{u"many", u"many", 0, {}};
    for (int i = 0; i < 10; ++i) many.items.push_back(BarItem{u"x", u"x", 0});
    BarState bar({many, BarFolder{u"few", u"few", 0, {BarItem{u"a", u"a", 0}}}}, ServiceSettings(), Size{300, 200},
                 testing::Measurer());
    ASSERT_TRUE(bar.View().downArrow);
    const std::vector<AccessibleChild> children = AccessibleChildren(bar);
    EXPECT_EQ(AccessibleHitTest(bar, children, Centre(bar.View().downArrowRect)), kAccessibleSelf);
    EXPECT_EQ(AccessibleHitTest(bar, children, Point{20, 74}), kAccessibleSelf);
}

TEST(AccessibleTree, ItemsScrolledOutOfSightAreOffscreenWithoutAnAction) {
    BarFolder many{u"many", u"many", 0, {}};
    for (int i = 0; i < 10; ++i) many.items.push_back(BarItem{u"x", u"x", 0});
    BarState bar({many, BarFolder{u"few", u"few", 0, {BarItem{u"a", u"a", 0}}}}, ServiceSettings(), Size{300, 200},
                 testing::Measurer());
    // Scroll one item down: item 0 goes out above, items from 3 on stay out below.
    const Point down = Centre(bar.View().downArrowRect);
    bar.Press(down);
    bar.Release(down);
    ASSERT_EQ(bar.FirstItem(), 1);

    const std::vector<AccessibleChild> children = AccessibleChildren(bar);
    ASSERT_EQ(children.size(), 12u);
    for (int32_t item = 0; item < 10; ++item) {
        const AccessibleChild& c = ChildOf(children, ItemElement(item));
        const bool shown = item == 1 || item == 2;
        EXPECT_EQ(c.states.offscreen, !shown) << item;
        EXPECT_EQ(c.location.IsEmpty(), !shown) << item;
        EXPECT_EQ(c.defaultAction.empty(), !shown) << item;
        const Reaction r = DoAccessibleDefaultAction(bar, AccessibleChildId(children, ItemElement(item)));
        EXPECT_EQ(r.events.empty(), !shown) << item;
    }
}

struct Fixture {
    BarState bar = NewBar();
    std::vector<AccessibleChild> Children() const { return AccessibleChildren(bar); }
    AccessibleStates StatesOf(Element e) const { return ChildOf(Children(), e).states; }
    Point At(Element e) const { return Centre(ChildOf(Children(), e).location); }
};

TEST(AccessibleTree, HotTrackingAndSelectionFollowWhatIsDrawn) {
    Fixture f;
    f.bar.Move(f.At(ItemElement(1)));
    EXPECT_TRUE(f.StatesOf(ItemElement(1)).hotTracked);
    EXPECT_FALSE(f.StatesOf(ItemElement(0)).hotTracked);

    f.bar.Move(f.At(HeaderElement(3)));
    EXPECT_FALSE(f.StatesOf(ItemElement(1)).hotTracked);
    EXPECT_TRUE(f.StatesOf(HeaderElement(3)).hotTracked);

    // Held pressed, a header reads pressed; an item keeps the hover colour.
    f.bar.Press(f.At(HeaderElement(3)));
    EXPECT_TRUE(f.StatesOf(HeaderElement(3)).pressed);
    f.bar.Move(f.At(ItemElement(0)));
    EXPECT_FALSE(f.StatesOf(HeaderElement(3)).pressed);
    f.bar.Release(f.At(ItemElement(0)));
    EXPECT_EQ(f.bar.OpenFolder(), 0);

    f.bar.Press(f.At(ItemElement(0)));
    EXPECT_TRUE(f.StatesOf(ItemElement(0)).hotTracked);
    f.bar.Release(f.At(ItemElement(0)));
    // Just clicked, the label shows the selected colour, not the hover one.
    EXPECT_EQ(f.bar.LookOfItem(0), ItemLook::Selected);
    EXPECT_TRUE(f.StatesOf(ItemElement(0)).selected);
    EXPECT_FALSE(f.StatesOf(ItemElement(0)).hotTracked);
    EXPECT_FALSE(f.StatesOf(ItemElement(1)).selected);

    f.bar.Leave();
    EXPECT_FALSE(f.StatesOf(ItemElement(0)).hotTracked);
    EXPECT_TRUE(f.StatesOf(ItemElement(0)).selected);
}

TEST(AccessibleTree, ItemDefaultActionIsACompletedClick) {
    for (int32_t item : {0, 1}) {
        SCOPED_TRACE("item " + std::to_string(item));
        BarState clicked = NewBar();
        BarState activated = NewBar();
        // Something selected before, so that its label must be repainted too.
        const int32_t other = 1 - item;
        const Point otherAt = Centre(clicked.View().items[static_cast<size_t>(other)].label);
        for (BarState* bar : {&clicked, &activated}) {
            bar->Press(otherAt);
            bar->Release(otherAt);
            bar->Leave();
        }

        const Point p = Centre(clicked.View().items[static_cast<size_t>(item)].label);
        Reaction byMouse = clicked.Press(p);
        const Reaction release = clicked.Release(p);
        byMouse.events.insert(byMouse.events.end(), release.events.begin(), release.events.end());

        const int32_t id = IdOf(activated, ItemElement(item));
        const Reaction byReader = DoAccessibleDefaultAction(activated, id);

        EXPECT_EQ(byReader.events, byMouse.events);
        ASSERT_EQ(byReader.events.size(), 1u);
        EXPECT_EQ(byReader.events[0], (BarEvent{BarEventKind::ItemClicked, 0, item}));
        EXPECT_EQ(activated.SelectedItem(), item);
        EXPECT_EQ(activated.LookOfItem(item), ItemLook::Selected);
        EXPECT_EQ(activated.LookOfItem(other), ItemLook::Normal);
        for (int32_t i : {item, other}) {
            const Rect label = activated.View().items[static_cast<size_t>(i)].label;
            EXPECT_TRUE(byReader.repaintAll ||
                        std::find(byReader.repaint.begin(), byReader.repaint.end(), label) != byReader.repaint.end())
                << "label of item " << i << " not repainted";
        }
        EXPECT_EQ(byReader.capture, CaptureRequest::Keep);
        // The same action again raises the event again, as a second click does.
        EXPECT_EQ(DoAccessibleDefaultAction(activated, id).events, byReader.events);
    }
}

TEST(AccessibleTree, ItemDefaultActionLeavesThePointersHighlightAsAClickWould) {
    // The pointer elsewhere: it still lights the item up when it comes.
    Fixture away;
    away.bar.Move(away.At(HeaderElement(3)));
    DoAccessibleDefaultAction(away.bar, 2);
    EXPECT_EQ(away.bar.LookOfItem(0), ItemLook::Selected);
    away.bar.Move(away.At(ItemElement(0)));
    EXPECT_EQ(away.bar.LookOfItem(0), ItemLook::Hover);

    // The pointer resting on the item: the selected colour shows, as after a
    // click there, until the pointer moves to something else and back.
    Fixture on;
    const Point p = on.At(ItemElement(0));
    on.bar.Move(p);
    ASSERT_EQ(on.bar.LookOfItem(0), ItemLook::Hover);
    DoAccessibleDefaultAction(on.bar, 2);
    EXPECT_EQ(on.bar.LookOfItem(0), ItemLook::Selected);
    on.bar.Move(Point{p.x + 1, p.y});
    EXPECT_EQ(on.bar.LookOfItem(0), ItemLook::Selected);
    on.bar.Move(on.At(ItemElement(1)));
    on.bar.Move(p);
    EXPECT_EQ(on.bar.LookOfItem(0), ItemLook::Hover);
}

TEST(AccessibleTree, HeaderDefaultActionIsAClickOnIt) {
    BarState clicked = NewBar();
    BarState activated = NewBar();
    const Point p = Centre(clicked.View().headers[4]);
    Reaction byMouse = clicked.Press(p);
    const Reaction release = clicked.Release(p);
    byMouse.events.insert(byMouse.events.end(), release.events.begin(), release.events.end());

    const int32_t id = IdOf(activated, HeaderElement(4));
    ASSERT_FALSE(AccessibleChildAt(AccessibleChildren(activated), id)->defaultAction.empty());
    const Reaction byReader = DoAccessibleDefaultAction(activated, id);
    EXPECT_EQ(byReader.events, byMouse.events);
    EXPECT_EQ(byReader.slideTimer, TimerRequest::Start);
    ASSERT_TRUE(activated.Slide());
    EXPECT_EQ(activated.Slide()->to, 4);
    // The folder is open once the slide lands, not before.
    EXPECT_EQ(activated.OpenFolder(), 0);
    Land(activated);
    EXPECT_EQ(activated.OpenFolder(), 4);
    EXPECT_TRUE(ChildOf(AccessibleChildren(activated), HeaderElement(4)).states.expanded);
}

TEST(AccessibleTree, TheOpenFoldersHeaderHasNoActionWhileTheBarIsStill) {
    Fixture f;
    const int32_t id = IdOf(f.bar, HeaderElement(0));
    EXPECT_TRUE(AccessibleChildAt(f.Children(), id)->defaultAction.empty());
    const Reaction r = DoAccessibleDefaultAction(f.bar, id);
    EXPECT_TRUE(r.events.empty());
    EXPECT_EQ(r.slideTimer, TimerRequest::Keep);
    EXPECT_FALSE(f.bar.Slide());
    EXPECT_EQ(f.bar.OpenFolder(), 0);
}

TEST(AccessibleTree, WhileSlidingItemsAreUnavailableAndHeadersActAsClicksDo) {
    Fixture f;
    DoAccessibleDefaultAction(f.bar, IdOf(f.bar, HeaderElement(5)));
    ASSERT_TRUE(f.bar.Slide());
    f.bar.SlideTick();

    std::vector<AccessibleChild> children = f.Children();
    // Still folder 0's items, which no click reaches now.
    EXPECT_EQ(Names(children)[1], u"开始检测");
    const AccessibleChild& item = ChildOf(children, ItemElement(0));
    EXPECT_TRUE(item.states.unavailable);
    EXPECT_TRUE(item.defaultAction.empty());
    EXPECT_TRUE(DoAccessibleDefaultAction(f.bar, AccessibleChildId(children, ItemElement(0))).events.empty());
    EXPECT_EQ(f.bar.SelectedItem(), -1);
    // Moving headers are where they are drawn now.
    EXPECT_EQ(ChildOf(children, HeaderElement(3)).location, f.bar.View().headers[3]);

    // The header of the folder being left brings it back, as a click would.
    const AccessibleChild& back = ChildOf(children, HeaderElement(0));
    EXPECT_FALSE(back.defaultAction.empty());
    const Reaction r = DoAccessibleDefaultAction(f.bar, AccessibleChildId(children, HeaderElement(0)));
    ASSERT_FALSE(r.events.empty());
    EXPECT_EQ(f.bar.OpenFolder(), 5);
    ASSERT_TRUE(f.bar.Slide());
    EXPECT_EQ(f.bar.Slide()->to, 0);
}

TEST(AccessibleTree, UnknownChildIdsDoNothing) {
    Fixture f;
    const int32_t count = static_cast<int32_t>(f.Children().size());
    for (int32_t id : {-1, 0, count + 1, 1000}) {
        EXPECT_EQ(AccessibleChildAt(f.Children(), id), nullptr) << id;
        const Reaction r = DoAccessibleDefaultAction(f.bar, id);
        EXPECT_TRUE(r.events.empty() && r.repaint.empty() && !r.repaintAll) << id;
    }
    EXPECT_EQ(AccessibleChildId(f.Children(), kNothing), kAccessibleSelf);
    EXPECT_EQ(AccessibleChildId(f.Children(), ItemElement(7)), kAccessibleSelf);
}

using Said = std::vector<Announcement>;
constexpr AnnouncementKind kState = AnnouncementKind::StateChange;
constexpr AnnouncementKind kSelection = AnnouncementKind::Selection;
constexpr AnnouncementKind kReorder = AnnouncementKind::Reorder;

// Runs `change` on the bar and returns what it calls for announcing.
template <typename Change>
Said Announced(BarState& bar, Change change) {
    const std::vector<AccessibleChild> before = AccessibleChildren(bar);
    change();
    return AnnouncementsBetween(before, AccessibleChildren(bar));
}

TEST(AccessibleTree, HoverAnnouncesTheStateOfWhatGainsAndLosesTheHighlight) {
    Fixture f;
    const Point item1 = f.At(ItemElement(1));
    EXPECT_EQ(Announced(f.bar, [&] { f.bar.Move(item1); }), (Said{{kState, 3}}));
    // Moving within the same label changes nothing anyone could see.
    EXPECT_EQ(Announced(f.bar, [&] { f.bar.Move(Point{item1.x + 1, item1.y}); }), Said{});
    EXPECT_EQ(Announced(f.bar, [&] { f.bar.Move(f.At(HeaderElement(5))); }), (Said{{kState, 3}, {kState, 8}}));
    EXPECT_EQ(Announced(f.bar, [&] { f.bar.Leave(); }), (Said{{kState, 8}}));
}

TEST(AccessibleTree, SelectionIsAnnouncedOnTheNewlySelectedItem) {
    Fixture f;
    const Point item0 = f.At(ItemElement(0));
    f.bar.Move(item0);
    f.bar.Press(item0);
    // The selection, and the hover look going as the selected colour shows.
    EXPECT_EQ(Announced(f.bar, [&] { f.bar.Release(item0); }), (Said{{kSelection, 2}, {kState, 2}}));
    // Selected again: no news.
    EXPECT_EQ(Announced(f.bar, [&] { DoAccessibleDefaultAction(f.bar, 2); }), Said{});
    // Another item: it is selected, the first one no longer.
    EXPECT_EQ(Announced(f.bar, [&] { DoAccessibleDefaultAction(f.bar, 3); }), (Said{{kState, 2}, {kSelection, 3}}));
}

TEST(AccessibleTree, OpeningAFolderReordersAndAnnouncesBothHeadersOnceLanded) {
    Fixture f;
    // The slide starts: only the items change, as they stop answering clicks.
    EXPECT_EQ(Announced(f.bar, [&] { DoAccessibleDefaultAction(f.bar, IdOf(f.bar, HeaderElement(2))); }),
              (Said{{kState, 2}, {kState, 3}}));
    Said landing;
    while (f.bar.Slide()) {
        const Said tick = Announced(f.bar, [&] { f.bar.SlideTick(); });
        if (!f.bar.Slide()) {
            landing = tick;
            break;
        }
        // On the way only folder 0's items change, as the closing folder covers them.
        for (const Announcement& a : tick) {
            EXPECT_EQ(a.kind, kState);
            EXPECT_TRUE(a.childId == 2 || a.childId == 3) << a.childId;
        }
    }
    // Folder 0's header keeps id 1; folder 2's header is third, before its items.
    EXPECT_EQ(landing, (Said{{kReorder, kAccessibleSelf}, {kState, 1}, {kState, 3}}));
    const std::vector<AccessibleChild> children = f.Children();
    EXPECT_TRUE(AccessibleChildAt(children, 3)->states.expanded);
    EXPECT_TRUE(AccessibleChildAt(children, 1)->states.collapsed);
    EXPECT_EQ(AccessibleChildAt(children, 4)->name, u"开始检测");
    EXPECT_EQ(AccessibleChildAt(children, 4)->folder, 2);
}

}  // namespace
}  // namespace servicebar
