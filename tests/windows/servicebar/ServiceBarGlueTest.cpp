// Drives the real ServiceBar window in-process under Wine: messages in,
// handler calls and rendered pixels out.
#include "servicebar/ServiceBar.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Call { int32_t folder; int32_t item; };
std::vector<Call> g_calls;
int g_contextMenus = 0;
void Record(int32_t folder, int32_t item) { g_calls.push_back({folder, item}); }

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CONTEXTMENU) ++g_contextMenus;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Pump(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (GetTickCount64() < end);
}

struct Rgb { int r, g, b; };

class Picture {
public:
    explicit Picture(HWND bar) {
        RECT rc; GetClientRect(bar, &rc);
        m_w = rc.right; m_h = rc.bottom;
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = m_w;
        bi.bmiHeader.biHeight = -m_h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, dib);
        SendMessageW(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        GdiFlush();
        const auto* p = static_cast<const uint8_t*>(bits);
        m_px.assign(p, p + static_cast<size_t>(m_w) * m_h * 4);
        SelectObject(dc, old);
        DeleteObject(dib);
        DeleteDC(dc);
    }
    Rgb At(int x, int y) const {
        const size_t i = (static_cast<size_t>(y) * m_w + x) * 4;
        return {m_px[i + 2], m_px[i + 1], m_px[i]};
    }
    int Count(Rgb c, RECT r) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const Rgb p = At(x, y);
                n += p.r == c.r && p.g == c.g && p.b == c.b;
            }
        return n;
    }
    int Count(Rgb c) const { return Count(c, RECT{0, 0, m_w, m_h}); }

private:
    int m_w = 0, m_h = 0;
    std::vector<uint8_t> m_px;
};

bool Is(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
constexpr Rgb kGrey{128, 128, 128}, kWhite{255, 255, 255}, kBlue{0, 0, 255}, kYellow{255, 255, 0}, kBorder{0, 60, 115};

class Glue : public ::testing::Test {
protected:
    void SetUp() override {
        g_calls.clear();
        g_contextMenus = 0;
        WNDCLASSW wc{};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"GlueParent";
        RegisterClassW(&wc);
        m_parent = CreateWindowExW(0, L"GlueParent", L"p", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                                   0, 0, 400, 600, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(m_parent);
        m_bar = ServiceBar::Create(m_parent, 0, 0, 300, 485, 1);
        ASSERT_TRUE(m_bar);
        m_bar->BindItemClick(&Record);
        ShowWindow(m_bar->Hwnd(), SW_SHOWNA);
        Pump(50);
    }
    void TearDown() override {
        if (m_parent) DestroyWindow(m_parent);
        m_bar.reset();
        Pump(30);
    }
    LPARAM At(POINT p) const { return MAKELPARAM(p.x, p.y); }
    void Send(UINT msg, POINT p, WPARAM keys = 0) { SendMessageW(m_bar->Hwnd(), msg, keys, At(p)); }
    void Click(POINT p) { Send(WM_LBUTTONDOWN, p, MK_LBUTTON); Send(WM_LBUTTONUP, p); }
    POINT LabelCentre(int item) const {
        const auto& b = m_bar->State().View().items.at(static_cast<size_t>(item)).label;
        return POINT{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    }
    RECT LabelRect(int item) const {
        const auto& b = m_bar->State().View().items.at(static_cast<size_t>(item)).label;
        return RECT{b.left, b.top, b.right, b.bottom};
    }
    POINT HeaderCentre(int folder) const {
        const auto& h = m_bar->State().View().headers.at(static_cast<size_t>(folder));
        return POINT{(h.left + h.right) / 2, (h.top + h.bottom) / 2};
    }
    void WaitForSlideToLand() {
        for (int i = 0; i < 500 && m_bar->State().Slide(); ++i) Pump(10);
        ASSERT_FALSE(m_bar->State().Slide());
    }

    HWND m_parent = nullptr;
    std::unique_ptr<ServiceBar> m_bar;
};

TEST_F(Glue, FirstFrameShowsFolderZeroInWhiteOnGrey) {
    const Picture pic(m_bar->Hwnd());
    EXPECT_TRUE(Is(pic.At(150, 200), kGrey));
    EXPECT_TRUE(Is(pic.At(0, 200), kBorder));
    EXPECT_TRUE(Is(pic.At(299, 200), kBorder));
    EXPECT_FALSE(Is(pic.At(150, 369), kBorder)) << "no bottom line unless the last folder is open";
    EXPECT_TRUE(Is(pic.At(0, 0), kGrey)) << "header corner shows the background";
    EXPECT_TRUE(Is(pic.At(299, 484), kGrey));
    EXPECT_GT(pic.Count(kWhite, LabelRect(0)), 10);
    EXPECT_GT(pic.Count(kWhite, LabelRect(1)), 10);
    EXPECT_EQ(pic.Count(kYellow), 0);
    EXPECT_EQ(pic.Count(kBlue), 0);
    // The label box is the measured text, centred.
    const RECT r = LabelRect(0);
    EXPECT_EQ(r.left + r.right, 300);
    std::printf("folder 0 labels: [%ld,%ld,%ld,%ld] [%ld,%ld,%ld,%ld]\n", r.left, r.top, r.right, r.bottom,
                LabelRect(1).left, LabelRect(1).top, LabelRect(1).right, LabelRect(1).bottom);
}

TEST_F(Glue, ClassHasDoubleClicks) {
    EXPECT_TRUE(GetClassLongPtrW(m_bar->Hwnd(), GCL_STYLE) & CS_DBLCLKS);
}

TEST_F(Glue, ClickIsDeliveredThroughTheEventLoopAndTurnsTheLabelYellow) {
    Send(WM_LBUTTONDOWN, LabelCentre(0), MK_LBUTTON);
    EXPECT_EQ(GetCapture(), m_bar->Hwnd());
    EXPECT_EQ(GetFocus(), m_bar->Hwnd());
    EXPECT_GT(Picture(m_bar->Hwnd()).Count(kBlue, LabelRect(0)), 10);
    Send(WM_LBUTTONUP, LabelCentre(0));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(g_calls.empty()) << "nothing is called from inside mouse handling";
    Pump(50);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].folder, 0);
    EXPECT_EQ(g_calls[0].item, 0);
    const Picture pic(m_bar->Hwnd());
    EXPECT_GT(pic.Count(kYellow, LabelRect(0)), 10);
    EXPECT_EQ(pic.Count(kWhite, LabelRect(0)), 0);
}

TEST_F(Glue, DoubleClickGivesOneCall) {
    const POINT p = LabelCentre(1);
    Send(WM_LBUTTONDOWN, p, MK_LBUTTON);
    Send(WM_LBUTTONUP, p);
    Send(WM_LBUTTONDBLCLK, p, MK_LBUTTON);
    Send(WM_LBUTTONUP, p);
    Pump(50);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].item, 1);
}

