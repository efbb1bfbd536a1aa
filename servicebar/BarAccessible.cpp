#include "servicebar/BarAccessible.h"

#include "servicebar/AccessibleTree.h"
#include "servicebar/ServiceBar.h"

#include <string_view>
#include <vector>

namespace servicebar {

namespace {

void SetEmpty(VARIANT* v) {
    v->vt = VT_EMPTY;
    v->lVal = 0;
}

void SetLong(VARIANT* v, long value) {
    v->vt = VT_I4;
    v->lVal = value;
}

HRESULT ToBstr(std::u16string_view text, BSTR* out) {
    if (text.empty()) return S_FALSE;
    // BSTRs are UTF-16 like the labels: the units are copied as they are.
    *out = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

long StateFlags(const AccessibleStates& s) {
    long flags = 0;
    if (s.expanded) flags |= STATE_SYSTEM_EXPANDED;
    if (s.collapsed) flags |= STATE_SYSTEM_COLLAPSED;
    if (s.selectable) flags |= STATE_SYSTEM_SELECTABLE;
    if (s.selected) flags |= STATE_SYSTEM_SELECTED;
    if (s.hotTracked) flags |= STATE_SYSTEM_HOTTRACKED;
    if (s.pressed) flags |= STATE_SYSTEM_PRESSED;
    if (s.unavailable) flags |= STATE_SYSTEM_UNAVAILABLE;
    if (s.offscreen) flags |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
    return flags;
}

long RoleOf(AccessibleRole role) {
    return role == AccessibleRole::PushButton ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_LISTITEM;
}

}  // namespace

BarAccessible* BarAccessible::Create(ServiceBar& bar) {
    ComRef<IAccessible> standard;
    CreateStdAccessibleObject(bar.Hwnd(), OBJID_CLIENT, __uuidof(IAccessible),
                              reinterpret_cast<void**>(standard.Receive()));
    return new BarAccessible(bar, std::move(standard));
}

BarAccessible::BarAccessible(ServiceBar& bar, ComRef<IAccessible> standard)
    : m_bar(&bar), m_standard(std::move(standard)) {}

void BarAccessible::Disconnect() {
    m_bar = nullptr;
    m_standard.Reset();
    // Clients in other processes learn at once that the object is gone.
    CoDisconnectObject(static_cast<IAccessible*>(this), 0);
}

HRESULT BarAccessible::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG BarAccessible::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }

ULONG BarAccessible::Release() {
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
}

HRESULT BarAccessible::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT BarAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT BarAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT BarAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

HRESULT BarAccessible::Resolve(const VARIANT& child, long* id) const {
    if (!m_bar) return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4) return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF) {
        *id = CHILDID_SELF;
        return S_OK;
    }
    const std::vector<AccessibleChild> children = AccessibleChildren(m_bar->State());
    if (!AccessibleChildAt(children, child.lVal)) return E_INVALIDARG;
    *id = child.lVal;
    return S_OK;
}

HRESULT BarAccessible::get_accParent(IDispatch** parent) {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!m_bar) return CO_E_OBJNOTCONNECTED;
    return m_standard ? m_standard->get_accParent(parent) : S_FALSE;
}

HRESULT BarAccessible::get_accChildCount(long* count) {
    if (!count) return E_POINTER;
    *count = 0;
    if (!m_bar) return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(AccessibleChildren(m_bar->State()).size());
    return S_OK;
}

HRESULT BarAccessible::get_accChild(VARIANT child, IDispatch** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    long id = 0;
    const HRESULT hr = Resolve(child, &id);
    if (FAILED(hr)) return hr;
    // Headers and items are simple elements of this object, not objects of their own.
    return id == CHILDID_SELF ? E_INVALIDARG : S_FALSE;
}

HRESULT BarAccessible::get_accName(VARIANT child, BSTR* name) {
    if (!name) return E_POINTER;
    *name = nullptr;
    long id = 0;
    const HRESULT hr = Resolve(child, &id);
    if (FAILED(hr)) return hr;
    if (id == CHILDID_SELF) return m_standard ? m_standard->get_accName(child, name) : S_FALSE;
    const std::vector<AccessibleChild> children = AccessibleChildren(m_bar->State());
    return ToBstr(AccessibleChildAt(children, id)->name, name);
}

HRESULT BarAccessible::get_accValue(VARIANT child, BSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    long id = 0;
    const HRESULT hr = Resolve(child, &id);
    if (FAILED(hr)) return hr;
    if (id == CHILDID_SELF && m_standard) return m_standard->get_accValue(child, value);
    return S_FALSE;
}

HRESULT BarAccessible::get_accDescription(VARIANT child, BSTR* description) {
    if (!description) return E_POINTER;
    *description = nullptr;
    long id = 0;
    const HRESULT hr = Resolve(child, &id);
    if (FAILED(hr)) return hr;
    if (id == CHILDID_SELF && m_standard) return m_standard->get_accDescription(child, description);
    return S_FALSE;
}

HRESULT BarAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!role) return E_POINTER;
    SetEmpty(role);
    long id = 0;
    const HRESULT hr = Resolve(child, &id);
    if (FAILED(hr)) return hr;
    if (id == CHILDID_SELF) {
        if (m_standard) return m_standard->get_accRole(child, role);
        SetLong(role, ROLE_SYSTEM_CLIENT);
        return S_OK;
    }
    const std::vector<AccessibleChild> children = AccessibleChildren(m_bar->State());
    SetLong(role, RoleOf(AccessibleChildAt(children, id)->role));
    return S_OK;
}

