#include "ui/Window.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "runtime/GdiHandles.h"
#include "runtime/Win32Text.h"
#include "runtime/Program.h"
#include "ui/Accessible_win.h"
#include "ui/AccessibleView.h"
#include "ui/ControlIds.h"
#include "ui/Dpi_win.h"
#include "ui/DpiScale.h"
#include "ui/Form.h"
#include "ui/Gdiplus.h"
#include "ui/Painter_win.h"
#include "ui/Skin_win.h"

namespace ui {
namespace {

constexpr UINT kPaintMessage = WM_APP + 0x52;

constexpr UINT kAccessibleClickMessage = WM_APP + 0x53;  // wParam: the control a screen reader clicked
constexpr wchar_t kClassName[] = L"TaVoliInstallerWindow";

// The window surface: a top-down 32-bit premultiplied DIB selected into a
// memory DC. Members go in reverse order: the selection is undone before
// the bitmap and the DC are deleted.
struct Surface {
    rt::UniqueMemoryDc dc;
    rt::UniqueGdiObject bitmap;
    rt::SelectedObject selection;
    void* bits = nullptr;
    int width = 0, height = 0;
};

struct WindowState {
    std::unique_ptr<GdiplusSession> gdiplus;
    std::unique_ptr<WindowModel> model;
    std::map<Action, WindowModel::Handler> pendingHandlers;
    WindowFrame frame = MainFrame();
    DpiScale scale;  // the layout's pixels to the window's
    HWND window = nullptr;
    bool paintPosted = false;

