// A long, seeded stream of random real input over the program's window and
// the desktop around it: moves, clicks, double-clicks, drags, right clicks,
// wheel turns, keys (none that closes the window) and header clicks in the
// middle of slides. Afterwards the program must answer at once, show one
// open folder as it always does, have handed over only its own links, each
// for an item click that was completed on that item, and end with 0 on Esc.
//
// The seeds are fixed so a failure can be replayed; VELMORA_RANDOM_SEEDS
// (comma-separated) runs others.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "servicebar/ServiceBar.h"
#include "tests/windows/endtoend/MessageWatch.h"
#include "tests/windows/endtoend/RunningVelmora.h"

using namespace harness;
using namespace endtoend;

namespace {

constexpr int kSteps = 2000;
// How far around the window the stream reaches onto the desktop.
constexpr int kAround = 40;
// Ground in every folder's item area, left of every label: a click there
// changes nothing.
constexpr POINT kBareGround{60, 250};

std::vector<uint32_t> Seeds() {
    std::vector<uint32_t> seeds;
    if (const char* text = std::getenv("VELMORA_RANDOM_SEEDS")) {
        std::stringstream in(text);
        std::string one;
        while (std::getline(in, one, ',')) {
            if (!one.empty()) seeds.push_back(static_cast<uint32_t>(std::strtoul(one.c_str(), nullptr, 10)));
        }
    }
    if (seeds.empty()) seeds = {20261211u, 7u};
    return seeds;
}

// Keys that must change nothing: no Esc, no Alt (Alt+F4, Alt+Space and the
// menu key F10 would reach the window's frame, not the bar).
constexpr WORD kKeys[] = {'A', 'Q', 'Z', '1', '9', VK_SPACE, VK_RETURN, VK_TAB, VK_BACK, VK_DELETE, VK_INSERT,
                          VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_PRIOR, VK_NEXT, VK_F1, VK_F2,
                          VK_F5, VK_F12};

class Stream {
public:
    Stream(RunningVelmora& velmora, uint32_t seed) : m_velmora(velmora), m_random(seed) {
        GetWindowRect(velmora.Window(), &m_window);
        RECT client{};
        GetClientRect(velmora.Window(), &client);
        m_clientSize = SIZE{client.right, client.bottom};
    }

    void Step() {
        const int kind = Uniform(0, 99);
        if (kind < 22) {
            Move(Pick());
        } else if (kind < 42) {
            const POINT p = Pick();
            Left(true, p);
            Pause(0, 80);
            Left(false, Near(p));
        } else if (kind < 48) {
            const POINT p = Pick();
            for (int i = 0; i < 2; ++i) {
                Left(true, p);
                Left(false, p);
                Pause(0, 40);
            }
        } else if (kind < 56) {
            Left(true, Pick());
            for (int i = Uniform(1, 5); i > 0; --i) {
                Move(Pick());
                Pause(0, 30);
            }
            Left(false, Pick());
        } else if (kind < 62) {
            const POINT p = Pick();
            Mouse(MOUSEEVENTF_RIGHTDOWN, p);
            Pause(0, 60);
            Mouse(MOUSEEVENTF_RIGHTUP, Near(p));
        } else if (kind < 68) {
            Mouse(MOUSEEVENTF_WHEEL, Pick(), static_cast<DWORD>(WHEEL_DELTA * (Uniform(0, 1) ? 1 : -1) *
                                                                 Uniform(1, 3)));
        } else if (kind < 78) {
            Key();
        } else if (kind < 92) {
            // A header, then another one while the first slide may still run.
            ClickAt(HeaderPoint());
            Pause(0, 250);
            ClickAt(HeaderPoint());
        } else if (kind < 96) {
            // A header, and once its folder may be open, one of its items.
            ClickAt(HeaderPoint());
            Pause(200, 400);
            ClickAt(LabelPoint(m_guessOpen));
        } else {
            Pause(50, 400);
        }
        Pause(0, 30);
    }

