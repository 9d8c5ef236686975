#include "ui/Window.h"

#include <windowsx.h>

#include <memory>

#include "runtime/CodePage.h"
#include "runtime/Program.h"
#include "ui/ControlIds.h"
#include "ui/Form.h"
#include "ui/Gdiplus.h"
#include "ui/Painter_win.h"
#include "ui/Skin_win.h"

namespace ui {
namespace {

constexpr UINT kPaintMessage = WM_APP + 0x52;
constexpr wchar_t kClassName[] = L"TaVoliInstallerWindow";

struct WindowState {
    ULONG_PTR gdiplusToken = 0;
    std::unique_ptr<WindowModel> model;
    std::map<std::string, WindowModel::Handler> pendingHandlers;
    HWND window = nullptr;
    bool paintPosted = false;
    bool trackingLeave = false;
    // The window surface: a top-down 32-bit premultiplied DIB.
    HDC surfaceDc = nullptr;
    HBITMAP surface = nullptr;
    HGDIOBJ previous = nullptr;
    void* bits = nullptr;
};

WindowState& State() {
    static WindowState state;
    return state;
}

bool CreateSurface(WindowState& s) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWindowWidth;
    info.bmiHeader.biHeight = -kWindowHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    s.surfaceDc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    if (!s.surfaceDc) return false;
    s.surface = ::CreateDIBSection(s.surfaceDc, &info, DIB_RGB_COLORS, &s.bits, nullptr, 0);
    if (!s.surface) return false;
    s.previous = ::SelectObject(s.surfaceDc, s.surface);
    return true;
}

void ReleaseSurface(WindowState& s) {
    if (s.surfaceDc && s.previous) ::SelectObject(s.surfaceDc, s.previous);
    if (s.surface) ::DeleteObject(s.surface);
    if (s.surfaceDc) ::DeleteDC(s.surfaceDc);
    s.surfaceDc = nullptr;
    s.surface = nullptr;
    s.previous = nullptr;
    s.bits = nullptr;
}

void Paint(WindowState& s) {
    s.paintPosted = false;
    if (!s.model || !s.window || !s.bits) return;
    s.model->Painted();
    {
        Gdiplus::Bitmap canvas(kWindowWidth, kWindowHeight, kWindowWidth * 4, PixelFormat32bppPARGB,
                               static_cast<BYTE*>(s.bits));
        Gdiplus::Graphics g(&canvas);
        PaintWindow(*s.model, g);
    }
    RECT placed;
    ::GetWindowRect(s.window, &placed);
    POINT position{placed.left, placed.top}, origin{0, 0};
    SIZE size{kWindowWidth, kWindowHeight};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    HDC screen = ::GetDC(nullptr);
    ::UpdateLayeredWindow(s.window, screen, &position, &size, s.surfaceDc, &origin, 0, &blend, ULW_ALPHA);
    ::ReleaseDC(nullptr, screen);
}

void RequestPaint() {
    WindowState& s = State();
    if (s.paintPosted || !s.window) return;
    s.paintPosted = ::PostMessageW(s.window, kPaintMessage, 0, 0) != FALSE;
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowState& s = State();
    WindowModel* model = s.model.get();
    switch (message) {
        case kPaintMessage:
            Paint(s);
            return 0;
        case WM_MOUSEMOVE: {
            if (!s.trackingLeave) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
                s.trackingLeave = ::TrackMouseEvent(&track) != FALSE;
            }
            if (model) model->PointerMoved(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        }
        case WM_MOUSELEAVE:
            s.trackingLeave = false;
            if (model && !model->pointerCaptured()) model->PointerLeft();
            return 0;
        case WM_LBUTTONDOWN: {
            const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
            if (model && model->ControlAt(x, y) == 0) {
                if (kPanelRect.Contains(x, y)) {
                    // The panel away from the controls drags the window.
                    ::ReleaseCapture();
                    ::SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
                }
                if (model) model->ButtonDown(x, y);  // clears the edit box's focus
                if (model) model->ButtonUp(x, y);
                return 0;
            }
            ::SetCapture(window);
            if (model) model->ButtonDown(x, y);
            return 0;
        }
        case WM_LBUTTONUP:
            if (::GetCapture() == window) ::ReleaseCapture();
            if (model) model->ButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_CAPTURECHANGED:
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && model) {
                POINT p;
                ::GetCursorPos(&p);
                ::ScreenToClient(window, &p);
                ::SetCursor(::LoadCursorW(nullptr, model->WantsHandCursor(p.x, p.y) ? IDC_HAND : IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_CHAR:
            if (model && model->focused()) {
                if (wParam == VK_BACK) {
                    model->Backspace();
                } else if (wParam >= 0x20 && (wParam < 0xD800 || wParam > 0xDFFF)) {
                    model->TypeText(rt::WideToText(std::u16string(1, static_cast<char16_t>(wParam))));
                }
            }
            return 0;
        case WM_CLOSE:
            // Alt+F4 or the taskbar: the same as the exit button, which
            // answers nothing while it is disabled (an installation runs).
            if (model) model->RaiseEvent(kExitButton, kEventClick);
            return 0;
        case WM_DESTROY:
            s.window = nullptr;
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return HandleMessage(window, message, wParam, lParam);
    } catch (...) {
        // Nothing escapes the window procedure.
        return 0;
    }
}

}  // namespace

bool LoadToolkit() {
    WindowState& s = State();
    if (s.gdiplusToken) return true;
    Gdiplus::GdiplusStartupInput input;
    return Gdiplus::GdiplusStartup(&s.gdiplusToken, &input, nullptr) == Gdiplus::Ok;
}

void UnloadToolkit() {
    WindowState& s = State();
    ReleaseSkinImages();
    ReleaseFonts();
    ReleaseSurface(s);
    if (s.gdiplusToken) Gdiplus::GdiplusShutdown(s.gdiplusToken);
    s.gdiplusToken = 0;
}

void RegisterHandler(const std::string& name, WindowModel::Handler handler) {
    WindowState& s = State();
    if (s.model) s.model->RegisterHandler(name, handler);
    s.pendingHandlers[name] = std::move(handler);
}

WindowModel& MainModel() {
    WindowState& s = State();
    if (!s.model) s.model = std::make_unique<WindowModel>(MainForm());
    return *s.model;
}

HWND LoadMainWindow() {
    WindowState& s = State();
    WindowModel& model = MainModel();
    for (auto& [name, handler] : s.pendingHandlers) model.RegisterHandler(name, handler);

    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = instance;
    cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    cls.hIcon = ::LoadIconW(instance, L"APP_ICON");
    cls.hIconSm = cls.hIcon;
    cls.lpszClassName = kClassName;
    ::RegisterClassExW(&cls);

    if (!s.surface && !CreateSurface(s)) return nullptr;
    s.window = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_APPWINDOW, kClassName, L" ",
                                 WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, kDesignLeft, kDesignTop, kWindowWidth,
                                 kWindowHeight, nullptr, nullptr, instance, nullptr);
    if (!s.window) return nullptr;
    rt::SetMainWindow(s.window);
    model.SetPaintRequester(RequestPaint);
    Paint(s);  // the window's content exists before it is first shown

    model.RaiseEvent(kMainWindowId, kEventCreated);
    if (s.window && !::IsWindowVisible(s.window)) ::ShowWindow(s.window, SW_SHOW);
    PaintIfDirty();
    return s.window;
}

PropertyValue GetControlProperty(std::uint32_t window, std::uint32_t control, int property) {
    if (window != kMainWindowId) return PropertyValue();
    return MainModel().Get(control, property);
}

bool SetControlProperty(std::uint32_t window, std::uint32_t control, int property, const PropertyValue& value) {
    if (window != kMainWindowId) return false;
    return MainModel().Set(control, property, value);
}

HWND WindowHandleOf(std::uint32_t id) {
    WindowState& s = State();
    if (id == kMainWindowId || (s.model && s.model->Find(id))) return s.window;
    return nullptr;
}

void PaintIfDirty() {
    WindowState& s = State();
    if (s.model && s.model->dirty()) Paint(s);
}

}  // namespace ui
