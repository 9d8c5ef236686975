#include "ui/Accessible_win.h"

#include <oleacc.h>

#include <atomic>
#include <string>
#include <utility>

#include "runtime/Win32Text.h"

namespace ui {
namespace {

long RoleOf(AccessibleRole role) {
    switch (role) {
        case AccessibleRole::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
        case AccessibleRole::Link: return ROLE_SYSTEM_LINK;
        case AccessibleRole::EditableText: return ROLE_SYSTEM_TEXT;
        case AccessibleRole::StaticText: return ROLE_SYSTEM_STATICTEXT;
        case AccessibleRole::ProgressBar: return ROLE_SYSTEM_PROGRESSBAR;
    }
    return ROLE_SYSTEM_CLIENT;
}

HRESULT GiveString(const rt::Text& text, BSTR* out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    const std::wstring wide = rt::ToWin32(text);
    *out = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT GiveWide(const wchar_t* text, BSTR* out) {
    if (!out) return E_INVALIDARG;
    *out = ::SysAllocString(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* v, long child) {
    ::VariantInit(v);
    v->vt = VT_I4;
    v->lVal = child;
}

bool Inside(const RECT& r, long x, long y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// The client area of the window: child 0 (CHILDID_SELF) is the window,
// 1..n the nodes of the current frame.
class ClientAccessible final : public IAccessible {
public:
    ClientAccessible(HWND window, AccessibleSource* source) : window_(window), source_(source) {}

    void Disconnect() { source_ = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch: readers call the vtable; late binding is not offered.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        return ::AccessibleObjectFromWindow(window_, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                            reinterpret_cast<void**>(parent));
    }
    STDMETHODIMP get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        *count = static_cast<long>(source_->Children().size());
        return S_OK;
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        const Lookup l = Look(child);
        if (l.error != S_OK) return l.error;
        return l.self ? E_INVALIDARG : S_FALSE;  // children are simple elements
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        const Lookup l = Look(child);
        if (l.error != S_OK) return l.error;
        return GiveString(l.self ? source_->Name() : l.node.name, name);
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override {
        const Lookup l = Look(child);
        if (l.error != S_OK) return l.error;
        if (l.self || (l.node.role != AccessibleRole::EditableText && l.node.role != AccessibleRole::ProgressBar)) {
            if (value) *value = nullptr;
            return DISP_E_MEMBERNOTFOUND;
        }
        if (l.node.value.empty()) return GiveWide(L"", value);
        return GiveString(l.node.value, value);
    }
    STDMETHODIMP get_accDescription(VARIANT, BSTR* out) override { return Nothing(out); }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        const Lookup l = Look(child);
        if (l.error != S_OK) return l.error;
        SetChild(role, l.self ? ROLE_SYSTEM_CLIENT : RoleOf(l.node.role));
        return S_OK;
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        const Lookup l = Look(child);
        if (l.error != S_OK) return l.error;
        long bits = 0;
        if (l.self) {
            bits = STATE_SYSTEM_FOCUSABLE;
            if (::GetForegroundWindow() == window_ && FocusedChild() == 0) bits |= STATE_SYSTEM_FOCUSED;
        } else {
            const AccessibleNode& n = l.node;
            if (n.focusable) bits |= STATE_SYSTEM_FOCUSABLE;
            if (n.focused) bits |= STATE_SYSTEM_FOCUSED;
            if (n.unavailable) bits |= STATE_SYSTEM_UNAVAILABLE;
            if (n.role == AccessibleRole::Link) bits |= STATE_SYSTEM_LINKED;
            if (n.role == AccessibleRole::StaticText || n.role == AccessibleRole::ProgressBar)
                bits |= STATE_SYSTEM_READONLY;
        }
        SetChild(state, bits);
        return S_OK;
    }
    STDMETHODIMP get_accHelp(VARIANT, BSTR* out) override { return Nothing(out); }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return DISP_E_MEMBERNOTFOUND;
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT, BSTR* out) override { return Nothing(out); }
    STDMETHODIMP get_accFocus(VARIANT* focus) override {
        if (!focus) return E_POINTER;
        ::VariantInit(focus);
        if (!source_) return CO_E_OBJNOTCONNECTED;
        if (::GetForegroundWindow() != window_) return S_FALSE;  // VT_EMPTY: the focus is elsewhere
        SetChild(focus, FocusedChild());
        return S_OK;
    }
    STDMETHODIMP get_accSelection(VARIANT* selection) override {
        if (selection) ::VariantInit(selection);
        return DISP_E_MEMBERNOTFOUND;
    }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
        const Lookup l = Look(child);
        if (l.error != S_OK) return l.error;
        if (l.self || !l.node.clickable) return Nothing(action);
        return GiveWide(l.node.role == AccessibleRole::Link ? L"\u8DF3\u8F6C" /* 跳转 */ : L"\u6309\u4E0B" /* 按下 */,
                        action);
    }
    STDMETHODIMP accSelect(long, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        const Lookup l = Look(child);
        if (l.error != S_OK) return l.error;
        RECT r{};
        if (l.self) {
            ::GetWindowRect(window_, &r);
        } else {
            r = source_->ScreenRect(l.node.bounds);
        }
        *left = r.left;
        *top = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!end) return E_POINTER;
        ::VariantInit(end);
        const Lookup l = Look(start);
        if (l.error != S_OK) return l.error;
        const long count = static_cast<long>(l.children.size());
        long to = 0;
        if (l.self && direction == NAVDIR_FIRSTCHILD) to = count > 0 ? 1 : 0;
        else if (l.self && direction == NAVDIR_LASTCHILD) to = count;
        else if (!l.self && (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN)) to = l.index + 1 <= count ? l.index + 1 : 0;
        else if (!l.self && (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP)) to = l.index - 1;
        if (to <= 0 || to > count) return S_FALSE;
        SetChild(end, to);
        return S_OK;
    }
    STDMETHODIMP accHitTest(long x, long y, VARIANT* hit) override {
        if (!hit) return E_POINTER;
        ::VariantInit(hit);
        if (!source_) return CO_E_OBJNOTCONNECTED;
        RECT window;
        ::GetWindowRect(window_, &window);
        if (!Inside(window, x, y)) return S_FALSE;
        const std::vector<AccessibleNode> children = source_->Children();
        long found = CHILDID_SELF;
        for (size_t i = 0; i < children.size(); ++i)
            if (Inside(source_->ScreenRect(children[i].bounds), x, y)) found = static_cast<long>(i + 1);
        SetChild(hit, found);
        return S_OK;
    }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override {
        const Lookup l = Look(child);
        if (l.error != S_OK) return l.error;
        if (l.self || !l.node.clickable || l.node.unavailable) return DISP_E_MEMBERNOTFOUND;
        source_->ClickLater(l.node.control);
        return S_OK;
    }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    struct Lookup {
        HRESULT error = S_OK;
        bool self = false;
        long index = 0;
        std::vector<AccessibleNode> children;
        AccessibleNode node;
    };