    // Lets go of everything the stream may hold.
    void ReleaseAll() {
        Mouse(MOUSEEVENTF_LEFTUP, Outside());
        Mouse(MOUSEEVENTF_RIGHTUP, Outside());
        SendKeyNow(VK_SHIFT, true);
        SendKeyNow(VK_CONTROL, true);
    }

    int InputEvents() const { return m_inputs; }
    // The last steps, for the failure message.
    std::string Recent() const {
        std::string text;
        const size_t from = m_log.size() > 40 ? m_log.size() - 40 : 0;
        for (size_t i = from; i < m_log.size(); ++i) text += m_log[i] + "\n";
        return text;
    }

private:
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_random); }
    void Pause(int lo, int hi) {
        const int ms = Uniform(lo, hi);
        if (ms > 0) Sleep(static_cast<DWORD>(ms));
    }

    POINT Pick() {
        const int where = Uniform(0, 99);
        if (where < 35) {
            // On or just around a label, mostly of the folder that is likely
            // open (only its labels answer), else of any folder.
            return LabelPoint(Uniform(0, 2) ? m_guessOpen : Uniform(0, kFolderCount - 1));
        }
        if (where < 60) return HeaderPoint();
        if (where < 90) {
            return m_velmora.OnScreen(Uniform(0, m_clientSize.cx - 1), Uniform(0, m_clientSize.cy - 1));
        }
        return Outside();
    }

    // On or just around one of `folder`'s labels, where they lie while it is open.
    POINT LabelPoint(int32_t folder) {
        const ItemFacts& item = Item(folder, Uniform(0, ItemCount(folder) - 1));
        const RECT& b = item.labelBox;
        return m_velmora.OnScreen(Uniform(b.left - 2, b.right + 1), Uniform(b.top - 2, b.bottom + 1));
    }

    // Somewhere in a header's place, mostly while the folder likely open is
    // (a click there then likely opens that header's folder), else for any.
    POINT HeaderPoint() {
        const bool aimed = Uniform(0, 3) != 0;
        const int32_t folder = Uniform(0, kFolderCount - 1);
        const RECT r = HeaderRect(aimed ? m_guessOpen : Uniform(0, kFolderCount - 1), folder);
        if (aimed) m_guessOpen = folder;
        return m_velmora.OnScreen(Uniform(r.left, std::min<int>(r.right, m_clientSize.cx) - 1),
                                  Uniform(r.top, r.bottom - 1));
    }

    // The desktop just around the window; never the window's own frame.
    POINT Outside() {
        switch (Uniform(0, 3)) {
        case 0: return POINT{Uniform(m_window.left - kAround, m_window.right + kAround), m_window.top - Uniform(1, kAround)};
        case 1: return POINT{Uniform(m_window.left - kAround, m_window.right + kAround), m_window.bottom + Uniform(0, kAround - 1)};
        case 2: return POINT{m_window.left - Uniform(1, kAround), Uniform(m_window.top, m_window.bottom)};
        default: return POINT{m_window.right + Uniform(0, kAround - 1), Uniform(m_window.top, m_window.bottom)};
        }
    }

    // The same point or one a few pixels away, as a hand that moves a little.
    POINT Near(POINT p) {
        if (Uniform(0, 2) == 0) return p;
        return POINT{p.x + Uniform(-3, 3), p.y + Uniform(-3, 3)};
    }

    void Mouse(DWORD flags, POINT p, DWORD data = 0) {
        SendMouseNow(flags, p.x, p.y, data);
        ++m_inputs;
        std::ostringstream line;
        line << "mouse 0x" << std::hex << flags << std::dec << " at " << p.x - m_window.left << ","
             << p.y - m_window.top << " (window)";
        if (data) line << " data " << static_cast<int>(data);
        m_log.push_back(line.str());
    }
    void Move(POINT p) { Mouse(0, p); }
    void Left(bool down, POINT p) { Mouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP, p); }
    void ClickAt(POINT p) {
        Left(true, p);
        Left(false, p);
    }

    void Key() {
        const WORD vk = kKeys[Uniform(0, static_cast<int>(std::size(kKeys)) - 1)];
        const int modifier = Uniform(0, 3);
        const WORD held = modifier == 1 ? VK_SHIFT : modifier == 2 ? VK_CONTROL : 0;
        if (held) SendKeyNow(held, false);
        SendKeyNow(vk, false);
        SendKeyNow(vk, true);
        if (held) SendKeyNow(held, true);
        m_inputs += held ? 4 : 2;
        m_log.push_back("key " + std::to_string(vk) + (held ? " with " + std::to_string(held) : std::string()));
    }

    RunningVelmora& m_velmora;
    std::mt19937 m_random;
    RECT m_window{};
    SIZE m_clientSize{};
    int m_inputs = 0;
    // The folder the stream's own header clicks have most likely opened; a
    // guess only, since a press may be dragged off or land during a slide.
    int32_t m_guessOpen = 0;
    std::vector<std::string> m_log;
};

