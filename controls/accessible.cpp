#include "accessible.h"
#include <oleacc.h>
#include <commctrl.h>
#include "fw/dll_safety.h"

namespace {

const IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// Everything the control does not know better is asked of the standard object the system makes
// for the window, so that place, focus and navigation stay as for any other control.
class ControlAccessible final : public IAccessible {
public:
    ControlAccessible(HWND window, IAccessible* standard, AccessibleKind kind, const char* name)
        : m_refs(1), m_window(window), m_standard(standard), m_kind(kind)
    {
        m_name[0] = 0;
        if (name) MultiByteToWideChar(CP_ACP, 0, name, -1, m_name, 256);
        m_name[255] = 0;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kIAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = NULL;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_refs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG refs = InterlockedDecrement(&m_refs);
        if (!refs) {
            m_standard->Release();
            delete this;
        }
        return refs;
    }

    // IDispatch: not offered; screen readers call IAccessible directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IAccessible: what the control knows better
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (!IsSelf(child) || m_kind == kAccessibleNamed) return m_standard->get_accRole(child, role);
        if (!role) return E_POINTER;
        role->vt = VT_I4;
        role->lVal = m_kind == kAccessibleLink ? ROLE_SYSTEM_LINK : ROLE_SYSTEM_PROGRESSBAR;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        HRESULT hr = m_standard->get_accState(child, state);
        if (SUCCEEDED(hr) && IsSelf(child) && m_kind == kAccessibleLink && state->vt == VT_I4) {
            state->lVal |= STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE;
            if (GetFocus() == m_window) state->lVal |= STATE_SYSTEM_FOCUSED;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (!IsSelf(child) || m_kind == kAccessibleProgress) return m_standard->get_accName(child, name);
        if (!name) return E_POINTER;
        WCHAR text[512];
        if (m_kind == kAccessibleLink)
            GetWindowTextW(m_window, text, 512);
        else
            lstrcpynW(text, m_name, 512);
        *name = SysAllocString(text);
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        if (!IsSelf(child) || m_kind != kAccessibleLink) return m_standard->get_accDefaultAction(child, action);
        if (!action) return E_POINTER;
        *action = SysAllocString(L"\u00d6ffnen");
        return *action ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        if (!IsSelf(child) || m_kind != kAccessibleLink) return m_standard->accDoDefaultAction(child);
        // Opened on the window's own thread, as a click would be, not inside the caller's call.
        return PostMessageA(m_window, kLinkOpenMessage, 0, 0) ? S_OK : E_FAIL;
    }

    // IAccessible: the standard answers
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return m_standard->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return m_standard->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override { return m_standard->get_accChild(child, out); }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        if (!IsSelf(child) || m_kind != kAccessibleProgress) return m_standard->get_accValue(child, value);
        if (!value) return E_POINTER;
        PBRANGE range = {0, 0};
        SendMessageA(m_window, PBM_GETRANGE, FALSE, (LPARAM)&range);
        LONGLONG span = (LONGLONG)range.iHigh - range.iLow;
        LONGLONG pos = (LONGLONG)SendMessageA(m_window, PBM_GETPOS, 0, 0) - range.iLow;
        WCHAR text[16];
        wsprintfW(text, L"%d %%", span > 0 ? (int)(pos * 100 / span) : 0);
        *value = SysAllocString(text);
        return *value ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override { return m_standard->get_accDescription(child, text); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return m_standard->get_accHelp(child, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override
    {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override
    {
        return m_standard->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return m_standard->get_accFocus(focus); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override { return m_standard->get_accSelection(selection); }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return m_standard->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT child) override
    {
        return m_standard->accLocation(x, y, w, h, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long dir, VARIANT start, VARIANT* end) override
    {
        return m_standard->accNavigate(dir, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override { return m_standard->accHitTest(x, y, child); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    LONG m_refs;
    HWND m_window;
    IAccessible* m_standard;
    AccessibleKind m_kind;
    WCHAR m_name[256];
};

}  // namespace

// The thread whose COM apartment was begun for answering, until EndAccessibility.
static DWORD s_comThread = 0;

void EndAccessibility()
{
    // Releases the objects that other processes still hold while every library is loaded; left
    // to the process's end, their release came after the accessibility library had gone.
    if (s_comThread && s_comThread == GetCurrentThreadId()) {
        CoUninitialize();
        s_comThread = 0;
    }
}

LRESULT AnswerAccessibleObject(HWND window, WPARAM wp, LPARAM lp, AccessibleKind kind, const char* name)
{
    if ((LONG)lp != OBJID_CLIENT) return 0;
    // The object is handed to the asking process through COM, which this thread needs for it.
    if (!s_comThread && SUCCEEDED(CoInitialize(NULL))) s_comThread = GetCurrentThreadId();
    // The accessibility library is loaded only when a screen reader asks, from the system folder.
    typedef HRESULT(WINAPI * CreateStandard)(HWND, LONG, REFIID, void**);
    typedef LRESULT(WINAPI * FromObject)(REFIID, WPARAM, LPUNKNOWN);
    HMODULE oleacc = LoadSystemLibrary("oleacc.dll");
    CreateStandard createStandard = oleacc ? (CreateStandard)GetProcAddress(oleacc, "CreateStdAccessibleObject") : NULL;
    FromObject fromObject = oleacc ? (FromObject)GetProcAddress(oleacc, "LresultFromObject") : NULL;
    if (!createStandard || !fromObject) return 0;
    IAccessible* standard = NULL;
    if (FAILED(createStandard(window, OBJID_CLIENT, kIAccessible, (void**)&standard)) || !standard) return 0;
    ControlAccessible* object = new ControlAccessible(window, standard, kind, name);
    LRESULT result = fromObject(kIAccessible, wp, static_cast<IAccessible*>(object));
    object->Release();
    return FAILED((HRESULT)result) ? 0 : result;
}

LRESULT AnswerNamedByGroup(HWND control, WPARAM wp, LPARAM lp)
{
    RECT mine;
    GetWindowRect(control, &mine);
    for (HWND w = GetWindow(control, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
        char cls[16] = "";
        GetClassNameA(w, cls, sizeof cls);
        RECT group, overlap;
        GetWindowRect(w, &group);
        if (lstrcmpiA(cls, "Button") || (GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX ||
            !IntersectRect(&overlap, &group, &mine) || !EqualRect(&overlap, &mine))
            continue;
        char text[256], name[256];
        GetWindowTextA(w, text, sizeof text);
        int n = 0;
        for (const char* p = text; *p && n < 255; ++p)  // without the mnemonic's marker
            if (*p != '&' || p[1] == '&') name[n++] = *p;
        name[n] = 0;
        return AnswerAccessibleObject(control, wp, lp, kAccessibleNamed, name);
    }
    return 0;
}
