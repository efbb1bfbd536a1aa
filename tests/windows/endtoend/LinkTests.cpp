// What clicks on the real program's bar hand to the desktop under Wine: every
// item its own link, exactly; repeats and double-clicks; headers nothing; and
// a desktop without a handler for a kind of link.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "tests/windows/endtoend/HandlerOverride.h"
#include "tests/windows/endtoend/RunningVelmora.h"

using namespace harness;
using namespace endtoend;

using Lines = std::vector<std::string>;

// One running copy serves all items: what a click hands over does not depend
// on what was clicked before, and each test opens the folder it needs.
class EveryItem : public testing::TestWithParam<ItemFacts> {
protected:
    static void SetUpTestSuite() { s_velmora = std::make_unique<RunningVelmora>(); }
    static void TearDownTestSuite() {
        if (s_velmora && s_velmora->Ok()) {
            EXPECT_EQ(s_velmora->CloseWithEscape(), 0u);
        }
        s_velmora.reset();
    }
    static std::unique_ptr<RunningVelmora> s_velmora;
};

std::unique_ptr<RunningVelmora> EveryItem::s_velmora;

TEST_P(EveryItem, ReachesTheDesktopWithExactlyItsLink) {
    ASSERT_TRUE(s_velmora && s_velmora->Ok());
    RunningVelmora& velmora = *s_velmora;
    ASSERT_TRUE(velmora.Process().IsRunning()) << "the shared copy has ended";
    const ItemFacts& item = GetParam();
    if (velmora.OpenFolder() != item.folder) {
        ASSERT_TRUE(velmora.Open(item.folder));
    }
    EXPECT_EQ(velmora.HandoversOf([&] { velmora.Click(item); }, BarrierFor(item)), Lines{item.link});
}

INSTANTIATE_TEST_SUITE_P(Links, EveryItem, testing::ValuesIn(kItems),
                         [](const testing::TestParamInfo<ItemFacts>& info) {
                             return "Folder" + std::to_string(info.param.folder) + "Item" +
                                    std::to_string(info.param.item);
                         });

TEST(Links, ClicksOnHeadersNeverHandAnythingOver) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    const Lines handed = velmora.HandoversOf(
        [&] {
            // Every header, in no particular order, the open one too.
            for (int32_t folder : {5, 0, 3, 4, 1, 2}) {
                EXPECT_TRUE(velmora.Open(folder)) << "folder " << folder << " did not open";
            }
            const POINT open = velmora.HeaderPoint(2, 2);
            Click(open.x, open.y);
            DoubleClick(open.x, open.y);
        },
        Item(2, 0));
    EXPECT_EQ(handed, Lines{});
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

TEST(Links, TheSameItemTwiceHandsOverTwiceADoubleClickOnce) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    for (const auto& [folder, index] : std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {4, 3}, {5, 1}}) {
        const ItemFacts& item = Item(folder, index);
        SCOPED_TRACE("item (" + std::to_string(folder) + ", " + std::to_string(index) + ")");
        if (velmora.OpenFolder() != folder) {
            ASSERT_TRUE(velmora.Open(folder));
        }
        EXPECT_EQ(velmora.HandoversOf(
                      [&] {
                          velmora.Click(item);
                          // Apart by more than the double-click time: two clicks.
                          Settle(GetDoubleClickTime() + 100);
                          velmora.Click(item);
                      },
                      BarrierFor(item)),
                  Lines(2, item.link));
        const POINT p = velmora.ItemPoint(item);
        EXPECT_EQ(velmora.HandoversOf([&] { DoubleClick(p.x, p.y); }, BarrierFor(item)), Lines{item.link});
    }
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

