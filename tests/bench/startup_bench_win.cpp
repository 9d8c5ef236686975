// Start-up cost: the time from the process's creation to its first painted
// frame, and the peak working set then, for the installer's window against
// a minimal GDI+ layered window of the same size, under the same Wine.
//   startup_bench installer   the installer's own toolkit, form and window
//   startup_bench minimal     GDI+, one white 440 x 540 layered window
// Both end right after the frame; tools/bench-startup runs each afresh.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "runtime/Program.h"
#include "ui/Gdiplus.h"
#include "ui/ControlIds.h"
#include "ui/Form.h"
#include "ui/Window.h"
#include "ui/WindowHandlers.h"

namespace {

// Milliseconds since the process was created (the loader's work included).
double SinceCreation() {
    FILETIME created, exited, kernel, user, now;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    ::GetSystemTimePreciseAsFileTime(&now);
    auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}

double PeakMiB() {
    PROCESS_MEMORY_COUNTERS c{};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &c, sizeof(c));
    return static_cast<double>(c.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

void Report(const char* mode, double toolkitMs, double frameMs) {
    std::printf("mode=%s toolkit_ms=%.1f first_frame_ms=%.1f peak_mib=%.1f\n", mode, toolkitMs, frameMs, PeakMiB());
    std::fflush(stdout);
}

int Installer() {
    rt::RuntimeStartup();
    if (!ui::LoadToolkit()) return 3;
    const double toolkit = SinceCreation();
    ui::RegisterWindowHandlers();
    for (ui::Action action : {ui::Action::QuickInstall, ui::Action::CustomInstall, ui::Action::BrowseInstallFolder,
                              ui::Action::LaunchProduct, ui::Action::OnMainWindowCreated,
                              ui::Action::ShowCustomInstallPage}) {
        ui::RegisterHandler(action, [](std::uint32_t, int) {});
    }
    if (!ui::LoadMainWindow()) return 4;  // painted before it is shown
    Report("installer", toolkit, SinceCreation());
    return 0;
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    return ::DefWindowProcW(window, message, w, l);
}

int Minimal() {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return 3;
    const double toolkit = SinceCreation();
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.lpfnWndProc = PlainProc;
    cls.hInstance = ::GetModuleHandleW(nullptr);
    cls.lpszClassName = L"MinimalLayeredWindow";
    ::RegisterClassExW(&cls);
    const int width = ui::kWindowWidth, height = ui::kWindowHeight;
    HWND window = ::CreateWindowExW(WS_EX_LAYERED, cls.lpszClassName, L" ", WS_POPUP, 50, 50, width, height, nullptr,
                                    nullptr, cls.hInstance, nullptr);
    if (!window) return 4;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    {
        Gdiplus::Bitmap canvas(width, height, width * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
        Gdiplus::Graphics g(&canvas);
        g.Clear(Gdiplus::Color(255, 255, 255, 255));
    }
    POINT position{50, 50}, origin{0, 0};
    SIZE size{width, height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(window, screen, &position, &size, dc, &origin, 0, &blend, ULW_ALPHA);
    ::ShowWindow(window, SW_SHOW);
    Report("minimal", toolkit, SinceCreation());
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    ::DestroyWindow(window);
    Gdiplus::GdiplusShutdown(token);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    const std::wstring mode = argv[1];
    const int code = mode == L"installer" ? Installer() : mode == L"minimal" ? Minimal() : 2;
    ::ExitProcess(static_cast<UINT>(code));
}
