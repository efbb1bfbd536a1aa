#include "tests/windows/endtoend/RunningVelmora.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace harness;

namespace endtoend {

namespace {
// A column left of every label and right of the item area's edge line: only
// headers and bare ground ever show there.
constexpr int kHeaderProbeX = 20;
constexpr DWORD kStillForMs = 200;
constexpr wchar_t kTooltipClass[] = L"tooltips_class32";
// A corner of the desktop, far from the window, which opens in the middle.
constexpr POINT kPointerHome{8, 8};
}  // namespace

RunningVelmora::RunningVelmora(const std::wstring& exe) {
    // Not where an earlier test left it: a window that opens under the pointer
    // starts with a highlight that depends on how fast it reads its first move.
    MoveMouse(kPointerHome.x, kPointerHome.y);
    m_program = Program::Start(exe);
    if (!m_program) return;
    m_window = m_program->WaitForWindow();
    if (!m_window) return;
    m_bar = FindWindowExW(m_window, nullptr, L"VelmoraServiceBar", nullptr);
}

POINT RunningVelmora::OnScreen(int x, int y) const {
    POINT p{x, y};
    ClientToScreen(m_bar, &p);
    return p;
}

POINT RunningVelmora::ItemPoint(const ItemFacts& item) const {
    const RECT& box = item.labelBox;
    return OnScreen((box.left + box.right) / 2, (box.top + box.bottom) / 2);
}

POINT RunningVelmora::HeaderPoint(int32_t open, int32_t folder) const {
    const RECT r = HeaderRect(open, folder);
    return OnScreen((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

ScreenImage RunningVelmora::CaptureBar() const {
    RECT bar{};
    GetWindowRect(m_bar, &bar);
    RECT client{};
    GetClientRect(m_window, &client);
    MapWindowPoints(m_window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    RECT shown{};
    IntersectRect(&shown, &bar, &client);
    return ScreenImage::Capture(shown);
}

void RunningVelmora::Park() const {
    RECT r{};
    GetWindowRect(m_window, &r);
    const int x = r.left >= 80 ? r.left - 60 : r.right + 60;
    MoveMouse(x, r.top + 200);
}

ScreenImage RunningVelmora::StillPicture() {
    Park();
    // Wine looks for the pointer having left a window only on a timer of the
    // hover time, so a highlight can outlast a short stillness by that much.
    UINT hoverMs = 400;
    SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &hoverMs, 0);
    Settle(hoverMs + 100);
    return SteadyPicture();
}

ScreenImage RunningVelmora::SteadyPicture() const {
    ScreenImage last = CaptureBar();
    ULONGLONG since = GetTickCount64();
    WaitUntil(
        [&] {
            ScreenImage now = CaptureBar();
            if (!now.SameAs(last) || ShowingTooltip()) {
                last = std::move(now);
                since = GetTickCount64();
                return false;
            }
            return GetTickCount64() - since >= kStillForMs;
        },
        8000);
    return last;
}

bool RunningVelmora::Open(int32_t folder) {
    harness::Click(HeaderPoint(m_open, folder).x, HeaderPoint(m_open, folder).y);
    m_open = folder;
    return WaitForFolder(folder);
}

bool RunningVelmora::WaitForFolder(int32_t folder, DWORD timeoutMs) const {
    return WaitUntil([&] { return ShownFolder(CaptureBar()) == folder; }, timeoutMs);
}

void RunningVelmora::Click(const ItemFacts& item) const {
    const POINT p = ItemPoint(item);
    harness::Click(p.x, p.y);
}

std::vector<HWND> RunningVelmora::WindowsButTooltips() const {
    std::vector<HWND> windows = TopLevelWindowsOf(m_program->Id());
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [](HWND w) { return ClassOf(w) == kTooltipClass; }),
                  windows.end());
    return windows;
}

HWND RunningVelmora::ShowingTooltip() const {
    for (HWND w : TopLevelWindowsOf(m_program->Id())) {
        if (ClassOf(w) == kTooltipClass) return w;
    }
    return nullptr;
}

std::vector<std::string> RunningVelmora::HandoversOf(const std::function<void()>& action, const ItemFacts& barrier) {
    ClearHandovers();
    action();
    // Far enough from the action's last click that the two cannot make a double-click.
    Settle(GetDoubleClickTime() + 100);
    Click(barrier);
    std::vector<std::string> lines;
    const bool arrived = WaitUntil(
        [&] {
            lines = ReadHandovers();
            return std::find(lines.begin(), lines.end(), barrier.link) != lines.end();
        },
        10000);
    // The handler starts one process per link; give a late writer a moment.
    Settle(300);
    lines = ReadHandovers();
    const auto at = std::find(lines.begin(), lines.end(), barrier.link);
    if (!arrived || at == lines.end()) {
        ADD_FAILURE() << "the barrier click on item (" << barrier.folder << ", " << barrier.item
                      << ") never reached the desktop";
        return lines;
    }
    lines.erase(at);
    return lines;
}

DWORD RunningVelmora::CloseWithEscape() {
    PressKey(VK_ESCAPE);
    DWORD code = 0;
    if (!m_program->WaitForExit(10000, &code)) return 0x10000;
    return code;
}

std::vector<int> HeaderTops(const ScreenImage& bar) {
    // The bottom edge line, drawn while the last folder is open, is ground too.
    auto ground = [&](int y) { return bar.At(kHeaderProbeX, y) == kGrey || bar.At(kHeaderProbeX, y) == kEdge; };
    std::vector<int> tops;
    int y = 0;
    while (y < bar.Height()) {
        if (ground(y)) {
            ++y;
            continue;
        }
        const int start = y;
        while (y < bar.Height() && !ground(y)) ++y;
        // Headers stacked on each other make one run.
        for (int top = start; top + kHeaderHeight <= y; top += kHeaderHeight) tops.push_back(top);
        if ((y - start) % kHeaderHeight != 0) tops.push_back(-1);
    }
    return tops;
}

int32_t ShownFolder(const ScreenImage& bar) {
    const std::vector<int> tops = HeaderTops(bar);
    for (int32_t open = 0; open < kFolderCount; ++open) {
        std::vector<int> expected;
        for (int32_t f = 0; f < kFolderCount; ++f) expected.push_back(HeaderRect(open, f).top);
        if (tops == expected) return open;
    }
    return -1;
}

std::string PictureDifference(const ScreenImage& expected, const ScreenImage& actual, const std::string& name) {
    if (expected.SameAs(actual)) return {};
    expected.SavePng(Widen(name + "-expected.png"));
    actual.SavePng(Widen(name + "-actual.png"));
    if (expected.Width() != actual.Width() || expected.Height() != actual.Height()) return "the sizes differ";
    int count = 0;
    RECT box{expected.Width(), expected.Height(), -1, -1};
    for (int y = 0; y < expected.Height(); ++y) {
        for (int x = 0; x < expected.Width(); ++x) {
            if (expected.At(x, y) == actual.At(x, y)) continue;
            ++count;
            box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                       std::max<LONG>(box.bottom, y + 1)};
        }
    }
    return std::to_string(count) + " pixels differ within [" + std::to_string(box.left) + ", " +
           std::to_string(box.top) + ", " + std::to_string(box.right) + ", " + std::to_string(box.bottom) +
           "); pictures saved as " + name + "-*.png";
}

}  // namespace endtoend