bool Inside(const RECT& r, int32_t x, int32_t y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

bool IsItem(int32_t folder, int32_t item) {
    return folder >= 0 && folder < kFolderCount && item >= 0 && item < ItemCount(folder);
}

// Every item-click event the bar raised, checked against the left-button
// messages it received before it: the last release, and the press before
// that (a plain press, not the second of a double-click), both on the
// clicked item's label. Returns what is wrong, one line each.
std::string ClicksNotCompletedOnTheirItem(const std::vector<WatchedMessage>& messages) {
    std::string wrong;
    for (size_t k = 0; k < messages.size(); ++k) {
        const WatchedMessage& click = messages[k];
        if (click.message != ServiceBar::kItemClickMessage) continue;
        const std::string which = "item click (" + std::to_string(click.a) + ", " + std::to_string(click.b) + ")";
        if (!IsItem(click.a, click.b)) {
            wrong += which + " names no item\n";
            continue;
        }
        const RECT& box = Item(click.a, click.b).labelBox;
        size_t up = k;
        while (up > 0 && messages[up - 1].message != WM_LBUTTONUP) --up;
        size_t down = up > 0 ? up - 1 : 0;
        while (down > 0 && messages[down - 1].message != WM_LBUTTONDOWN && messages[down - 1].message != WM_LBUTTONDBLCLK) {
            --down;
        }
        if (up == 0 || down == 0) {
            wrong += which + " with no press and release before it\n";
            continue;
        }
        const WatchedMessage& release = messages[up - 1];
        const WatchedMessage& press = messages[down - 1];
        if (press.message != WM_LBUTTONDOWN) wrong += which + " raised by the second press of a double-click\n";
        if (!Inside(box, press.a, press.b) || !Inside(box, release.a, release.b)) {
            wrong += which + " pressed at " + std::to_string(press.a) + "," + std::to_string(press.b) +
                     " and released at " + std::to_string(release.a) + "," + std::to_string(release.b) +
                     ", not both on its label\n";
        }
    }
    return wrong;
}

// Differences between two pictures of the bar outside the given boxes.
int DifferencesOutside(const ScreenImage& a, const ScreenImage& b, const std::vector<RECT>& boxes) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
    int count = 0;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            const bool excluded = std::any_of(boxes.begin(), boxes.end(), [&](const RECT& r) { return Inside(r, x, y); });
            if (!excluded && a.At(x, y) != b.At(x, y)) ++count;
        }
    }
    return count;
}

class RandomInput : public testing::TestWithParam<uint32_t> {};

}  // namespace

