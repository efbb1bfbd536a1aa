// Drives the real ServiceBar window in-process under Wine: messages in,
// handler calls and rendered pixels out.
#include "servicebar/ServiceBar.h"

#include "servicebar/ComRef.h"
#include "tests/windows/harness/OffScreen.h"

#include <oleacc.h>

#include <gtest/gtest.h>

#include <utility>
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
        harness::OffScreen picture(m_w, m_h);
        SendMessageW(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture.Dc()), PRF_CLIENT);
        GdiFlush();
        const auto* p = reinterpret_cast<const uint8_t*>(picture.Pixels());
        if (p) m_px.assign(p, p + static_cast<size_t>(m_w) * m_h * 4);
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

// ---- the accessible object, from inside the process ----

class ComApartment {
public:
    ComApartment() : m_ok(SUCCEEDED(OleInitialize(nullptr))) {}
    ~ComApartment() {
        if (m_ok) OleUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool Ok() const { return m_ok; }

private:
    bool m_ok;
};

VARIANT ChildVariant(long id) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

long StateOf(IAccessible* object, long id) {
    VARIANT v;
    VariantInit(&v);
    if (FAILED(object->get_accState(ChildVariant(id), &v)) || v.vt != VT_I4) return -1;
    return v.lVal;
}

servicebar::ComRef<IAccessible> ObjectOf(HWND hwnd, DWORD id) {
    servicebar::ComRef<IAccessible> object;
    AccessibleObjectFromWindow(hwnd, id, __uuidof(IAccessible), reinterpret_cast<void**>(object.Receive()));
    return object;
}

TEST_F(Glue, AccessibleObjectIsCutLooseWhenTheBarGoes) {
    ComApartment com;
    ASSERT_TRUE(com.Ok());
    servicebar::ComRef<IAccessible> object = ObjectOf(m_bar->Hwnd(), OBJID_CLIENT);
    ASSERT_TRUE(object);
    long count = 0;
    ASSERT_EQ(object->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 8);

    m_bar.reset();
    Pump(30);
    // Every call refuses, none touches the bar that is gone.
    auto refused = [](HRESULT hr) { return hr == CO_E_OBJNOTCONNECTED || hr == RPC_E_DISCONNECTED; };
    EXPECT_PRED1(refused, object->get_accChildCount(&count));
    BSTR name = nullptr;
    EXPECT_PRED1(refused, object->get_accName(ChildVariant(1), &name));
    EXPECT_EQ(name, nullptr);
    VARIANT v;
    VariantInit(&v);
    EXPECT_PRED1(refused, object->get_accState(ChildVariant(2), &v));
    EXPECT_PRED1(refused, object->accHitTest(10, 10, &v));
    EXPECT_PRED1(refused, object->accNavigate(NAVDIR_FIRSTCHILD, ChildVariant(CHILDID_SELF), &v));
    long l = 0, t = 0, w = 0, h = 0;
    EXPECT_PRED1(refused, object->accLocation(&l, &t, &w, &h, ChildVariant(1)));
    EXPECT_PRED1(refused, object->accDoDefaultAction(ChildVariant(2)));
    IDispatch* parent = nullptr;
    EXPECT_PRED1(refused, object->get_accParent(&parent));
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(Glue, OnlyTheClientObjectIsTheBarsOwn) {
    ComApartment com;
    ASSERT_TRUE(com.Ok());
    // The client id as callers pass it: as a 32-bit value, sign extended or not.
    for (LPARAM id : {static_cast<LPARAM>(OBJID_CLIENT), static_cast<LPARAM>(static_cast<DWORD>(OBJID_CLIENT))}) {
        const LRESULT answer = SendMessageW(m_bar->Hwnd(), WM_GETOBJECT, 0, id);
        ASSERT_GT(answer, 0);
        servicebar::ComRef<IAccessible> object;
        ASSERT_EQ(ObjectFromLresult(answer, __uuidof(IAccessible), 0, reinterpret_cast<void**>(object.Receive())),
                  S_OK);
        long count = 0;
        EXPECT_EQ(object->get_accChildCount(&count), S_OK);
        EXPECT_EQ(count, 8);
    }
    // Everything else is left to the system, which has no object of its own to send.
    for (LONG other : {OBJID_WINDOW, OBJID_VSCROLL, OBJID_CARET, 1L}) {
        EXPECT_EQ(SendMessageW(m_bar->Hwnd(), WM_GETOBJECT, 0, other), 0) << other;
    }
    // The client object's parent is the system's object of the bar window.
    servicebar::ComRef<IAccessible> client = ObjectOf(m_bar->Hwnd(), OBJID_CLIENT);
    ASSERT_TRUE(client);
    servicebar::ComRef<IDispatch> parent;
    EXPECT_EQ(client->get_accParent(parent.Receive()), S_OK);
    EXPECT_TRUE(parent);
}

struct Raised {
    DWORD event;
    long child;
    long state;  // read in the callback
    bool duringAction;
};
std::vector<Raised>* g_raised = nullptr;
IAccessible* g_listenedObject = nullptr;
bool g_inAction = false;

void CALLBACK RecordWinEvent(HWINEVENTHOOK, DWORD event, HWND, LONG idObject, LONG idChild, DWORD, DWORD) {
    if (!g_raised || idObject != OBJID_CLIENT) return;
    g_raised->push_back(Raised{event, idChild, StateOf(g_listenedObject, idChild), g_inAction});
}

TEST_F(Glue, WinEventsComeOnceTheStateHasChanged) {
    ComApartment com;
    ASSERT_TRUE(com.Ok());
    servicebar::ComRef<IAccessible> object = ObjectOf(m_bar->Hwnd(), OBJID_CLIENT);
    ASSERT_TRUE(object);
    std::vector<Raised> raised;
    g_raised = &raised;
    g_listenedObject = object.Get();
    // In context: the hook is called from inside NotifyWinEvent, so each
    // state read in the callback is the state at the moment the event was raised.
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_STATECHANGE, GetModuleHandleW(nullptr),
                                         &RecordWinEvent, GetCurrentProcessId(), GetCurrentThreadId(),
                                         WINEVENT_INCONTEXT);
    ASSERT_TRUE(hook);
    auto act = [&](auto action) {
        raised.clear();
        g_inAction = true;
        action();
        g_inAction = false;
        Pump(50);
    };

    // Children at start: header 1, items 2 and 3, headers 4 to 8.
    act([&] { Send(WM_MOUSEMOVE, LabelCentre(1)); });
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_TRUE(raised[0].duringAction);
    EXPECT_EQ(raised[0].event, static_cast<DWORD>(EVENT_OBJECT_STATECHANGE));
    EXPECT_EQ(raised[0].child, 3);
    EXPECT_TRUE(raised[0].state & STATE_SYSTEM_HOTTRACKED);

    act([&] { object->accDoDefaultAction(ChildVariant(2)); });
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_TRUE(raised[0].duringAction);
    EXPECT_EQ(raised[0].event, static_cast<DWORD>(EVENT_OBJECT_SELECTION));
    EXPECT_EQ(raised[0].child, 2);
    EXPECT_TRUE(raised[0].state & STATE_SYSTEM_SELECTED);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].folder, 0);
    EXPECT_EQ(g_calls[0].item, 0);

    // The pointer goes, so that no header slides under it on the way.
    act([&] { SendMessageW(m_bar->Hwnd(), WM_MOUSELEAVE, 0, 0); });
    act([&] {
        object->accDoDefaultAction(ChildVariant(8));
        WaitForSlideToLand();
    });
    // Items stop answering as the slide starts; once landed the children
    // change and both headers say where they stand.
    std::vector<std::pair<DWORD, long>> seen;
    for (const Raised& r : raised) seen.emplace_back(r.event, r.child);
    ASSERT_GE(seen.size(), 3u);
    const size_t n = seen.size();
    EXPECT_EQ(seen[n - 3], std::make_pair(static_cast<DWORD>(EVENT_OBJECT_REORDER), static_cast<long>(CHILDID_SELF)));
    EXPECT_EQ(seen[n - 2], std::make_pair(static_cast<DWORD>(EVENT_OBJECT_STATECHANGE), 1L));
    EXPECT_EQ(seen[n - 1], std::make_pair(static_cast<DWORD>(EVENT_OBJECT_STATECHANGE), 6L));
    EXPECT_TRUE(raised[n - 2].state & STATE_SYSTEM_COLLAPSED);
    EXPECT_TRUE(raised[n - 1].state & STATE_SYSTEM_EXPANDED);
    for (size_t i = 0; i + 3 < n; ++i) {
        EXPECT_EQ(raised[i].event, static_cast<DWORD>(EVENT_OBJECT_STATECHANGE));
        EXPECT_TRUE(raised[i].child == 2 || raised[i].child == 3) << raised[i].child;
    }
    long count = 0;
    object->get_accChildCount(&count);
    EXPECT_EQ(count, 8);

    UnhookWinEvent(hook);
    g_raised = nullptr;
    g_listenedObject = nullptr;
}
