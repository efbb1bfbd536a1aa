// The service bar as a screen reader meets it in the real program: its
// accessible object, obtained from this process as a reader obtains it, reads
// what the screen shows, and its default actions do what clicks do.
#include <windows.h>
#include <oleacc.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "servicebar/ComRef.h"
#include "tests/windows/endtoend/RunningVelmora.h"

using namespace harness;
using namespace endtoend;
using servicebar::ComRef;

namespace {

// What the reader hears for a header, by the bar's own wording.
const std::wstring kOpenFolderAction = L"展开";
const std::wstring kOpenItemAction = L"打开";

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

VARIANT Child(long id) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

class Bstr {
public:
    Bstr() = default;
    ~Bstr() { SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR* Receive() { return &m_text; }
    std::wstring Text() const { return m_text ? std::wstring(m_text, SysStringLen(m_text)) : std::wstring(); }

private:
    BSTR m_text = nullptr;
};

ComRef<IAccessible> BarObject(HWND bar) {
    ComRef<IAccessible> object;
    const HRESULT hr =
        AccessibleObjectFromWindow(bar, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(object.Receive()));
    EXPECT_EQ(hr, S_OK);
    return object;
}

// One child as the object describes it.
struct Seen {
    std::wstring name;
    long role = 0;
    long state = 0;
    RECT location{};  // screen coordinates
    std::wstring action;
};

Seen Read(IAccessible* object, long id) {
    Seen seen;
    const VARIANT child = Child(id);
    Bstr name;
    EXPECT_EQ(object->get_accName(child, name.Receive()), S_OK) << "child " << id;
    seen.name = name.Text();
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(object->get_accRole(child, &v), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    seen.role = v.lVal;
    VariantInit(&v);
    EXPECT_EQ(object->get_accState(child, &v), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    seen.state = v.lVal;
    long left = 0, top = 0, width = 0, height = 0;
    EXPECT_EQ(object->accLocation(&left, &top, &width, &height, child), S_OK);
    seen.location = RECT{left, top, left + width, top + height};
    Bstr action;
    object->get_accDefaultAction(child, action.Receive());
    seen.action = action.Text();
    return seen;
}

long ChildCount(IAccessible* object) {
    long count = -1;
    EXPECT_EQ(object->get_accChildCount(&count), S_OK);
    return count;
}

long StateOf(IAccessible* object, long id) {
    VARIANT v;
    VariantInit(&v);
    if (FAILED(object->get_accState(Child(id), &v)) || v.vt != VT_I4) return -1;
    return v.lVal;
}

// The id of the child named `name` that is of `role`, or 0.
long FindChild(IAccessible* object, const std::wstring& name, long role) {
    const long count = ChildCount(object);
    for (long id = 1; id <= count; ++id) {
        const Seen seen = Read(object, id);
        if (seen.name == name && seen.role == role) return id;
    }
    return 0;
}

long HeaderId(IAccessible* object, int32_t folder) {
    return FindChild(object, Wide(kFolderLabels[static_cast<size_t>(folder)]), ROLE_SYSTEM_PUSHBUTTON);
}

long ItemId(IAccessible* object, const ItemFacts& item) {
    return FindChild(object, Wide(item.label), ROLE_SYSTEM_LISTITEM);
}

RECT OnScreen(const RunningVelmora& velmora, const RECT& r) {
    const POINT a = velmora.OnScreen(r.left, r.top);
    const POINT b = velmora.OnScreen(r.right, r.bottom);
    return RECT{a.x, a.y, b.x, b.y};
}

std::string Text(const RECT& r) {
    return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// What the children must be with `open` open: the headers down to the open
// one, its items, the other headers; each where the bar shows it.
std::vector<Seen> Expected(const RunningVelmora& velmora, int32_t open) {
    RECT client{};
    GetClientRect(velmora.Bar(), &client);
    std::vector<Seen> expected;
    for (int32_t folder = 0; folder < kFolderCount; ++folder) {
        RECT header = HeaderRect(open, folder);
        // The whole header, also the part the window's edge hides.
        header.right = client.right;
        const long openness = folder == open ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
        expected.push_back(Seen{Wide(kFolderLabels[static_cast<size_t>(folder)]), ROLE_SYSTEM_PUSHBUTTON, openness,
                                OnScreen(velmora, header), folder == open ? L"" : kOpenFolderAction});
        if (folder != open) continue;
        for (const ItemFacts& item : kItems) {
            if (item.folder != open) continue;
            expected.push_back(Seen{Wide(item.label), ROLE_SYSTEM_LISTITEM, STATE_SYSTEM_SELECTABLE,
                                    OnScreen(velmora, item.labelBox), kOpenItemAction});
        }
    }
    return expected;
}

class Accessibility : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_velmora.Ok());
        m_object = BarObject(m_velmora.Bar());
        ASSERT_TRUE(m_object);
    }
    void TearDown() override {
        m_object.Reset();
        if (m_velmora.Ok()) {
            EXPECT_EQ(m_velmora.CloseWithEscape(), 0u);
        }
    }

    RunningVelmora m_velmora;
    ComRef<IAccessible> m_object;
};

TEST_F(Accessibility, ChildrenReadAsTheBarShowsThem) {
    for (int32_t open : {0, 4, 5}) {
        SCOPED_TRACE("folder " + std::to_string(open) + " open");
        if (m_velmora.OpenFolder() != open) {
            ASSERT_TRUE(m_velmora.Open(open));
        }
        const ScreenImage picture = m_velmora.StillPicture();
        RECT bar{};
        GetWindowRect(m_velmora.Bar(), &bar);

        const std::vector<Seen> expected = Expected(m_velmora, open);
        ASSERT_EQ(ChildCount(m_object.Get()), static_cast<long>(expected.size()));
        VARIANT walked;
        VariantInit(&walked);
        ASSERT_EQ(m_object->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &walked), S_OK);
        for (size_t i = 0; i < expected.size(); ++i) {
            const long id = static_cast<long>(i) + 1;
            const Seen seen = Read(m_object.Get(), id);
            const Seen& want = expected[i];
            SCOPED_TRACE("child " + std::to_string(id));
            EXPECT_EQ(seen.name, want.name);
            EXPECT_EQ(seen.role, want.role);
            EXPECT_EQ(seen.state, want.state);
            EXPECT_TRUE(Same(seen.location, want.location)) << Text(seen.location) << " instead of " << Text(want.location);
            EXPECT_EQ(seen.action, want.action);

            // Walking from child to child meets them in the same order.
            EXPECT_EQ(walked.vt, VT_I4);
            EXPECT_EQ(walked.lVal, id);
            VariantInit(&walked);
            m_object->accNavigate(NAVDIR_NEXT, Child(id), &walked);

            // The mouse's hit test: the middle of each child is that child.
            const POINT middle{(seen.location.left + seen.location.right) / 2,
                               (seen.location.top + seen.location.bottom) / 2};
            VARIANT hit;
            VariantInit(&hit);
            EXPECT_EQ(m_object->accHitTest(middle.x, middle.y, &hit), S_OK);
            EXPECT_EQ(hit.vt, VT_I4);
            EXPECT_EQ(hit.lVal, id);

            if (seen.role == ROLE_SYSTEM_LISTITEM) {
                // The screen shows the white label inside the location, and
                // nothing but grey ground in the rows just above and below.
                const RECT inPicture{seen.location.left - bar.left, seen.location.top - bar.top,
                                     seen.location.right - bar.left, seen.location.bottom - bar.top};
                EXPECT_GT(picture.Count(kWhite, inPicture), 20);
                for (const RECT band : {RECT{inPicture.left, inPicture.top - 3, inPicture.right, inPicture.top},
                                        RECT{inPicture.left, inPicture.bottom, inPicture.right, inPicture.bottom + 3}}) {
                    const int area = (band.right - band.left) * (band.bottom - band.top);
                    EXPECT_EQ(picture.Count(kGrey, band), area) << "beside " << Text(seen.location);
                }
            }
        }
        EXPECT_EQ(walked.vt, VT_EMPTY) << "a child after the last";

        // Bare ground of the item area is the bar itself; a point outside it is nothing of the bar.
        const RECT area = ItemArea(open);
        const POINT ground = m_velmora.OnScreen(20, area.bottom - 10);
        VARIANT hit;
        VariantInit(&hit);
        EXPECT_EQ(m_object->accHitTest(ground.x, ground.y, &hit), S_OK);
        EXPECT_EQ(hit.vt, VT_I4);
        EXPECT_EQ(hit.lVal, CHILDID_SELF);
        VariantInit(&hit);
        EXPECT_EQ(m_object->accHitTest(bar.left - 20, bar.top + 20, &hit), S_FALSE);
        EXPECT_EQ(hit.vt, VT_EMPTY);
    }
}

TEST_F(Accessibility, StatesFollowThePointerAndTheSelection) {
    const ItemFacts& item = Item(0, 1);
    const long id = ItemId(m_object.Get(), item);
    ASSERT_NE(id, 0);
    const POINT p = m_velmora.ItemPoint(item);
    MoveMouse(p.x, p.y);
    EXPECT_TRUE(WaitUntil([&] { return StateOf(m_object.Get(), id) & STATE_SYSTEM_HOTTRACKED; }, 3000));
    // The label shows blue exactly while the state says hot-tracked.
    EXPECT_GT(m_velmora.CaptureBar().Count(kBlue, item.labelBox), 20);

    const long header = HeaderId(m_object.Get(), 2);
    const POINT h = m_velmora.HeaderPoint(0, 2);
    MoveMouse(h.x, h.y);
    EXPECT_TRUE(WaitUntil([&] { return StateOf(m_object.Get(), header) & STATE_SYSTEM_HOTTRACKED; }, 3000));
    EXPECT_FALSE(StateOf(m_object.Get(), id) & STATE_SYSTEM_HOTTRACKED);

    ClearHandovers();
    m_velmora.Click(item);
    EXPECT_EQ(WaitForHandovers(1), std::vector<std::string>{item.link});
    EXPECT_TRUE(WaitUntil([&] { return StateOf(m_object.Get(), id) & STATE_SYSTEM_SELECTED; }, 3000));
    VARIANT selection;
    VariantInit(&selection);
    EXPECT_EQ(m_object->get_accSelection(&selection), S_OK);
    EXPECT_EQ(selection.vt, VT_I4);
    EXPECT_EQ(selection.lVal, id);
    m_velmora.StillPicture();
    EXPECT_EQ(StateOf(m_object.Get(), id), STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_SELECTED);
    EXPECT_GT(m_velmora.CaptureBar().Count(kYellow, item.labelBox), 20);
}

TEST_F(Accessibility, DefaultActionsOpenEveryFolderAndEveryLink) {
    for (int32_t folder : {4, 1, 5, 2, 0, 3}) {
        SCOPED_TRACE("folder " + std::to_string(folder));
        const long header = HeaderId(m_object.Get(), folder);
        ASSERT_NE(header, 0);
        ASSERT_EQ(m_object->accDoDefaultAction(Child(header)), S_OK);
        ASSERT_TRUE(m_velmora.WaitForFolder(folder)) << "the screen never showed the folder open";
        EXPECT_TRUE(StateOf(m_object.Get(), HeaderId(m_object.Get(), folder)) & STATE_SYSTEM_EXPANDED);

        for (const ItemFacts& item : kItems) {
            if (item.folder != folder) continue;
            SCOPED_TRACE("item " + std::to_string(item.item));
            const long id = ItemId(m_object.Get(), item);
            ASSERT_NE(id, 0);
            ClearHandovers();
            ASSERT_EQ(m_object->accDoDefaultAction(Child(id)), S_OK);
            EXPECT_EQ(WaitForHandovers(1), std::vector<std::string>{item.link});
            EXPECT_TRUE(WaitUntil([&] { return m_velmora.CaptureBar().Count(kYellow, item.labelBox) > 20; }, 3000))
                << "the label did not turn yellow";
            EXPECT_TRUE(StateOf(m_object.Get(), id) & STATE_SYSTEM_SELECTED);
            // One action, one link: nothing more comes.
            Settle(300);
            EXPECT_EQ(ReadHandovers().size(), 1u);
        }
    }
}

TEST_F(Accessibility, TheOpenFoldersHeaderHasNoActionAndChangesNothing) {
    const ScreenImage before = m_velmora.StillPicture();
    const long header = HeaderId(m_object.Get(), 0);
    ASSERT_NE(header, 0);
    EXPECT_EQ(m_object->accDoDefaultAction(Child(header)), DISP_E_MEMBERNOTFOUND);
    Settle(300);
    EXPECT_EQ(PictureDifference(before, m_velmora.StillPicture(), "open-header-action"), "");
    EXPECT_TRUE(StateOf(m_object.Get(), header) & STATE_SYSTEM_EXPANDED);

    // Ids that name no child are refused, not guessed at.
    const long count = ChildCount(m_object.Get());
    for (long id : {count + 1, -7L}) {
        EXPECT_EQ(m_object->accDoDefaultAction(Child(id)), E_INVALIDARG) << id;
        Bstr name;
        EXPECT_EQ(m_object->get_accName(Child(id), name.Receive()), E_INVALIDARG) << id;
    }
}

// Whether process `processId` has loaded the DLL named `name` (lower case).
bool HasLoaded(DWORD processId, const std::wstring& name) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    EXPECT_NE(snapshot, INVALID_HANDLE_VALUE);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    bool found = false;
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !found; more = Module32NextW(snapshot, &module)) {
        std::wstring loaded = module.szModule;
        CharLowerW(loaded.data());
        found = loaded == name;
    }
    CloseHandle(snapshot);
    return found;
}