HRESULT BarAccessible::get_accState(VARIANT child, VARIANT* state) {
    if (!state) return E_POINTER;
    SetEmpty(state);
    long id = 0;
    const HRESULT hr = Resolve(child, &id);
    if (FAILED(hr)) return hr;
    if (id == CHILDID_SELF) {
        if (m_standard) return m_standard->get_accState(child, state);
        SetLong(state, 0);
        return S_OK;
    }
    const std::vector<AccessibleChild> children = AccessibleChildren(m_bar->State());
    SetLong(state, StateFlags(AccessibleChildAt(children, id)->states));
    return S_OK;
}

HRESULT BarAccessible::get_accHelp(VARIANT child, BSTR* help) {
    if (!help) return E_POINTER;
    *help = nullptr;
    long id = 0;
    const HRESULT hr = Resolve(child, &id);
    return FAILED(hr) ? hr : S_FALSE;
}

HRESULT BarAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    if (!file || !topic) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    long id = 0;
    const HRESULT hr = Resolve(child, &id);
    return FAILED(hr) ? hr : S_FALSE;
}

HRESULT BarAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    if (!shortcut) return E_POINTER;
    *shortcut = nullptr;
    long id = 0;
    const HRESULT hr = Resolve(child, &id);
    // The bar reacts to no key.
    return FAILED(hr) ? hr : S_FALSE;
}

HRESULT BarAccessible::get_accFocus(VARIANT* focus) {
    if (!focus) return E_POINTER;
    SetEmpty(focus);
    if (!m_bar) return CO_E_OBJNOTCONNECTED;
    // Only the bar as a whole takes the focus; no header or item does.
    return m_standard ? m_standard->get_accFocus(focus) : S_FALSE;
}

HRESULT BarAccessible::get_accSelection(VARIANT* selection) {
    if (!selection) return E_POINTER;
    SetEmpty(selection);
    if (!m_bar) return CO_E_OBJNOTCONNECTED;
    const BarState& state = m_bar->State();
    if (state.SelectedItem() < 0) return S_FALSE;
    const long id = AccessibleChildId(AccessibleChildren(state), ItemElement(state.SelectedItem()));
    if (id == kAccessibleSelf) return S_FALSE;
    SetLong(selection, id);
    return S_OK;
}

HRESULT BarAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (!action) return E_POINTER;
    *action = nullptr;
    long id = 0;
    const HRESULT hr = Resolve(child, &id);
    if (FAILED(hr)) return hr;
    if (id == CHILDID_SELF) return m_standard ? m_standard->get_accDefaultAction(child, action) : S_FALSE;
    const std::vector<AccessibleChild> children = AccessibleChildren(m_bar->State());
    return ToBstr(AccessibleChildAt(children, id)->defaultAction, action);
}

HRESULT BarAccessible::accSelect(long, VARIANT child) {
    long id = 0;
    const HRESULT hr = Resolve(child, &id);
    if (FAILED(hr)) return hr;
    // An item becomes selected only by being clicked, which also opens its
    // link: that is its default action, not a selection of its own.
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT BarAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    long id = 0;
    const HRESULT hr = Resolve(child, &id);
    if (FAILED(hr)) return hr;
    if (id == CHILDID_SELF) {
        if (m_standard) return m_standard->accLocation(left, top, width, height, child);
        return S_FALSE;
    }
    const std::vector<AccessibleChild> children = AccessibleChildren(m_bar->State());
    const Rect r = AccessibleChildAt(children, id)->location;
    if (r.IsEmpty()) return S_OK;
    POINT origin{r.left, r.top};
    ClientToScreen(m_bar->Hwnd(), &origin);
    *left = origin.x;
    *top = origin.y;
    *width = r.Width();
    *height = r.Height();
    return S_OK;
}

HRESULT BarAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (!end) return E_POINTER;
    SetEmpty(end);
    long id = 0;
    const HRESULT hr = Resolve(start, &id);
    if (FAILED(hr)) return hr;
    const long count = static_cast<long>(AccessibleChildren(m_bar->State()).size());
    if (id == CHILDID_SELF) {
        if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
            if (count == 0) return S_FALSE;
            SetLong(end, direction == NAVDIR_FIRSTCHILD ? 1 : count);
            return S_OK;
        }
        // Siblings of the bar window are the system's business.
        return m_standard ? m_standard->accNavigate(direction, start, end) : S_FALSE;
    }
    // The children stand in one column, in reading order.
    long next = 0;
    if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) next = id + 1;
    if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) next = id - 1;
    if (next < 1 || next > count) return S_FALSE;
    SetLong(end, next);
    return S_OK;
}

HRESULT BarAccessible::accHitTest(long x, long y, VARIANT* child) {
    if (!child) return E_POINTER;
    SetEmpty(child);
    if (!m_bar) return CO_E_OBJNOTCONNECTED;
    POINT p{x, y};
    RECT client{};
    if (!ScreenToClient(m_bar->Hwnd(), &p) || !GetClientRect(m_bar->Hwnd(), &client) || !PtInRect(&client, p))
        return S_FALSE;
    const BarState& state = m_bar->State();
    SetLong(child, AccessibleHitTest(state, AccessibleChildren(state), Point{p.x, p.y}));
    return S_OK;
}

HRESULT BarAccessible::accDoDefaultAction(VARIANT child) {
    long id = 0;
    const HRESULT hr = Resolve(child, &id);
    if (FAILED(hr)) return hr;
    if (id == CHILDID_SELF) return m_standard ? m_standard->accDoDefaultAction(child) : DISP_E_MEMBERNOTFOUND;
    const std::vector<AccessibleChild> children = AccessibleChildren(m_bar->State());
    if (AccessibleChildAt(children, id)->defaultAction.empty()) return DISP_E_MEMBERNOTFOUND;
    m_bar->DoDefaultAction(id);
    return S_OK;
}

HRESULT BarAccessible::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }

HRESULT BarAccessible::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

}  // namespace servicebar
