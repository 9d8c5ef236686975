// A helper of the end-to-end tests: finds windows and message boxes of
// any process, reads them and answers them. Prints UTF-8.
//
//   wintool box CAPTION BUTTON TIMEOUT_MS   wait for a message box, print its text, press BUTTON
//                                          (ok, cancel, yes, no); exit 1 when none came
//   wintool nobox CAPTION MS               exit 0 when no such box shows within MS, else print it, exit 1
//   wintool window CLASS                   print the state of the first top-level window of CLASS
//   wintool minimize CLASS                 minimise it
//   wintool close CLASS                    send it WM_CLOSE
//   wintool count CLASS                    print how many top-level windows of CLASS exist
//   wintool lnk FILE                       print the target of a shell link
//   wintool browse PATH|cancel TIMEOUT_MS  answer the folder browser: type PATH and press OK, or cancel
//   wintool load NAME                      LoadLibraryW(NAME) by name, as Windows searches for it; print
//                                          whether it loaded
//   wintool answers CLASS MS               exit 0 when the first window of CLASS answers a message
//                                          within MS (a window whose thread is stuck does not)
//   wintool treecount                      print how many items the folder browser's tree holds
//                                          (it fills a level in when it is expanded)
//   wintool end NAME...                    end the processes of this Wine prefix named NAME ("*x.exe":
//                                          any name ending in x.exe) and wait until they are gone
// Running inside the tests' own Wine prefix, it only ever sees their processes.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <wctype.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return std::string();
    int n = ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), &out[0], n, nullptr, nullptr);
    return out;
}

struct Search {
    std::wstring cls;
    std::wstring caption;  // for boxes
    bool visibleOnly = true;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM parameter) {
    auto* s = reinterpret_cast<Search*>(parameter);
    if (s->visibleOnly && !::IsWindowVisible(window)) return TRUE;
    wchar_t cls[128] = {}, title[512] = {};
    ::GetClassNameW(window, cls, 128);
    ::GetWindowTextW(window, title, 512);
    if (s->cls == cls && (s->caption.empty() || s->caption == title)) s->found.push_back(window);
    return TRUE;
}

std::vector<HWND> Find(const std::wstring& cls, const std::wstring& caption = L"", bool visibleOnly = true) {
    Search s{cls, caption, visibleOnly, {}};
    ::EnumWindows(Collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::wstring BoxText(HWND box) {
    wchar_t text[2048] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 2048);
    return text;
}

int ButtonId(const std::wstring& name) {
    if (name == L"ok") return IDOK;
    if (name == L"cancel") return IDCANCEL;
    if (name == L"yes") return IDYES;
    if (name == L"no") return IDNO;
    return 0;
}

int Box(const std::wstring& caption, const std::wstring& button, DWORD timeout) {
    const DWORD start = ::GetTickCount();
    do {
        std::vector<HWND> boxes = Find(L"#32770", caption);
        if (!boxes.empty()) {
            HWND box = boxes.front();
            std::printf("%s\n", Utf8(BoxText(box)).c_str());
            std::fflush(stdout);
            const int id = ButtonId(button);
            if (HWND b = ::GetDlgItem(box, id)) ::PostMessageW(b, BM_CLICK, 0, 0);
            else ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
            return 0;
        }
        ::Sleep(50);
    } while (::GetTickCount() - start < timeout);
    return 1;
}

int NoBox(const std::wstring& caption, DWORD ms) {
    const DWORD start = ::GetTickCount();
    do {
        std::vector<HWND> boxes = Find(L"#32770", caption);
        if (!boxes.empty()) {
            std::printf("%s\n", Utf8(BoxText(boxes.front())).c_str());
            return 1;
        }
        ::Sleep(50);
    } while (::GetTickCount() - start < ms);
    return 0;
}

int Window(const std::wstring& cls) {
    std::vector<HWND> windows = Find(cls, L"", false);
    if (windows.empty()) return 1;
    HWND w = windows.front();
    RECT r;
    ::GetWindowRect(w, &r);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(w, &pid);
    std::printf("visible=%d iconic=%d foreground=%d x=%ld y=%ld w=%ld h=%ld pid=%lu\n", ::IsWindowVisible(w) ? 1 : 0,
                ::IsIconic(w) ? 1 : 0, ::GetForegroundWindow() == w ? 1 : 0, r.left, r.top, r.right - r.left,
                r.bottom - r.top, pid);
    return 0;
}

int Link(const std::wstring& file) {
    ::CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link))))
        return 1;
    IPersistFile* persist = nullptr;
    int code = 1;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        wchar_t target[MAX_PATH] = {};
        if (SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
            // The item the shell follows: the ID list, whose names are
            // Unicode. (Wine keeps the link's path string in the writer's
            // ANSI code page only, which another code page cannot read.)
            LPITEMIDLIST items = nullptr;
            bool found = SUCCEEDED(link->GetIDList(&items)) && items && ::SHGetPathFromIDListW(items, target);
            ::CoTaskMemFree(items);
            if (!found) found = SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH));
            if (found) {
                std::printf("%s\n", Utf8(target).c_str());
                code = 0;
            }
        }
        persist->Release();
    }
    link->Release();
    return code;
}