TEST(AccessibilityCost, NothingOfItIsLoadedUntilAReaderAsks) {
    RunningVelmora velmora;
    ASSERT_TRUE(velmora.Ok());
    // Shown, hovered and clicked: still no accessibility library in the process.
    const ItemFacts& item = Item(0, 0);
    ClearHandovers();
    velmora.Click(item);
    EXPECT_EQ(WaitForHandovers(1), std::vector<std::string>{item.link});
    EXPECT_FALSE(HasLoaded(velmora.Process().Id(), L"oleacc.dll"));

    ComRef<IAccessible> object = BarObject(velmora.Bar());
    ASSERT_TRUE(object);
    EXPECT_TRUE(HasLoaded(velmora.Process().Id(), L"oleacc.dll"));
    object.Reset();
    EXPECT_EQ(velmora.CloseWithEscape(), 0u);
}

// ---- WinEvents ----

struct Heard {
    DWORD event = 0;
    long idObject = 0;
    long idChild = 0;
    // Read through the event's own object and child the moment it arrived.
    std::wstring name;
    long state = -1;
    long childCount = -1;
};

std::vector<Heard>* g_heard = nullptr;

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG idObject, LONG idChild, DWORD, DWORD) {
    if (!g_heard || idObject != OBJID_CLIENT) return;
    // Noted before asking: asking waits on the program, and events that come
    // in meanwhile are handed to this callback from inside that wait.
    const size_t at = g_heard->size();
    g_heard->push_back(Heard{event, idObject, idChild, {}, -1, -1});
    ComRef<IAccessible> object;
    VARIANT child;
    VariantInit(&child);
    if (FAILED(AccessibleObjectFromEvent(hwnd, idObject, idChild, object.Receive(), &child)) || !object) return;
    Bstr name;
    object->get_accName(child, name.Receive());
    const long state = StateOf(object.Get(), child.vt == VT_I4 ? child.lVal : CHILDID_SELF);
    long count = -1;
    object->get_accChildCount(&count);
    Heard& heard = (*g_heard)[at];
    heard.name = name.Text();
    heard.state = state;
    heard.childCount = count;
}