    bool trackingLeave = false;
    bool releasingCapture = false;
    std::unique_ptr<Surface> surface;
    std::vector<AccessibleNode> accessibleChildren;  // as of the last frame
};

WindowState& State() {
    static WindowState state;
    return state;
}

// The window's controls for screen readers, in screen pixels.
class WindowAccessibleSource final : public AccessibleSource {
public:
    std::vector<AccessibleNode> Children() const override {
        const WindowState& s = State();
        return s.model ? AccessibleChildren(*s.model) : std::vector<AccessibleNode>();
    }
    rt::Text Name() const override { return State().frame.accessibleName; }
    RECT ScreenRect(const Rect& layout) const override {
        const WindowState& s = State();
        RECT window{};
        if (s.window) ::GetWindowRect(s.window, &window);
        const Rect r = s.scale.Scale(layout);
        return {window.left + r.left, window.top + r.top, window.left + r.left + r.width,
                window.top + r.top + r.height};
    }
    void ClickLater(std::uint32_t control) override {
        const WindowState& s = State();
        if (s.window) ::PostMessageW(s.window, kAccessibleClickMessage, control, 0);
    }
};

WindowAccessibleSource& AccessibleSourceOfWindow() {
    static WindowAccessibleSource source;
    return source;
}

// Tells readers what changed since the last frame.
void ReportAccessibleChanges(WindowState& s) {
    std::vector<AccessibleNode> now = AccessibleChildren(*s.model);
    NotifyAccessibleChanges(s.window, AccessibleChanges(s.accessibleChildren, now));
    s.accessibleChildren = std::move(now);
}

std::unique_ptr<Surface> CreateSurface(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    auto surface = std::make_unique<Surface>();
    {
        const rt::ScreenDc screen;
        surface->dc.reset(::CreateCompatibleDC(screen.get()));
    }
    if (!surface->dc) return nullptr;
    surface->bitmap.reset(::CreateDIBSection(surface->dc.get(), &info, DIB_RGB_COLORS, &surface->bits, nullptr, 0));
    if (!surface->bitmap || !surface->bits) return nullptr;
    surface->selection = rt::SelectedObject(surface->dc.get(), surface->bitmap.get());
    if (!surface->selection) return nullptr;
    surface->width = width;
    surface->height = height;
    return surface;
}

void Paint(WindowState& s) {
    s.paintPosted = false;
    if (!s.model || !s.window || !s.surface) return;
    const int width = s.surface->width, height = s.surface->height;
    // Only what changed is drawn again and handed to the system: the
    // ring's square while a download runs, not the whole surface.
    Rect area = s.scale.Scale(s.model->DirtyArea());
    {
        const int left = std::max(area.left, 0), top = std::max(area.top, 0);
        const int right = std::min(area.left + area.width, width), bottom = std::min(area.top + area.height, height);
        area = {left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
    }
    s.model->Painted();
    if (area.width == 0 || area.height == 0) return;
    {
        Gdiplus::Bitmap canvas(width, height, width * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(s.surface->bits));
        Gdiplus::Graphics g(&canvas);
        PaintWindow(*s.model, s.scale, g, area);
    }
    POINT origin{0, 0};
    SIZE size{width, height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const RECT dirty{area.left, area.top, area.left + area.width, area.top + area.height};
    // Where the window is stays as it is (no position), and no screen DC
    // is needed: each of those costs a round trip to the window system.
    UPDATELAYEREDWINDOWINFO info{};
    info.cbSize = sizeof(info);
    info.psize = &size;
    info.hdcSrc = s.surface->dc.get();
    info.pptSrc = &origin;
    info.pblend = &blend;
    info.dwFlags = ULW_ALPHA;
    info.prcDirty = &dirty;
    if (!::UpdateLayeredWindowIndirect(s.window, &info)) {
        // A system without dirty rectangles for layered windows: the whole surface.
        ::UpdateLayeredWindow(s.window, nullptr, nullptr, &size, s.surface->dc.get(), &origin, 0, &blend, ULW_ALPHA);
    }
    ReportAccessibleChanges(s);
}

// Lays the window out for another dpi: a surface of the new size, the
// window moved to the rectangle the system suggests (or kept where it
// is), everything drawn again. The old surface stays when no new one can
// be made.
void Rescale(WindowState& s, int dpi, const RECT* suggested) {
    const DpiScale next(dpi);
    if (next == s.scale || !s.window) return;
    auto surface = CreateSurface(next.Scale(s.frame.width), next.Scale(s.frame.height));
    if (!surface) return;
    s.surface = std::move(surface);
    s.scale = next;
    ::SetWindowPos(s.window, nullptr, suggested ? suggested->left : 0, suggested ? suggested->top : 0,
                   s.surface->width, s.surface->height,
                   SWP_NOZORDER | SWP_NOACTIVATE | (suggested ? 0 : SWP_NOMOVE));
    if (s.model) s.model->Invalidate();
    Paint(s);
}

void RequestPaint() {
    WindowState& s = State();
    if (s.paintPosted || !s.window) return;
    s.paintPosted = ::PostMessageW(s.window, kPaintMessage, 0, 0) != FALSE;
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowState& s = State();
    WindowModel* model = s.model.get();
    // The pointer in layout pixels, where the model and the frame work.
    const auto layoutX = [&] { return s.scale.Unscale(GET_X_LPARAM(lParam)); };
    const auto layoutY = [&] { return s.scale.Unscale(GET_Y_LPARAM(lParam)); };
    switch (message) {
        case kPaintMessage:
            Paint(s);
            return 0;
        case WM_GETOBJECT:
            if (model) {
                if (const LRESULT answer = AnswerGetObject(window, AccessibleSourceOfWindow(), wParam, lParam))
                    return answer;
            }
            break;
        case kAccessibleClickMessage:
            // As a click of the pointer: only on a control still shown and enabled.
            if (model) {
                const ControlState* c = model->Find(static_cast<std::uint32_t>(wParam));
                if (c && model->IsShown(*c)) model->RaiseEvent(c->row->id, kEventClick);
            }
            return 0;
        case WM_MOUSEMOVE: {
            if (!s.trackingLeave) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
                s.trackingLeave = ::TrackMouseEvent(&track) != FALSE;
            }
            if (model) model->PointerMoved(layoutX(), layoutY());
            return 0;
        }
        case WM_MOUSELEAVE:
            s.trackingLeave = false;
            if (model && !model->pointerCaptured()) model->PointerLeft();
            return 0;
        case WM_LBUTTONDOWN: {
            const int x = layoutX(), y = layoutY();
            if (model && model->ControlAt(x, y) == 0) {
                if (s.frame.dragArea.Contains(x, y)) {
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
            if (::GetCapture() == window) {
                s.releasingCapture = true;
                ::ReleaseCapture();
                s.releasingCapture = false;
            }
            if (model) model->ButtonUp(layoutX(), layoutY());
            return 0;
        case WM_CAPTURECHANGED:
            // Another window (a message box, the system) took the pointer:
            // the press is over, and a later release clicks nothing. Our own
            // release on the button's way up is no loss.
            if (model && !s.releasingCapture && reinterpret_cast<HWND>(lParam) != window) model->CaptureLost();
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && model) {
                POINT p;
                ::GetCursorPos(&p);
                ::ScreenToClient(window, &p);
                const bool hand = model->WantsHandCursor(s.scale.Unscale(p.x), s.scale.Unscale(p.y));
                ::SetCursor(::LoadCursorW(nullptr, hand ? IDC_HAND : IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_KEYDOWN:
            if (!model) break;
            switch (wParam) {
                case VK_TAB:
                    model->FocusNext(::GetKeyState(VK_SHIFT) < 0);
                    return 0;
                case VK_RETURN:
                    model->Enter();
                    return 0;
                case VK_SPACE:
                    model->Space();
                    return 0;
                case VK_ESCAPE:
                    // As the close control: no answer while it is disabled.
                    model->RaiseEvent(s.frame.closeControl, kEventClick);
                    return 0;
                default:
                    break;
            }
            break;
        case WM_CHAR:
            if (model && model->focused()) {
                if (wParam == VK_BACK) {
                    model->Backspace();
                } else if (wParam >= 0x20 && (wParam < 0xD800 || wParam > 0xDFFF)) {
                    model->TypeText(rt::FromWin32(std::wstring(1, static_cast<wchar_t>(wParam))));
                }
            }
            return 0;
        case WM_DPICHANGED:
            // Moved to a monitor of another scale, or the scale changed.
            Rescale(s, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_CLOSE:
            // Alt+F4 or the taskbar: the same as the exit button, which
            // answers nothing while it is disabled (an installation runs).
            if (model) model->RaiseEvent(s.frame.closeControl, kEventClick);
            return 0;
        case WM_DESTROY:
            DisconnectAccessible();
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
    if (s.gdiplus) return true;
    auto session = std::make_unique<GdiplusSession>();
    if (!session->ok()) return false;
    s.gdiplus = std::move(session);
    return true;
}

void UnloadToolkit() {
    WindowState& s = State();
    // Everything GDI+ made goes before GDI+ itself.
    ReleaseSkinImages();
    ReleaseFonts();
    s.surface.reset();
    s.gdiplus.reset();
}

void RegisterHandler(Action action, WindowModel::Handler handler) {
    WindowState& s = State();
    if (s.model) s.model->RegisterHandler(action, handler);
    s.pendingHandlers[action] = std::move(handler);
}

WindowModel& MainModel() {
    WindowState& s = State();
    if (!s.model) s.model = std::make_unique<WindowModel>(MainForm());
    return *s.model;
}

HWND LoadWindow(const std::vector<ControlRow>& form, const WindowFrame& frame) {
    WindowState& s = State();
    if (!s.model || &s.model->form() != &form) s.model = std::make_unique<WindowModel>(form);
    s.frame = frame;
    WindowModel& model = *s.model;
    for (auto& [action, handler] : s.pendingHandlers) model.RegisterHandler(action, handler);

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

    // Laid out at the system's dpi first, then at the dpi of the monitor
    // the window landed on, when that differs.
    s.scale = DpiScale(SystemDpi());
    if (!s.surface || s.surface->width != s.scale.Scale(frame.width)) {
        s.surface = CreateSurface(s.scale.Scale(frame.width), s.scale.Scale(frame.height));
    }
    if (!s.surface) return nullptr;
    s.window = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_APPWINDOW, kClassName, L" ",
                                 WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, s.scale.Scale(frame.left),
                                 s.scale.Scale(frame.top), s.surface->width, s.surface->height, nullptr, nullptr,
                                 instance, nullptr);
    if (!s.window) return nullptr;
    Rescale(s, WindowDpi(s.window), nullptr);
    rt::SetMainWindow(s.window);
    model.SetPaintRequester(RequestPaint);
    Paint(s);  // the window's content exists before it is first shown

    model.RaiseEvent(kMainWindowId, kEventCreated);
    if (s.window && !::IsWindowVisible(s.window)) ::ShowWindow(s.window, SW_SHOW);
    PaintIfDirty();
    return s.window;
}

HWND LoadMainWindow() { return LoadWindow(MainForm(), MainFrame()); }

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
