#include "tests/win32/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/Folders.h"
#include "runtime/CodePage.h"
#include "runtime/Convert.h"
#include "runtime/Http.h"
#include "runtime/Program.h"

namespace testing_support {

std::wstring Wide(const Text& text) {
    std::u16string w = rt::TextToWide(text);
    return std::wstring(w.begin(), w.end());
}

Text Narrow(const std::wstring& wide) { return rt::WideToText(std::u16string(wide.begin(), wide.end())); }

ScratchFolder::ScratchFolder(const Text& label) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    static int counter = 0;
    path_ = Narrow(temp) + "itest_" + label + "_" + std::to_string(::GetCurrentProcessId()) + "_" +
            std::to_string(++counter);
    app::DeleteFolderTree(path_);
    ::CreateDirectoryW(Wide(path_).c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { app::DeleteFolderTree(path_); }

Bytes ReadWholeFile(const Text& path) {
    HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Bytes();
    Bytes out;
    std::uint8_t buffer[65536];
    DWORD n = 0;
    while (::ReadFile(h, buffer, sizeof(buffer), &n, nullptr) && n > 0) out.insert(out.end(), buffer, buffer + n);
    ::CloseHandle(h);
    return out;
}

bool WriteWholeFile(const Text& path, const Bytes& bytes) {
    HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    bool ok = bytes.empty() || ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    ::CloseHandle(h);
    return ok;
}

bool PathExists(const Text& path) {
    return ::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The port the test server chose, from the file it wrote once listening.
// Without it there is no server of ours to talk to: the tests stop rather
// than ask whatever else listens somewhere.
Text ServerBase() {
    static const Text base = [] {
        const char* file = std::getenv("TEST_HTTP_PORT_FILE");
        if (!file || !*file) {
            std::fprintf(stderr, "TEST_HTTP_PORT_FILE is not set: no test server\n");
            std::abort();
        }
        std::ifstream in(file);
        int port = 0;
        if (!(in >> port) || port <= 0 || port > 65535) {
            std::fprintf(stderr, "no port in %s: the test server did not start\n", file);
            std::abort();
        }
        return Text("http://127.0.0.1:") + std::to_string(port);
    }();
    return base;
}

Text ServerLog() { return rt::ToText(rt::HttpGetAll(ServerBase() + "/__control/log")); }

void ResetServer() { rt::HttpGetAll(ServerBase() + "/__control/reset"); }

Bytes GeneratedBody(size_t size) {
    Bytes out(size);
    for (size_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>(i % 251);
    return out;
}

HANDLE StartChild(const std::wstring& arguments) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return nullptr;
    ::CloseHandle(process.hThread);
    return process.hProcess;
}

int RunChild(const std::wstring& arguments, DWORD timeoutMs) {
    HANDLE process = StartChild(arguments);
    if (!process) return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0) ::GetExitCodeProcess(process, &code);
    else ::TerminateProcess(process, 1);
    ::CloseHandle(process);
    return static_cast<int>(code);
}

namespace {

struct BoxSearch {
    const std::wstring* caption;
    HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<BoxSearch*>(parameter);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid != ::GetCurrentProcessId() || !::IsWindowVisible(window)) return TRUE;
    wchar_t cls[64] = {}, title[256] = {};
    ::GetClassNameW(window, cls, 64);
    ::GetWindowTextW(window, title, 256);
    if (std::wstring(cls) == L"#32770" && *search->caption == title) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

BoxAnswerer::BoxAnswerer(const std::wstring& caption, int commandId, DWORD timeoutMs)
    : caption_(caption), commandId_(commandId), timeoutMs_(timeoutMs) {
    thread_ = ::CreateThread(nullptr, 0, &BoxAnswerer::Run, this, 0, nullptr);
}

BoxAnswerer::~BoxAnswerer() { Wait(); }

bool BoxAnswerer::Wait(SeenBox* seen) {
    if (thread_) {
        ::WaitForSingleObject(thread_, INFINITE);
        ::CloseHandle(thread_);
        thread_ = nullptr;
    }
    if (seen) *seen = seen_;
    return answered_;
}

DWORD WINAPI BoxAnswerer::Run(void* self) {
    auto* me = static_cast<BoxAnswerer*>(self);
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < me->timeoutMs_) {
        BoxSearch search{&me->caption_};
        ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            wchar_t text[1024] = {};
            // The text of a message box is its static control 0xFFFF.
            ::GetDlgItemTextW(search.found, 0xFFFF, text, 1024);
            me->seen_.caption = me->caption_;
            me->seen_.text = text;
            HWND button = ::GetDlgItem(search.found, me->commandId_);
            if (button) ::PostMessageW(button, BM_CLICK, 0, 0);
            else ::PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(me->commandId_, BN_CLICKED), 0);
            me->answered_ = true;
            return 0;
        }
        ::Sleep(50);
    }
    return 0;
}

// Child modes, run instead of the tests when the first argument names one.
int RunChildMode(int argc, wchar_t** argv);

}  // namespace testing_support

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && std::wstring(argv[1]).rfind(L"--child-", 0) == 0)
        return testing_support::RunChildMode(argc, argv);
    rt::RuntimeStartup();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

namespace testing_support {

Text UseUrlRecorder() {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &key, nullptr) == ERROR_SUCCESS) {
        static const wchar_t kRecorder[] = L"url-recorder";
        ::RegSetValueExW(key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(kRecorder), sizeof(kRecorder));
        ::RegCloseKey(key);
    }
    const char* file = std::getenv("URL_RECORD_FILE");
    const Text path = Text("Z:") + (file ? file : "/tmp/url-recorder.txt");
    ::DeleteFileW(Wide(path).c_str());
    return path;
}

Text RecordedUrls() {
    const char* file = std::getenv("URL_RECORD_FILE");
    return rt::ToText(ReadWholeFile(Text("Z:") + (file ? file : "/tmp/url-recorder.txt")));
}

}  // namespace testing_support
