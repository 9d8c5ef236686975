// A screen reader's view of a window, for the end-to-end tests: walks
// the MSAA tree that AccessibleObjectFromWindow gives, clicks through
// accDoDefaultAction and listens to the win events. Prints UTF-8.
//
//   acctool tree CLASS          the client object of the first window of CLASS and its children,
//                               one per line: role "name" value="..." [states] action="..."
//   acctool do CLASS NAME       the default action of the first child named NAME; exit 0 when done
//   acctool events CLASS MS     the object events the window's process raises within MS,
//                               one per line: event child
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* w, int length = -1) {
    if (!w) return std::string();
    int n = ::WideCharToMultiByte(CP_UTF8, 0, w, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w, length, &out[0], n, nullptr, nullptr);
    if (length < 0 && !out.empty()) out.pop_back();  // the terminator
    return out;
}

std::string Take(BSTR text) {
    std::string out = text ? Utf8(text, static_cast<int>(::SysStringLen(text))) : std::string();
    ::SysFreeString(text);
    return out;
}

VARIANT Child(long id) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

const char* RoleName(long role) {
    switch (role) {
        case ROLE_SYSTEM_CLIENT: return "client";
        case ROLE_SYSTEM_PUSHBUTTON: return "push button";
        case ROLE_SYSTEM_LINK: return "link";
        case ROLE_SYSTEM_TEXT: return "editable text";
        case ROLE_SYSTEM_STATICTEXT: return "static text";
        case ROLE_SYSTEM_PROGRESSBAR: return "progress bar";
        default: return "other";
    }
}

std::string States(long bits) {
    static const struct {
        long bit;
        const char* name;
    } kNames[] = {{STATE_SYSTEM_FOCUSED, "focused"},         {STATE_SYSTEM_FOCUSABLE, "focusable"},
                  {STATE_SYSTEM_UNAVAILABLE, "unavailable"}, {STATE_SYSTEM_READONLY, "read only"},
                  {STATE_SYSTEM_LINKED, "linked"}};
    std::string out;
    for (const auto& n : kNames) {
        if (!(bits & n.bit)) continue;
        out += out.empty() ? "" : ", ";
        out += n.name;
    }
    return out.empty() ? std::string() : " [" + out + "]";
}

std::string Describe(IAccessible* object, long id) {
    const VARIANT child = Child(id);
    VARIANT role, state;
    ::VariantInit(&role);
    ::VariantInit(&state);
    BSTR name = nullptr, value = nullptr, action = nullptr;
    object->get_accRole(child, &role);
    object->get_accState(child, &state);
    object->get_accName(child, &name);
    const bool hasValue = object->get_accValue(child, &value) == S_OK;
    object->get_accDefaultAction(child, &action);
    std::string line = std::string(RoleName(role.vt == VT_I4 ? role.lVal : -1)) + " \"" + Take(name) + "\"";
    const std::string valueText = Take(value);
    if (hasValue) line += " value=\"" + valueText + "\"";
    line += States(state.vt == VT_I4 ? state.lVal : 0);
    const std::string actionText = Take(action);
    if (!actionText.empty()) line += " action=\"" + actionText + "\"";
    return line;
}

IAccessible* ClientOf(const wchar_t* cls) {
    HWND window = ::FindWindowW(cls, nullptr);
    if (!window) return nullptr;
    IAccessible* object = nullptr;
    const HRESULT hr = ::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                    reinterpret_cast<void**>(&object));
    if (FAILED(hr)) {
        std::printf("AccessibleObjectFromWindow: 0x%08lx\n", static_cast<unsigned long>(hr));
        return nullptr;
    }
    return object;
}

int Tree(const wchar_t* cls) {
    IAccessible* object = ClientOf(cls);
    if (!object) return 1;
    std::printf("%s\n", Describe(object, CHILDID_SELF).c_str());
    long count = 0;
    object->get_accChildCount(&count);
    for (long id = 1; id <= count; ++id) std::printf("  %s\n", Describe(object, id).c_str());
    object->Release();
    return 0;
}

int Do(const wchar_t* cls, const std::wstring& wanted) {
    IAccessible* object = ClientOf(cls);
    if (!object) return 1;
    long count = 0;
    object->get_accChildCount(&count);
    int code = 3;  // no such child
    for (long id = 1; id <= count && code == 3; ++id) {
        BSTR name = nullptr;
        if (object->get_accName(Child(id), &name) == S_OK && name && wanted == name) {
            const HRESULT hr = object->accDoDefaultAction(Child(id));
            code = hr == S_OK ? 0 : 4;
            if (code) std::printf("accDoDefaultAction: 0x%08lx\n", static_cast<unsigned long>(hr));
        }
        ::SysFreeString(name);
    }
    object->Release();
    return code;
}

const char* EventName(DWORD event) {
    switch (event) {
        case EVENT_OBJECT_FOCUS: return "focus";
        case EVENT_OBJECT_REORDER: return "reorder";
        case EVENT_OBJECT_VALUECHANGE: return "value";
        case EVENT_OBJECT_NAMECHANGE: return "name";
        case EVENT_OBJECT_STATECHANGE: return "state";
        default: return nullptr;
    }
}

HWND g_watched = nullptr;

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    const char* name = EventName(event);
    if (!name || window != g_watched || object != OBJID_CLIENT) return;
    std::printf("%s %ld\n", name, static_cast<long>(child));
    std::fflush(stdout);
}

int Events(const wchar_t* cls, DWORD ms) {
    g_watched = ::FindWindowW(cls, nullptr);
    if (!g_watched) return 1;
    DWORD process = 0;
    ::GetWindowThreadProcessId(g_watched, &process);
    HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_VALUECHANGE, nullptr, OnEvent, process, 0,
                                           WINEVENT_OUTOFCONTEXT);
    if (!hook) return 2;
    std::printf("listening\n");
    std::fflush(stdout);
    const DWORD end = ::GetTickCount() + ms;
    for (DWORD now = ::GetTickCount(); static_cast<LONG>(end - now) > 0; now = ::GetTickCount()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    }
    ::UnhookWinEvent(hook);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    ::CoInitialize(nullptr);
    const std::wstring command = argv[1];
    int code = 2;
    if (command == L"tree") code = Tree(argv[2]);
    else if (command == L"do" && argc >= 4) code = Do(argv[2], argv[3]);
    else if (command == L"events" && argc >= 4) code = Events(argv[2], static_cast<DWORD>(_wtoi(argv[3])));
    std::fflush(stdout);
    ::CoUninitialize();
    return code;
}
