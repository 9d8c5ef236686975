// The main window's form as data: one row per control. Adding a control
// is adding a row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/Text.h"

namespace ui {

enum class ControlType {
    Window,          // the main window itself (carries the created event)
    WindowSkin,      // 窗口Ex: paints the window background
    Archive,         // ZIP压缩: non-visual, raises the unpacking progress event
    PageContainer,   // 选择夹Ex
    PictureBox,      // 图片框Ex
    Label,           // 标签Ex
    Button,          // 按钮Ex: state images with a caption
    ImageButton,     // 图片按钮Ex: state images only
    ProgressRing,    // 进度条Ex
    EditBox,         // 编辑框Ex
};

enum class HAlign { Left, Centre, Right };
enum class VAlign { Top, Middle, Bottom };

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool Contains(int x, int y) const { return x >= left && y >= top && x < left + width && y < top + height; }
};

// What a binding asks the program to do. The program registers one
// handler per action; a misspelt action does not compile.
enum class Action {
    OnMainWindowCreated,
    ShowExtractProgress,
    QuickInstall,
    HighlightLink,
    ShowCustomInstallPage,
    BrowseInstallFolder,
    CustomInstall,
    ShowQuickInstallPage,
    LaunchProduct,
    ConfirmExit,
};

// The action's handler name, for logs and test output.
const char* ActionName(Action action);

struct Binding {
    int event;
    Action action;
};

// Pointer-state images: normal, hover, pressed (resource names; hover and
// pressed fall back to the one before them when absent).
struct Images {
    const char* normal = nullptr;
    const char* hover = nullptr;
    const char* pressed = nullptr;
};

constexpr int kNoPage = -1;  // controls on the window itself, above every page

struct ControlRow {
    std::uint32_t id;
    const char* formName;
    ControlType type;
    std::uint32_t parent;  // 0: the window
    int page;              // page of the page container, or kNoPage
    Rect rect;             // relative to the parent
    rt::Text text;
    int fontSize = 0;
    bool bold = false;
    std::uint32_t colour = 0xFF7A7A7A;
    HAlign hAlign = HAlign::Centre;
    VAlign vAlign = VAlign::Middle;
    int opacity = 255;
    bool enabled = true;
    bool handCursor = false;
    bool isDefault = false;  // the page's button that Enter clicks when no other control has the focus
    rt::Text accessibleName;   // what a screen reader calls a control without a caption of its own
    std::uint32_t valueLabel = 0;  // the ring: the label whose text is its value
    Images images;
    std::vector<Binding> bindings;
};

// Every control of the main window, parents before children, in drawing
// order within a page.
const std::vector<ControlRow>& MainForm();

// What the window backend needs of a form beyond its controls.
struct WindowFrame {
    int width, height;      // of the window and its surface
    int left, top;          // where it first appears
    Rect dragArea;          // away from the controls, a press here drags the window
    std::uint32_t closeControl;  // Alt+F4 and the taskbar's close click this control
    rt::Text accessibleName;     // what a screen reader calls the window
};

// Window geometry.
constexpr int kWindowWidth = 440;
constexpr int kWindowHeight = 540;
constexpr int kDesignLeft = 50;
constexpr int kDesignTop = 50;
constexpr Rect kPanelRect{30, 30, 380, 480};
constexpr int kPanelCornerRadius = 10;

const WindowFrame& MainFrame();

}  // namespace ui
