#include "app/InstanceGuard.h"

#include "app/Folders.h"
#include "app/ProcessState.h"
#include "runtime/Win32Text.h"
#include "runtime/Dialogs.h"
#include "runtime/CryptHandles.h"
#include "runtime/Handles.h"
#include "runtime/Program.h"

namespace app {
namespace {

}  // namespace

Text FallbackInstanceName() { return Md5HexLower(rt::ToBytes(Text("你懒得输入，我就写死，略略"))); }

void PreventSecondInstance(const Text& identifier, bool showMessage, const std::optional<Text>& message,
                           std::uint32_t messageStyle, bool activateExisting) {
    const Text name = identifier.empty() ? FallbackInstanceName() : identifier;
    // Creating and testing in one step: two copies started at the same
    // instant cannot both find no event.
    ::SetLastError(ERROR_SUCCESS);
    HANDLE event = ::CreateEventW(nullptr, FALSE, FALSE, rt::ToWin32(name).c_str());
    const bool existed = event && ::GetLastError() == ERROR_ALREADY_EXISTS;
    Process().instanceEvent.reset(event);  // held until the process ends
    if (!existed) return;

    if (showMessage) rt::MessageBox(message.value_or("对不起,该进程已打开!"), messageStyle, "友情提醒:");
    if (activateExisting) {
        if (const DWORD process = FindProcessByExeName(rt::ExecutableName())) {
            if (HWND window = FindTopLevelWindowOfProcess(process, 100, true)) {
                if (!::IsWindowVisible(window)) SetTopmost(window, false);
                if (::IsIconic(window)) ::OpenIcon(window);
                ActivateForeignWindow(window);
            }
        }
    }
    rt::EndProgram(0);
}

DWORD FindProcessByExeName(const Text& name) {
    rt::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return 0;
    const DWORD self = ::GetCurrentProcessId();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        // The caller's own process would be found first as often as not.
        if (entry.th32ProcessID == self) continue;
        const Text exe = rt::FromWin32(entry.szExeFile);
        if (rt::CompareText(exe, name, false) == 0) return entry.th32ProcessID;
    }
    return 0;
}

HWND FindTopLevelWindowOfProcess(DWORD processId, int timeLimitMs, bool visibleOnly) {
    const DWORD limit = timeLimitMs < 0 ? 31536000u : static_cast<DWORD>(timeLimitMs);
    const DWORD start = ::GetTickCount();
    HWND current = nullptr;
    for (;;) {
        if (::GetTickCount() - start >= limit) return nullptr;
        current = ::FindWindowExA(nullptr, current, nullptr, nullptr);
        if (!current) return nullptr;
        if (visibleOnly && !::IsWindowVisible(current)) continue;
        DWORD owner = 0;
        ::GetWindowThreadProcessId(current, &owner);
        if (owner != processId || ::GetParent(current)) {
            rt::ProcessPendingEvents();
            continue;
        }
        return current;
    }
}

void SetTopmost(HWND window, bool topmost) {
    ::SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

bool ActivateForeignWindow(HWND window) {
    const DWORD self = ::GetCurrentThreadId();
    const DWORD other = ::GetWindowThreadProcessId(window, nullptr);
    ::AttachThreadInput(other, self, TRUE);
    ::SetForegroundWindow(window);
    const bool activated = ::SetActiveWindow(window) != nullptr;
    ::AttachThreadInput(other, self, FALSE);
    return activated;
}

Text Md5HexLower(const Bytes& bytes) {
    HCRYPTPROV acquired = 0;
    if (!::CryptAcquireContextA(&acquired, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
        !::CryptAcquireContextA(&acquired, nullptr, nullptr, PROV_RSA_FULL, 0))
        return Text();
    const rt::UniqueCryptProvider provider(acquired);
    HCRYPTHASH created = 0;
    if (!::CryptCreateHash(provider.get(), CALG_MD5, 0, 0, &created)) return Text();
    const rt::UniqueCryptHash hash(created);
    BYTE digest[16] = {};
    DWORD length = sizeof(digest);
    if (!::CryptHashData(hash.get(), bytes.data(), static_cast<DWORD>(bytes.size()), 0) ||
        !::CryptGetHashParam(hash.get(), HP_HASHVAL, digest, &length, 0))
        return Text();
    static const char kDigits[] = "0123456789ABCDEF";
    Text hex;
    for (BYTE b : digest) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return rt::LowerCase(hex);
}

}  // namespace app