TEST_F(Glue, PressMovedOffAndReleasedElsewhereGivesNothing) {
    Send(WM_LBUTTONDOWN, LabelCentre(0), MK_LBUTTON);
    Send(WM_MOUSEMOVE, POINT{150, 250}, MK_LBUTTON);
    Send(WM_LBUTTONUP, POINT{150, 250});
    Pump(50);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(Glue, RightButtonShowsNoMenu) {
    Send(WM_RBUTTONDOWN, LabelCentre(0), MK_RBUTTON);
    Send(WM_RBUTTONUP, LabelCentre(0));
    Pump(50);
    EXPECT_EQ(g_contextMenus, 0);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(Glue, HeaderClickSlidesByTimerToFolderFive) {
    Click(HeaderCentre(5));
    ASSERT_TRUE(m_bar->State().Slide());
    EXPECT_EQ(m_bar->State().OpenFolder(), 0);
    WaitForSlideToLand();
    EXPECT_EQ(m_bar->State().OpenFolder(), 5);
    const Picture pic(m_bar->Hwnd());
    EXPECT_TRUE(Is(pic.At(150, 484), kBorder)) << "bottom line with the last folder open";
    EXPECT_TRUE(g_calls.empty());
    Click(LabelCentre(0));
    Pump(50);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].folder, 5);
    EXPECT_EQ(g_calls[0].item, 0);
}

TEST_F(Glue, FolderFourItemsAndTheirBoxes) {
    Click(HeaderCentre(4));
    WaitForSlideToLand();
    for (int i = 0; i < 4; ++i) {
        const RECT r = LabelRect(i);
        std::printf("folder 4 item %d: [%ld,%ld,%ld,%ld]\n", i, r.left, r.top, r.right, r.bottom);
        Click(LabelCentre(i));
    }
    Pump(50);
    ASSERT_EQ(g_calls.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(g_calls[static_cast<size_t>(i)].item, i);
}

TEST_F(Glue, DestroyDuringASlideIsSafe) {
    Click(HeaderCentre(5));
    ASSERT_TRUE(m_bar->State().Slide());
    Pump(30);
    DestroyWindow(m_parent);
    m_parent = nullptr;
    EXPECT_EQ(m_bar->Hwnd(), nullptr);
    Pump(100);
}

TEST_F(Glue, DeletingTheBarDestroysItsWindow) {
    HWND hwnd = m_bar->Hwnd();
    Click(HeaderCentre(3));
    m_bar.reset();
    EXPECT_FALSE(IsWindow(hwnd));
    Pump(100);
}


void RealMove(HWND bar, POINT client) {
    POINT p = client;
    ClientToScreen(bar, &p);
    SetCursorPos(p.x, p.y);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((static_cast<long long>(p.x) * 65536 + 32768) / GetSystemMetrics(SM_CXSCREEN));
    in.mi.dy = static_cast<LONG>((static_cast<long long>(p.y) * 65536 + 32768) / GetSystemMetrics(SM_CYSCREEN));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    Pump(150);
}

TEST_F(Glue, HandOverHeadersArrowOverItems) {
    SetForegroundWindow(m_parent);
    Pump(100);
    RealMove(m_bar->Hwnd(), HeaderCentre(2));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(m_bar->State().Hot(), servicebar::HeaderElement(2));
    RealMove(m_bar->Hwnd(), LabelCentre(0));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(m_bar->State().Hot(), servicebar::ItemElement(0));
    RealMove(m_bar->Hwnd(), POINT{150, 250});
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(Glue, HeaderClickDuringASlideEndsConsistent) {
    Click(HeaderCentre(5));
    Pump(30);
    Click(HeaderCentre(0));
    WaitForSlideToLand();
    EXPECT_EQ(m_bar->State().OpenFolder(), 0);
    const Picture pic(m_bar->Hwnd());
    EXPECT_GT(pic.Count(kWhite, LabelRect(0)), 10);
}

}  // namespace
