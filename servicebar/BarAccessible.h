#pragma once
// The bar's client object for assistive technology: the IAccessible that
// screen readers get through WM_GETOBJECT. It reads the headers and items
// from the bar's own state (AccessibleTree) and leaves what concerns the bar
// window as a whole (its name, parent, focus, siblings) to the system's
// standard client object.
//
// Clients may hold the object after the bar is gone: the bar cuts it loose
// with Disconnect, after which every call answers CO_E_OBJNOTCONNECTED.

#include "servicebar/ComRef.h"

#include <windows.h>
#include <oleacc.h>

class ServiceBar;

namespace servicebar {

class BarAccessible final : public IAccessible {
public:
    // With one reference for the caller.
    static BarAccessible* Create(ServiceBar& bar);
    void Disconnect();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch: the bar offers no type information or late binding.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    BarAccessible(ServiceBar& bar, ComRef<IAccessible> standard);
    ~BarAccessible() = default;
    BarAccessible(const BarAccessible&) = delete;
    BarAccessible& operator=(const BarAccessible&) = delete;

    // S_OK with the child id (0 for the bar itself) when `child` names the
    // bar or one of its children now; the error to return otherwise.
    HRESULT Resolve(const VARIANT& child, long* id) const;

    LONG m_refs = 1;
    // Cut when the bar goes; everything checks it first.
    ServiceBar* m_bar;
    // The system's own client object of the bar window, for what concerns
    // the window as a whole; may be missing.
    ComRef<IAccessible> m_standard;
};

}  // namespace servicebar