class Listening {
public:
    explicit Listening(DWORD processId) {
        g_heard = &m_heard;
        m_hook = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_STATECHANGE, nullptr, &OnWinEvent, processId, 0,
                                 WINEVENT_OUTOFCONTEXT);
    }
    ~Listening() {
        if (m_hook) UnhookWinEvent(m_hook);
        g_heard = nullptr;
    }
    Listening(const Listening&) = delete;
    Listening& operator=(const Listening&) = delete;
    bool Ok() const { return m_hook != nullptr; }

    // Waits for an event of kind `event` about the child named `name`; returns it, or nothing.
    const Heard* WaitFor(DWORD event, const std::wstring& name, DWORD timeoutMs = 5000) {
        const Heard* found = nullptr;
        WaitUntil(
            [&] {
                for (size_t i = m_seen; i < m_heard.size(); ++i) {
                    if (m_heard[i].event == event && m_heard[i].name == name) {
                        found = &m_heard[i];
                        m_seen = i + 1;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return found;
    }
    void Skip() { m_seen = m_heard.size(); }
    // Everything heard, for a failure message.
    std::string Log() const {
        std::string log;
        for (const Heard& h : m_heard) {
            log += std::to_string(h.event) + " child " + std::to_string(h.idChild) + " state " +
                   std::to_string(h.state) + " " + Narrow(h.name) + "\n";
        }
        return log;
    }

private:
    std::vector<Heard> m_heard;
    size_t m_seen = 0;
    HWINEVENTHOOK m_hook = nullptr;
};

TEST_F(Accessibility, EventsArriveAfterTheStateTheyDescribe) {
    Listening listening(m_velmora.Process().Id());
    ASSERT_TRUE(listening.Ok());

    // Hover on, then off.
    const ItemFacts& spare = Item(0, 1);
    const std::wstring spareName = Wide(spare.label);
    const POINT p = m_velmora.ItemPoint(spare);
    MoveMouse(p.x, p.y);
    const Heard* hot = listening.WaitFor(EVENT_OBJECT_STATECHANGE, spareName);
    ASSERT_NE(hot, nullptr) << "no state change for the hovered item";
    EXPECT_TRUE(hot->state & STATE_SYSTEM_HOTTRACKED);
    m_velmora.Park();
    const Heard* cold = listening.WaitFor(EVENT_OBJECT_STATECHANGE, spareName);
    ASSERT_NE(cold, nullptr) << "no state change as the pointer left";
    EXPECT_FALSE(cold->state & STATE_SYSTEM_HOTTRACKED);

    // Selection by the default action.
    const ItemFacts& start = Item(0, 0);
    ClearHandovers();
    ASSERT_EQ(m_object->accDoDefaultAction(Child(ItemId(m_object.Get(), start))), S_OK);
    const Heard* selected = listening.WaitFor(EVENT_OBJECT_SELECTION, Wide(start.label));
    ASSERT_NE(selected, nullptr) << "no selection event";
    EXPECT_TRUE(selected->state & STATE_SYSTEM_SELECTED);
    EXPECT_EQ(WaitForHandovers(1), std::vector<std::string>{start.link});

    // Another folder opens: the children change, then both headers tell their new state.
    listening.Skip();
    ASSERT_EQ(m_object->accDoDefaultAction(Child(HeaderId(m_object.Get(), 3))), S_OK);
    const Heard* reorder = listening.WaitFor(EVENT_OBJECT_REORDER, L"", 5000);
    ASSERT_NE(reorder, nullptr) << "no reorder event";
    EXPECT_EQ(reorder->idChild, CHILDID_SELF);
    EXPECT_EQ(reorder->childCount, kFolderCount + ItemCount(3));
    const Heard* collapsed = listening.WaitFor(EVENT_OBJECT_STATECHANGE, Wide(kFolderLabels[0]));
    ASSERT_NE(collapsed, nullptr) << listening.Log();
    EXPECT_TRUE(collapsed->state & STATE_SYSTEM_COLLAPSED);
    const Heard* expanded = listening.WaitFor(EVENT_OBJECT_STATECHANGE, Wide(kFolderLabels[3]));
    ASSERT_NE(expanded, nullptr) << listening.Log();
    EXPECT_TRUE(expanded->state & STATE_SYSTEM_EXPANDED);
    ASSERT_TRUE(m_velmora.WaitForFolder(3));
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // A reader's thread: COM in a single-threaded apartment, messages pumped
    // while waiting (harness::WaitUntil), which also delivers the WinEvents.
    if (FAILED(OleInitialize(nullptr))) return 1;
    const int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