    // The child a VARIANT names, in this frame's children.
    Lookup Look(const VARIANT& child) const {
        Lookup l;
        if (!source_) {
            l.error = CO_E_OBJNOTCONNECTED;
            return l;
        }
        if (child.vt != VT_I4) {
            l.error = E_INVALIDARG;
            return l;
        }
        l.children = source_->Children();
        if (child.lVal == CHILDID_SELF) {
            l.self = true;
            return l;
        }
        if (child.lVal < 1 || child.lVal > static_cast<long>(l.children.size())) {
            l.error = E_INVALIDARG;
            return l;
        }
        l.index = child.lVal;
        l.node = l.children[static_cast<size_t>(child.lVal - 1)];
        return l;
    }

    long FocusedChild() const {
        const std::vector<AccessibleNode> children = source_->Children();
        for (size_t i = 0; i < children.size(); ++i)
            if (children[i].focused) return static_cast<long>(i + 1);
        return CHILDID_SELF;
    }

    static HRESULT Nothing(BSTR* out) {
        if (out) *out = nullptr;
        return S_FALSE;
    }

    HWND window_;
    AccessibleSource* source_;
    std::atomic<ULONG> references_{1};
};

struct Published {
    ClientAccessible* object = nullptr;  // our own reference
};

Published& State() {
    static Published state;
    return state;
}

}  // namespace

LRESULT AnswerGetObject(HWND window, AccessibleSource& source, WPARAM wParam, LPARAM lParam) {
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return 0;
    Published& s = State();
    if (!s.object) s.object = new ClientAccessible(window, &source);
    return ::LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(s.object));
}

void DisconnectAccessible() {
    Published& s = State();
    if (!s.object) return;
    s.object->Disconnect();
    ::CoDisconnectObject(static_cast<IAccessible*>(s.object), 0);
    std::exchange(s.object, nullptr)->Release();
}

void NotifyAccessibleChanges(HWND window, const std::vector<AccessibleEvent>& events) {
    for (const AccessibleEvent& e : events) {
        DWORD event = 0;
        switch (e.change) {
            case AccessibleChange::Reorder: event = EVENT_OBJECT_REORDER; break;
            case AccessibleChange::Focus: event = EVENT_OBJECT_FOCUS; break;
            case AccessibleChange::ValueChange: event = EVENT_OBJECT_VALUECHANGE; break;
            case AccessibleChange::NameChange: event = EVENT_OBJECT_NAMECHANGE; break;
            case AccessibleChange::StateChange: event = EVENT_OBJECT_STATECHANGE; break;
        }
        ::NotifyWinEvent(event, window, OBJID_CLIENT, e.child);
    }
}

}  // namespace ui