TEST_P(RandomInput, LeavesTheProgramAnsweringConsistentAndOnlyItsOwnLinksHandedOver) {
    const uint32_t seed = GetParam();
    SCOPED_TRACE("seed " + std::to_string(seed) + " (replay with VELMORA_RANDOM_SEEDS=" + std::to_string(seed) + ")");
    RecordProperty("seed", std::to_string(seed));
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());

    // How each folder looks, open and still, before anything random happens.
    std::map<int32_t, ScreenImage> still;
    for (int32_t folder : {1, 2, 3, 4, 5, 0}) {
        ASSERT_TRUE(velmora.Open(folder));
        still[folder] = velmora.StillPicture();
    }

    MessageWatch watch(velmora.Bar());
    ASSERT_TRUE(watch.Ok()) << "could not watch the bar's messages";
    ClearHandovers();
    Stream stream(velmora, seed);
    for (int step = 0; step < kSteps && velmora.Process().IsRunning(); ++step) stream.Step();
    stream.ReleaseAll();
    RecordProperty("input_events", std::to_string(stream.InputEvents()));
    const std::string recent = "the stream's last steps:\n" + stream.Recent();
    ASSERT_TRUE(velmora.Process().IsRunning()) << "the program ended during the stream\n" << recent;
    EXPECT_GE(stream.InputEvents(), kSteps);

    DWORD_PTR ignored = 0;
    EXPECT_NE(SendMessageTimeoutW(velmora.Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored), 0)
        << "the window does not answer\n" << recent;

    // One folder open, still, looking as it did before; only its labels may
    // differ (the last one clicked keeps its selected colour).
    const ScreenImage after = velmora.StillPicture();
    const int32_t open = ShownFolder(after);
    ASSERT_NE(open, -1) << "the bar shows no open folder at rest\n" << recent;
    std::vector<RECT> labels;
    for (const ItemFacts& item : kItems) {
        if (item.folder == open) labels.push_back(item.labelBox);
    }
    EXPECT_EQ(DifferencesOutside(still[open], after, labels), 0)
        << PictureDifference(still[open], after, "random-" + std::to_string(seed)) << "\n" << recent;
    for (const RECT& label : labels) {
        EXPECT_LT(after.Count(kGrey, label), (label.right - label.left) * (label.bottom - label.top))
            << "a label of the open folder is not shown";
    }

    // Every link handed over is one of the program's, for an item click
    // completed on that item, and each such click handed over its link.
    const std::vector<WatchedMessage> messages = watch.Messages();
    std::vector<std::string> expected;
    for (const WatchedMessage& m : messages) {
        if (m.message == ServiceBar::kItemClickMessage && IsItem(m.a, m.b)) expected.push_back(Item(m.a, m.b).link);
    }
    RecordProperty("item_clicks", std::to_string(expected.size()));
    std::cout << "seed " << seed << ": " << stream.InputEvents() << " input events, " << expected.size()
              << " item clicks\n";
    EXPECT_FALSE(expected.empty()) << "the stream completed no item click: it tested little";
    EXPECT_EQ(ClicksNotCompletedOnTheirItem(messages), "");
    std::vector<std::string> handed = WaitForHandovers(expected.size(), 20000);
    Settle(1000);
    handed = ReadHandovers();
    std::sort(expected.begin(), expected.end());
    std::sort(handed.begin(), handed.end());
    EXPECT_EQ(handed, expected) << "the links handed over differ from the item clicks";

    // Away to another folder and back: exactly the picture of a fresh start.
    const int32_t other = (open + 1) % kFolderCount;
    for (const auto& [from, to] : {std::pair{open, other}, std::pair{other, open}}) {
        const POINT header = velmora.HeaderPoint(from, to);
        Click(header.x, header.y);
        ASSERT_TRUE(velmora.WaitForFolder(to)) << "folder " << to << " did not open";
    }
    EXPECT_EQ(PictureDifference(still[open], velmora.StillPicture(), "random-back-" + std::to_string(seed)), "");

    const POINT ground = velmora.OnScreen(kBareGround.x, kBareGround.y);
    Click(ground.x, ground.y);
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Stream, RandomInput, testing::ValuesIn(Seeds()),
                         [](const testing::TestParamInfo<uint32_t>& info) {
                             return "Seed" + std::to_string(info.param);
                         });
