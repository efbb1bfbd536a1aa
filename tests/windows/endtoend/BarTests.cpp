// The service bar of the real program under Wine: real mouse and keyboard
// input in, real screen pixels, cursor images, tooltips and hand-overs out.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "tests/windows/endtoend/RunningVelmora.h"

using namespace harness;
using namespace endtoend;

namespace {

using Lines = std::vector<std::string>;

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// Everything a still picture of the bar must show with `folder` open: the
// header stack, black header labels, the labels in white exactly where the
// table puts them on plain grey, the edge lines, and nothing else.
void ExpectFolderLooksRight(const ScreenImage& bar, int32_t folder) {
    SCOPED_TRACE("folder " + std::to_string(folder) + " open");
    ASSERT_EQ(bar.Width(), kVisibleBarWidth);
    ASSERT_EQ(bar.Height(), kBarHeight);
    EXPECT_EQ(ShownFolder(bar), folder);

    for (int32_t f = 0; f < kFolderCount; ++f) {
        const RECT header = HeaderRect(folder, f);
        EXPECT_GT(bar.Count(kBlack, header), 0) << "no black label on header " << f;
        // The label sits in the middle of the bar's full 300-pixel width.
        int left = bar.Width(), right = -1;
        for (int y = header.top; y < header.bottom; ++y) {
            for (int x = 0; x < bar.Width(); ++x) {
                if (bar.At(x, y) == kBlack) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        EXPECT_NEAR((left + right + 1) / 2.0, 150.0, 2.0) << "header " << f << " label not centred";
    }

    const RECT area = ItemArea(folder);
    std::vector<RECT> boxes;
    for (const ItemFacts& item : kItems) {
        if (item.folder != folder) continue;
        boxes.push_back(item.labelBox);
        EXPECT_GT(bar.Count(kWhite, item.labelBox), 20) << "label of item " << item.item << " is not white there";
    }
    int stray = 0, otherInLabels = 0, edge = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        edge += bar.At(0, y) == kEdge ? 1 : 0;
        for (int x = 1; x < bar.Width(); ++x) {
            if (folder == kFolderCount - 1 && y == kBarHeight - 1) continue;
            const Rgb c = bar.At(x, y);
            const bool inLabel = std::any_of(boxes.begin(), boxes.end(), [&](const RECT& b) { return Inside(b, x, y); });
            if (!inLabel && c != kGrey) ++stray;
            if (inLabel && c != kGrey && c != kWhite) ++otherInLabels;
        }
    }
    EXPECT_EQ(stray, 0) << "pixels other than the grey ground outside the labels' boxes";
    EXPECT_EQ(otherInLabels, 0) << "label pixels neither white nor ground";
    EXPECT_EQ(edge, area.bottom - area.top) << "the left edge of the item area is not a line in (0, 60, 115)";
    if (folder == kFolderCount - 1) {
        EXPECT_EQ(bar.Count(kEdge, RECT{0, kBarHeight - 1, bar.Width(), kBarHeight}), bar.Width())
            << "the last folder's item area has no bottom edge line";
    }
    EXPECT_EQ(bar.Count(kYellow), 0);
    EXPECT_EQ(bar.Count(kBlue), 0);
}


std::wstring TooltipText(HWND tooltip) {
    wchar_t text[256] = {};
    DWORD_PTR copied = 0;
    // Sent, not read with GetWindowText: the tooltip answers with the tip it shows.
    SendMessageTimeoutW(tooltip, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
    return text;
}

}  // namespace

TEST(StartState, FolderZeroOpenWithWhiteLabelsOnGreyAndNothingYellow) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    ExpectFolderLooksRight(velmora.StillPicture(), 0);
    const ScreenImage window = ScreenImage::CaptureWindow(velmora.Window());
    EXPECT_EQ(window.Count(kYellow), 0) << "a label is yellow before anything was clicked";
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

// Also leaves a picture of the window with each folder open in the test output.
TEST(Folders, EachFolderShowsItsLabelsWhereTheTableSays) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    for (int32_t folder = 0; folder < kFolderCount; ++folder) {
        if (folder != velmora.OpenFolder()) {
            ASSERT_TRUE(velmora.Open(folder)) << "folder " << folder << " did not open";
        }
        ExpectFolderLooksRight(velmora.StillPicture(), folder);
        ScreenImage::CaptureWindow(velmora.Window()).SavePng(L"bar-folder-" + std::to_wstring(folder) + L".png");
    }
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

TEST(Hover, OneLabelUnderThePointerTurnsBlueAndLosesItWhenThePointerGoes) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    const ItemFacts& first = Item(0, 0);
    const ItemFacts& second = Item(0, 1);
    auto looks = [&](const ItemFacts& item, Rgb colour) {
        return WaitUntil(
            [&] {
                const ScreenImage bar = velmora.CaptureBar();
                return bar.Count(colour, item.labelBox) > 20 &&
                       bar.Count(colour == kBlue ? kWhite : kBlue, item.labelBox) == 0;
            },
            3000);
    };

    const POINT onFirst = velmora.ItemPoint(first);
    MoveMouse(onFirst.x, onFirst.y);
    EXPECT_TRUE(looks(first, kBlue)) << "the label under the pointer did not turn blue";
    EXPECT_TRUE(looks(second, kWhite));

    // Straight onto the other label: the highlight moves with the pointer.
    const POINT onSecond = velmora.ItemPoint(second);
    MoveMouse(onSecond.x, onSecond.y);
    EXPECT_TRUE(looks(second, kBlue));
    EXPECT_TRUE(looks(first, kWhite)) << "the label the pointer left stayed blue";

    // Onto bare ground inside the bar, then off the window.
    const POINT ground = velmora.OnScreen(60, 250);
    MoveMouse(ground.x, ground.y);
    EXPECT_TRUE(looks(second, kWhite)) << "the label stayed blue after the pointer went to bare ground";
    MoveMouse(onFirst.x, onFirst.y);
    EXPECT_TRUE(looks(first, kBlue));
    velmora.Park();
    EXPECT_TRUE(looks(first, kWhite)) << "the label stayed blue after the pointer left the window";
    EXPECT_EQ(velmora.CaptureBar().Count(kBlue), 0);
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

// A hand that crosses a label on its way off the bar: by the time the bar
// reads the move over the label, the pointer is gone already (here onto the
// window's strip below the bar, then off the window). The highlight must not
// stay behind.
TEST(Hover, APointerThatCrossesALabelOnItsWayOutLeavesNoHighlight) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    const ScreenImage still = velmora.StillPicture();
    const POINT away = velmora.OnScreen(150, kBarHeight + 2);
    for (const POINT& on : {velmora.ItemPoint(Item(0, 0)), velmora.HeaderPoint(0, 2), velmora.ItemPoint(Item(0, 1))}) {
        SCOPED_TRACE("crossing " + std::to_string(on.x) + "," + std::to_string(on.y));
        SendMouseNow(0, on.x, on.y);
        SendMouseNow(0, away.x, away.y);
        EXPECT_EQ(PictureDifference(still, velmora.StillPicture(), "crossed"), "");
    }
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

TEST(ItemClick, TurnsTheLabelYellowAndHandsItsLinkOverOnce) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    // "客服旺旺" and "在线反馈" share their links with other items: the link
    // shows the right item was reported all the same.
    for (const auto& [folder, index] : std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {4, 1}, {4, 3}, {5, 0}}) {
        const ItemFacts& item = Item(folder, index);
        SCOPED_TRACE("item (" + std::to_string(folder) + ", " + std::to_string(index) + ")");
        if (velmora.OpenFolder() != folder) {
            ASSERT_TRUE(velmora.Open(folder));
        }
        bool yellow = false;
        int yellowElsewhere = -1;
        const Lines handed = velmora.HandoversOf(
            [&] {
                velmora.Click(item);
                yellow = WaitUntil([&] { return velmora.CaptureBar().Count(kYellow, item.labelBox) > 20; }, 3000);
                const ScreenImage bar = velmora.CaptureBar();
                yellowElsewhere = bar.Count(kYellow) - bar.Count(kYellow, item.labelBox);
            },
            BarrierFor(item));
        EXPECT_TRUE(yellow) << "the clicked label did not turn yellow";
        EXPECT_EQ(yellowElsewhere, 0);
        EXPECT_EQ(handed, Lines{item.link});
    }
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

// The yellow follows the clicks: the label clicked before goes back to white.
TEST(ItemClick, OnlyTheLabelClickedLastIsYellow) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    ASSERT_TRUE(velmora.Open(4));
    for (int32_t index : {0, 1, 2, 3, 1}) {
        SCOPED_TRACE("after a click on item (4, " + std::to_string(index) + ")");
        velmora.Click(Item(4, index));
        const ScreenImage bar = velmora.StillPicture();
        for (int32_t other = 0; other < ItemCount(4); ++other) {
            const RECT& box = Item(4, other).labelBox;
            if (other == index) {
                EXPECT_GT(bar.Count(kYellow, box), 20) << "the clicked label is not yellow";
                EXPECT_EQ(bar.Count(kWhite, box), 0);
            } else {
                EXPECT_EQ(bar.Count(kYellow, box), 0) << "item " << other << " is still yellow";
                EXPECT_GT(bar.Count(kWhite, box), 20);
            }
        }
    }
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

// Both corners of a label's box are still the label.
TEST(ItemClick, TheCornersOfTheLabelBoxCount) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    const ItemFacts& item = Item(0, 0);
    for (const POINT corner : {POINT{item.labelBox.left, item.labelBox.top},
                               POINT{item.labelBox.right - 1, item.labelBox.bottom - 1}}) {
        SCOPED_TRACE("corner " + std::to_string(corner.x) + ", " + std::to_string(corner.y));
        const POINT p = velmora.OnScreen(corner.x, corner.y);
        EXPECT_EQ(velmora.HandoversOf([&] { Click(p.x, p.y); }, Item(0, 1)), Lines{item.link});
    }
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

struct ReleaseCase {
    const char* name;
    // Where the button comes up, on the screen.
    POINT (*where)(const RunningVelmora& velmora);
    bool backOntoTheItemFirst;
    size_t events;
};

TEST(PressOnItem, ReleasedAnywhereElseRaisesNothingAndBackOnTheItemRaisesOnce) {
    const ReleaseCase cases[] = {
        {"bare ground", [](const RunningVelmora& v) { return v.OnScreen(60, 250); }, false, 0},
        {"another item", [](const RunningVelmora& v) { return v.ItemPoint(Item(0, 1)); }, false, 0},
        {"a header", [](const RunningVelmora& v) { return v.HeaderPoint(0, 1); }, false, 0},
        {"outside the window",
         [](const RunningVelmora& v) {
             RECT r{};
             GetWindowRect(v.Window(), &r);
             return POINT{r.left - 60, r.top + 200};
         },
         false, 0},
        {"back on the item", [](const RunningVelmora& v) { return v.OnScreen(60, 250); }, true, 1},
    };
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    const ItemFacts& pressed = Item(0, 0);
    const ItemFacts& other = Item(0, 1);
    for (const ReleaseCase& c : cases) {
        SCOPED_TRACE(std::string("released on ") + c.name);
        bool stayedBlue = false, othersQuiet = false, selected = true;
        const Lines handed = velmora.HandoversOf(
            [&] {
                const POINT on = velmora.ItemPoint(pressed);
                MoveMouse(on.x, on.y);
                MouseDown();
                const POINT off = c.where(velmora);
                MoveMouse(off.x, off.y);
                Settle(200);
                // Held, the pressed label keeps its look and nothing else reacts.
                const ScreenImage held = velmora.CaptureBar();
                stayedBlue = held.Count(kBlue, pressed.labelBox) > 20;
                othersQuiet = held.Count(kBlue) == held.Count(kBlue, pressed.labelBox);
                if (c.backOntoTheItemFirst) MoveMouse(on.x, on.y);
                MouseUp();
                const ScreenImage after = velmora.StillPicture();
                selected = after.Count(kYellow, pressed.labelBox) > 0;
                EXPECT_EQ(ShownFolder(after), 0) << "the release opened a folder";
            },
            other);
        EXPECT_TRUE(stayedBlue) << "the pressed label lost its look while the button was held";
        EXPECT_TRUE(othersQuiet) << "something else turned blue while the button was held";
        EXPECT_EQ(selected, c.events == 1);
        EXPECT_EQ(handed, Lines(c.events, pressed.link));
    }
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

struct Miss {
    const char* name;
    int32_t folder;
    POINT at;  // bar client coordinates
};

// Clicks near labels but outside their boxes: the picture stays as it was
// and nothing is handed over.
TEST(ItemClick, ClicksBesideOrBelowTheLabelsDoNothing) {
    const RECT first = Item(0, 0).labelBox;
    const RECT qq = Item(4, 2).labelBox;
    const Miss misses[] = {
        {"just left of the label", 0, {first.left - 1, first.top + 8}},
        {"just right of the label", 0, {first.right, first.top + 8}},
        {"just above the label", 0, {first.left + 24, first.top - 1}},
        {"just below the label", 0, {first.left + 24, first.bottom}},
        {"far out in the label's row", 0, {250, first.top + 8}},
        {"below the last item", 0, {150, Item(0, 1).labelBox.bottom + 10}},
        {"low in the item area", 0, {150, 340}},
        {"beside the short label, where a long one would be", 4, {qq.left - 2, qq.top + 8}},
        {"right of the short label", 4, {qq.right + 1, qq.top + 8}},
        {"below the last item of folder 4", 4, {150, Item(4, 3).labelBox.bottom + 4}},
    };
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    for (const Miss& miss : misses) {
        SCOPED_TRACE(miss.name);
        if (velmora.OpenFolder() != miss.folder) {
            ASSERT_TRUE(velmora.Open(miss.folder));
        }
        std::string change = "not looked at";
        const Lines handed = velmora.HandoversOf(
            [&] {
                const POINT p = velmora.OnScreen(miss.at.x, miss.at.y);
                MoveMouse(p.x, p.y);
                const ScreenImage before = velmora.SteadyPicture();
                MouseDown();
                MouseUp();
                change = PictureDifference(before, velmora.SteadyPicture(), "miss-click");
            },
            Item(miss.folder, 0));
        EXPECT_EQ(change, "") << "the click changed the bar";
        EXPECT_EQ(handed, Lines{});
    }
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

TEST(RightButton, ShowsNoMenuAndChangesNothing) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    const std::vector<HWND> windows = velmora.WindowsButTooltips();
    const ScreenImage before = velmora.StillPicture();
    const POINT targets[] = {velmora.ItemPoint(Item(0, 0)), velmora.HeaderPoint(0, 0), velmora.HeaderPoint(0, 3),
                             velmora.OnScreen(60, 250)};
    const Lines handed = velmora.HandoversOf(
        [&] {
            for (const POINT p : targets) {
                MoveMouse(p.x, p.y);
                MouseDown(Button::Right);
                EXPECT_FALSE(WaitUntil([&] { return velmora.WindowsButTooltips() != windows; }, 500))
                    << "a window came up on the right press at " << p.x << ", " << p.y;
                MouseUp(Button::Right);
                EXPECT_FALSE(WaitUntil([&] { return velmora.WindowsButTooltips() != windows; }, 700))
                    << "a window came up on the right release at " << p.x << ", " << p.y;
            }
            EXPECT_EQ(PictureDifference(before, velmora.StillPicture(), "right-button"), "")
                << "the right button changed the bar";
        },
        Item(0, 1));
    EXPECT_EQ(handed, Lines{});
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

TEST(KeysAndWheel, DoNothingToTheBar) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    // A selected item is what a key would most likely open, if keys did anything.
    const ItemFacts& selected = Item(0, 0);
    ClearHandovers();
    velmora.Click(selected);
    ASSERT_EQ(WaitForHandovers(1), Lines{selected.link});
    ASSERT_EQ(FocusOf(velmora.Window()), velmora.Bar());
    const ScreenImage before = velmora.StillPicture();
    ASSERT_GT(before.Count(kYellow, selected.labelBox), 0);

    const Lines handed = velmora.HandoversOf(
        [&] {
            for (WORD key : std::initializer_list<WORD>{VK_RETURN, VK_SPACE, VK_DOWN, VK_UP, VK_RIGHT, VK_LEFT, VK_HOME, VK_END, VK_NEXT,
                             VK_PRIOR, VK_DELETE, VK_F2, static_cast<WORD>('A')}) {
                PressKey(key);
            }
            for (const POINT p : {velmora.OnScreen(60, 250), velmora.ItemPoint(Item(0, 1)), velmora.HeaderPoint(0, 2)}) {
                for (int delta : {-WHEEL_DELTA, -WHEEL_DELTA, WHEEL_DELTA, WHEEL_DELTA, WHEEL_DELTA}) {
                    Wheel(p.x, p.y, delta);
                }
            }
            EXPECT_EQ(PictureDifference(before, velmora.StillPicture(), "keys-and-wheel"), "")
                << "a key or the wheel changed the bar";
            EXPECT_EQ(FocusOf(velmora.Window()), velmora.Bar());
        },
        Item(0, 1));
    EXPECT_EQ(handed, Lines{});
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

TEST(Headers, ClickOnTheOpenFoldersHeaderChangesNothing) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    for (const auto& [folder, index] : std::vector<std::pair<int32_t, int32_t>>{{0, 1}, {4, 2}}) {
        SCOPED_TRACE("folder " + std::to_string(folder));
        if (velmora.OpenFolder() != folder) {
            ASSERT_TRUE(velmora.Open(folder));
        }
        // With an item selected: the click must keep the selection too.
        ClearHandovers();
        velmora.Click(Item(folder, index));
        ASSERT_EQ(WaitForHandovers(1).size(), 1u);
        const ScreenImage before = velmora.StillPicture();
        ASSERT_GT(before.Count(kYellow, Item(folder, index).labelBox), 0);
        std::string change = "not looked at";
        const Lines handed = velmora.HandoversOf(
            [&] {
                const POINT header = velmora.HeaderPoint(folder, folder);
                Click(header.x, header.y);
                change = PictureDifference(before, velmora.StillPicture(), "open-header-click");
            },
            Item(folder, 0));
        EXPECT_EQ(change, "") << "the click on the open folder's header changed the bar";
        EXPECT_EQ(handed, Lines{});
    }
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

namespace {

// Captures the bar as fast as the screen allows from now until folder
// `folder` shows still, and returns the top of header 1 in every frame.
std::vector<int> WatchSlide(const RunningVelmora& velmora, int32_t folder) {
    std::vector<int> header1Tops;
    const ULONGLONG end = GetTickCount64() + 5000;
    while (GetTickCount64() < end) {
        const ScreenImage bar = velmora.CaptureBar();
        const std::vector<int> tops = HeaderTops(bar);
        header1Tops.push_back(tops.size() > 1 ? tops[1] : -1);
        if (ShownFolder(bar) == folder) break;
    }
    return header1Tops;
}

}  // namespace

TEST(Headers, OpeningFolderFiveSlidesThroughThirtyPixelSteps) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    const int from = HeaderRect(0, 1).top;
    const int to = HeaderRect(5, 1).top;
    const POINT header = velmora.HeaderPoint(0, 5);
    MoveMouse(header.x, header.y);
    MouseDown();
    MouseUp();
    const std::vector<int> tops = WatchSlide(velmora, 5);
    ASSERT_FALSE(tops.empty());
    EXPECT_EQ(tops.back(), to) << "folder 5 did not end up open";

    std::set<int> between;
    for (int top : tops) {
        if (top > to && top < from) between.insert(top);
        EXPECT_TRUE(top == to || top == from || (top > to && top < from && (from - top) % 30 == 0))
            << "header 1 seen at " << top << ", not a 30-pixel step from " << from;
    }
    EXPECT_TRUE(std::is_sorted(tops.rbegin(), tops.rend())) << "the headers moved back during the slide";
    EXPECT_GE(between.size(), 3u) << "the slide was not seen on the screen, only " << between.size()
                                  << " positions in between";
    std::string seen;
    for (int top : between) seen += std::to_string(top) + " ";
    RecordProperty("header1_positions_seen", seen);
    ExpectFolderLooksRight(velmora.StillPicture(), 5);
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

TEST(Headers, AfterOpeningAnotherFolderAndComingBackNoLabelIsYellow) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    velmora.Click(Item(0, 0));
    ASSERT_TRUE(WaitUntil([&] { return velmora.CaptureBar().Count(kYellow, Item(0, 0).labelBox) > 0; }, 3000));
    ASSERT_TRUE(velmora.Open(1));
    ASSERT_TRUE(velmora.Open(0));
    ExpectFolderLooksRight(velmora.StillPicture(), 0);
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

TEST(Pointer, HandOverHeadersArrowElsewhere) {
    const CursorImage hand = RenderCursor(LoadCursorW(nullptr, IDC_HAND));
    const CursorImage arrow = RenderCursor(LoadCursorW(nullptr, IDC_ARROW));
    ASSERT_FALSE(hand.IsEmpty());
    ASSERT_FALSE(arrow.IsEmpty());
    ASSERT_NE(hand, arrow) << "the comparison cannot tell the two pointers apart";

    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    struct Spot {
        std::string name;
        POINT at;
        bool overHeader;
    };
    std::vector<Spot> spots;
    for (int32_t f = 0; f < kFolderCount; ++f) spots.push_back({"header " + std::to_string(f), velmora.HeaderPoint(0, f), true});
    const RECT header1 = HeaderRect(0, 1);
    spots.push_back({"first row of header 1", velmora.OnScreen(150, header1.top), true});
    spots.push_back({"last row of header 1", velmora.OnScreen(150, header1.bottom - 1), true});
    spots.push_back({"item (0, 0)", velmora.ItemPoint(Item(0, 0)), false});
    spots.push_back({"item (0, 1)", velmora.ItemPoint(Item(0, 1)), false});
    spots.push_back({"just above header 1", velmora.OnScreen(150, header1.top - 1), false});
    spots.push_back({"bare ground", velmora.OnScreen(60, 250), false});
    for (const Spot& spot : spots) {
        SCOPED_TRACE(spot.name);
        MoveMouse(spot.at.x, spot.at.y);
        const CursorImage& expected = spot.overHeader ? hand : arrow;
        CursorImage shown;
        // The probe may be answered before the move has been handled.
        const bool matched = WaitUntil(
            [&] {
                shown = CursorShownBy(velmora.Bar());
                return shown == expected;
            },
            3000);
        ASSERT_FALSE(shown.IsEmpty()) << "the cursor probe got no answer";
        EXPECT_TRUE(matched) << (spot.overHeader ? "not the hand" : "not the arrow")
                             << (shown == hand ? " (it is the hand)" : shown == arrow ? " (it is the arrow)" : "");
    }
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

TEST(Tooltip, ShowsTheLabelNearThePointerAfterARestAndGoesWhenThePointerMoves) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    struct Spot {
        POINT at;
        std::u16string_view tip;
    };
    const Spot spots[] = {
        {velmora.ItemPoint(Item(0, 0)), Item(0, 0).label},
        {velmora.ItemPoint(Item(0, 1)), Item(0, 1).label},
        {velmora.HeaderPoint(0, 0), kFolderLabels[0]},
        {velmora.HeaderPoint(0, 3), kFolderLabels[3]},
    };
    const POINT ground = velmora.OnScreen(60, 250);
    for (const Spot& spot : spots) {
        const std::wstring expected = Wide(spot.tip);
        SCOPED_TRACE(Narrow(expected));
        MoveMouse(ground.x, ground.y);
        ASSERT_TRUE(WaitUntil([&] { return velmora.ShowingTooltip() == nullptr; }, 3000));
        MoveMouse(spot.at.x, spot.at.y);
        HWND tip = nullptr;
        EXPECT_TRUE(WaitUntil(
            [&] {
                tip = velmora.ShowingTooltip();
                return tip && TooltipText(tip) == expected;
            },
            5000))
            << "no tooltip with the label, shown: " << (tip ? Narrow(TooltipText(tip)) : "none");
        if (!tip) continue;
        RECT r{};
        GetWindowRect(tip, &r);
        const int dx = spot.at.x < r.left ? r.left - spot.at.x : spot.at.x > r.right ? spot.at.x - r.right : 0;
        const int dy = spot.at.y < r.top ? r.top - spot.at.y : spot.at.y > r.bottom ? spot.at.y - r.bottom : 0;
        EXPECT_LE(std::max(dx, dy), 48) << "the tooltip is far from the pointer";
        // Something is written on it.
        const ScreenImage shown = ScreenImage::Capture(r);
        EXPECT_LT(shown.Count(shown.At(1, 1)), shown.Width() * shown.Height() - 20);
        MoveMouse(ground.x, ground.y);
        EXPECT_TRUE(WaitUntil([&] { return velmora.ShowingTooltip() == nullptr; }, 3000))
            << "the tooltip stayed after the pointer moved away";
    }
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

// The tooltip control watches the pointer leave its own window on the bar's
// thread, and a thread has one such watch: the bar must still see the pointer
// go once a tooltip has shown.
TEST(Tooltip, AfterATooltipShowedTheHighlightStillGoesWhenThePointerLeaves) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    const ScreenImage still = velmora.StillPicture();
    const POINT spots[] = {velmora.HeaderPoint(0, 3), velmora.ItemPoint(Item(0, 1)), velmora.HeaderPoint(0, 0)};
    for (const POINT& spot : spots) {
        SCOPED_TRACE("pointer at " + std::to_string(spot.x) + "," + std::to_string(spot.y));
        MoveMouse(spot.x, spot.y);
        EXPECT_TRUE(WaitUntil([&] { return velmora.ShowingTooltip() != nullptr; }, 5000)) << "no tooltip showed";
        EXPECT_EQ(PictureDifference(still, velmora.StillPicture(), "left-after-tooltip"), "");
    }
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

namespace {

// Waits until a slide is seen under way; false if it never is.
bool WaitForSlideUnderWay(const RunningVelmora& velmora) {
    return WaitUntil(
        [&] {
            const ScreenImage bar = velmora.CaptureBar();
            return ShownFolder(bar) < 0 && HeaderTops(bar).size() == kFolderCount;
        },
        3000);
}

}  // namespace

TEST(Slide, EscapeDuringASlideEndsTheProcessWithZero) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    const POINT header = velmora.HeaderPoint(0, 5);
    Click(header.x, header.y);
    ASSERT_TRUE(WaitForSlideUnderWay(velmora));
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

struct SlideInterruption {
    const char* name;
    int32_t slideTo;
    // The header clicked during the slide, where it lies on the screen at that
    // moment is read from the picture; -1: wherever folder 1's header is then.
    int32_t clickFolder;
    int32_t expectedEnd;  // -1: whichever folder the click happened to hit
};

class HeaderClickDuringSlide : public testing::TestWithParam<SlideInterruption> {};

TEST_P(HeaderClickDuringSlide, EndsInTheSamePictureAsOpeningThatFolderDirectly) {
    const SlideInterruption& c = GetParam();
    ScreenImage interrupted;
    {
        RunningVelmora velmora;
        ASSERT_TRUE(velmora.Ok());
        const POINT header = velmora.HeaderPoint(0, c.slideTo);
        Click(header.x, header.y);
        ASSERT_TRUE(WaitForSlideUnderWay(velmora));
        POINT target{};
        if (c.clickFolder >= 0) {
            // Headers outside the sliding stretch stay where they were.
            target = velmora.HeaderPoint(0, c.clickFolder);
        } else {
            const std::vector<int> tops = HeaderTops(velmora.CaptureBar());
            ASSERT_GT(tops.size(), 1u);
            target = velmora.OnScreen(150, tops[1] + kHeaderHeight / 2);
        }
        ClickNow(target.x, target.y);
        interrupted = velmora.StillPicture();
        EXPECT_EQ(velmora.CloseWithEscape(), 0u);
    }
    const int32_t end = ShownFolder(interrupted);
    ASSERT_GE(end, 0) << "the bar did not come to rest in the layout of any folder";
    if (c.expectedEnd >= 0) {
        EXPECT_EQ(end, c.expectedEnd);
    }
    RecordProperty("ended_with_folder", end);

    RunningVelmora fresh;
    ASSERT_TRUE(fresh.Ok());
    if (end != 0) {
        ASSERT_TRUE(fresh.Open(end));
    }
    EXPECT_EQ(PictureDifference(fresh.StillPicture(), interrupted, std::string("slide-interrupted-") + c.name), "")
        << "the interrupted bar differs from folder " << end << " opened directly";
    EXPECT_EQ(fresh.CloseWithEscape(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Slide, HeaderClickDuringSlide,
    testing::Values(SlideInterruption{"back_to_0", 5, 0, 0}, SlideInterruption{"on_to_5", 3, 5, 5},
                    SlideInterruption{"moving_header", 5, -1, -1}),
    [](const testing::TestParamInfo<SlideInterruption>& info) { return std::string(info.param.name); });