BOOL CALLBACK FindEdit(HWND child, LPARAM parameter) {
    wchar_t cls[64] = {};
    ::GetClassNameW(child, cls, 64);
    if (std::wstring(cls) == L"Edit" && ::IsWindowVisible(child)) {
        *reinterpret_cast<HWND*>(parameter) = child;
        return FALSE;
    }
    return TRUE;
}

int Browse(const std::wstring& answer, DWORD timeout) {
    const DWORD start = ::GetTickCount();
    do {
        for (HWND dialog : Find(L"#32770")) {
            if (!::GetDlgItem(dialog, IDOK)) continue;
            if (answer == L"cancel") {
                ::PostMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
                return 0;
            }
            HWND edit = nullptr;
            ::EnumChildWindows(dialog, FindEdit, reinterpret_cast<LPARAM>(&edit));
            if (!edit) continue;
            ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer.c_str()));
            ::Sleep(100);
            ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            return 0;
        }
        ::Sleep(100);
    } while (::GetTickCount() - start < timeout);
    return 1;
}

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(towlower(c));
    return s;
}

bool NameMatches(const std::wstring& exe, const std::wstring& pattern) {
    const std::wstring e = Lower(exe), p = Lower(pattern);
    if (!p.empty() && p[0] == L'*') return e.size() >= p.size() - 1 && e.compare(e.size() - (p.size() - 1), p.size() - 1, p, 1) == 0;
    return e == p;
}

int End(int count, wchar_t** names) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 2;
    std::vector<HANDLE> ending;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == ::GetCurrentProcessId()) continue;
        for (int i = 0; i < count; ++i) {
            if (!NameMatches(entry.szExeFile, names[i])) continue;
            HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
            if (process && ::TerminateProcess(process, 1)) ending.push_back(process);
            else if (process) ::CloseHandle(process);
            break;
        }
    }
    ::CloseHandle(snapshot);
    int status = 0;
    for (HANDLE process : ending) {
        if (::WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) status = 1;
        ::CloseHandle(process);
    }
    std::printf("%u\n", static_cast<unsigned>(ending.size()));
    return status;
}

}  // namespace

int TreeCount() {
    for (HWND dialog : Find(L"#32770")) {
        HWND tree = ::FindWindowExW(dialog, nullptr, L"SysTreeView32", nullptr);
        if (!tree) continue;
        std::printf("%u\n", static_cast<unsigned>(::SendMessageW(tree, TVM_GETCOUNT, 0, 0)));
        return 0;
    }
    return 1;
}

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wstring(argv[1]) == L"treecount") return TreeCount();
    if (argc < 3) return 2;
    const std::wstring command = argv[1];
    if (command == L"end") return End(argc - 2, argv + 2);
    if (command == L"answers" && argc >= 4) {
        std::vector<HWND> found = Find(argv[2], L"", false);
        if (found.empty()) return 2;
        DWORD_PTR result = 0;
        const UINT ms = static_cast<UINT>(_wtoi(argv[3]));
        return ::SendMessageTimeoutW(found.front(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &result) ? 0 : 1;
    }
    if (command == L"load") {
        HMODULE module = ::LoadLibraryW(argv[2]);
        std::printf("%s\n", module ? "loaded" : "refused");
        return 0;
    }
    if (command == L"box" && argc >= 5) return Box(argv[2], argv[3], static_cast<DWORD>(_wtoi(argv[4])));
    if (command == L"nobox" && argc >= 4) return NoBox(argv[2], static_cast<DWORD>(_wtoi(argv[3])));
    if (command == L"window") return Window(argv[2]);
    if (command == L"lnk") return Link(argv[2]);
    if (command == L"browse" && argc >= 4) return Browse(argv[2], static_cast<DWORD>(_wtoi(argv[3])));
    if (command == L"count") {
        std::printf("%u\n", static_cast<unsigned>(Find(argv[2], L"", false).size()));
        return 0;
    }
    std::vector<HWND> windows = Find(argv[2], L"", false);
    if (windows.empty()) return 1;
    if (command == L"minimize") {
        ::ShowWindow(windows.front(), SW_MINIMIZE);
        return 0;
    }
    if (command == L"close") {
        ::PostMessageW(windows.front(), WM_CLOSE, 0, 0);
        return 0;
    }
    return 2;
}