namespace {

BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM param) {
    if (IsWindowVisible(hwnd)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> VisibleTopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(&CollectVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string Describe(HWND hwnd) {
    wchar_t title[256] = {};
    GetWindowTextW(hwnd, title, 256);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return "class \"" + Narrow(ClassOf(hwnd)) + "\", title \"" + Narrow(title) + "\", process " + std::to_string(pid);
}

struct Unhandled {
    const char* name;
    std::vector<std::wstring> schemes;  // whose handlers are taken away
    std::vector<ItemFacts> clicked;     // all in one folder
};

class NoHandler : public testing::TestWithParam<Unhandled> {};

}  // namespace

TEST_P(NoHandler, TheProgramShowsNothingOfItsOwnAndKeepsWorking) {
    const Unhandled& c = GetParam();
    std::vector<HandlerOverride> removed;
    for (const std::wstring& scheme : c.schemes) {
        removed.push_back(HandlerOverride::Removed(scheme));
        ASSERT_TRUE(removed.back().Ok()) << "could not take the " << Narrow(scheme) << " handler away";
    }
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    const int32_t folder = c.clicked.front().folder;
    if (folder != 0) {
        ASSERT_TRUE(velmora.Open(folder));
    }
    const std::vector<HWND> ownBefore = velmora.WindowsButTooltips();
    const std::vector<HWND> allBefore = VisibleTopLevelWindows();

    ClearHandovers();
    for (const ItemFacts& item : c.clicked) {
        velmora.Click(item);
        Settle(GetDoubleClickTime() + 100);
    }
    // The window still answers the pointer, which it can only do once it is
    // done with the clicks: a label the pointer comes onto turns blue.
    const ItemFacts& hovered = c.clicked.front();
    const POINT ground = velmora.OnScreen(60, 250);
    MoveMouse(ground.x, ground.y);
    const POINT on = velmora.ItemPoint(hovered);
    MoveMouse(on.x, on.y);
    EXPECT_TRUE(WaitUntil([&] { return velmora.CaptureBar().Count(kBlue, hovered.labelBox) > 20; }, 5000))
        << "the window stopped answering";
    // Give the desktop time to show whatever it shows.
    Settle(1500);
    EXPECT_EQ(ReadHandovers(), Lines{}) << "a link reached a handler that is not there";

    const std::vector<HWND> ownAfter = velmora.WindowsButTooltips();
    for (HWND w : ownAfter) {
        if (std::find(ownBefore.begin(), ownBefore.end(), w) == ownBefore.end()) {
            ADD_FAILURE() << "the program showed a window: " << Describe(w);
        }
    }
    std::string desktop;
    for (HWND w : VisibleTopLevelWindows()) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != velmora.Process().Id() && std::find(allBefore.begin(), allBefore.end(), w) == allBefore.end()) {
            desktop += Describe(w) + "; ";
        }
    }
    // Not the program's business; kept for the record.
    std::cout << "the desktop showed: " << (desktop.empty() ? "nothing" : desktop) << "\n";
    RecordProperty("desktop_showed", desktop.empty() ? "nothing" : desktop);
    ScreenImage::Capture(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)})
        .SavePng(Widen(std::string("no-handler-") + c.name + ".png"));

    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Links, NoHandler,
    testing::Values(Unhandled{"http", {L"http"}, {Item(5, 0)}}, Unhandled{"mailto", {L"mailto"}, {Item(5, 1)}},
                    Unhandled{"both", {L"http", L"mailto"}, {Item(5, 0), Item(5, 1)}}),
    [](const testing::TestParamInfo<Unhandled>& info) { return std::string(info.param.name); });

// With one kind of link unhandled, the other kind still reaches its handler,
// after the one that went nowhere.
TEST(Links, AnUnhandledLinkDoesNotStopTheNextOne) {
    const HandlerOverride http = HandlerOverride::Removed(L"http");
    ASSERT_TRUE(http.Ok());
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    ASSERT_TRUE(velmora.Open(5));
    EXPECT_EQ(velmora.HandoversOf([&] { velmora.Click(Item(5, 0)); }, Item(5, 1)), Lines{});
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}
