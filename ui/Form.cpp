#include "ui/Form.h"

#include "ui/ControlIds.h"

namespace ui {
namespace {

constexpr const char kProductName[] = "LOL Quenra助手";
constexpr std::uint32_t kGrey = 0xFF7A7A7A;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

ControlRow Row(std::uint32_t id, const char* name, ControlType type, std::uint32_t parent, int page, Rect rect) {
    ControlRow c;
    c.id = id;
    c.formName = name;
    c.type = type;
    c.parent = parent;
    c.page = page;
    c.rect = rect;
    return c;
}

ControlRow& Texted(ControlRow& c, const rt::Text& text, int size, bool bold, std::uint32_t colour, HAlign h,
                    VAlign v) {
    c.text = text;
    c.fontSize = size;
    c.bold = bold;
    c.colour = colour;
    c.hAlign = h;
    c.vAlign = v;
    return c;
}

std::vector<ControlRow> Build() {
    std::vector<ControlRow> form;
    auto add = [&form](ControlRow c) -> ControlRow& {
        form.push_back(std::move(c));
        return form.back();
    };

    // The window and its non-visual components.
    add(Row(kMainWindowId, "窗口", ControlType::Window, 0, kNoPage, {0, 0, kWindowWidth, kWindowHeight}))
        .bindings = {{kEventCreated, Action::OnMainWindowCreated}};
    add(Row(kWindowSkin, "窗口EX1", ControlType::WindowSkin, 0, kNoPage, {0, 0, kWindowWidth, kWindowHeight}))
        .images = {"window_background"};
    add(Row(kArchive, "ZIP压缩1", ControlType::Archive, 0, kNoPage, {}))
        .bindings = {{kEventArchiveProgress, Action::ShowExtractProgress}};
    add(Row(kPageContainer, "选择夹EX1", ControlType::PageContainer, 0, kNoPage, kPanelRect));

    // Page 0: quick install.
    add(Row(kLogo, "图片框EX3", ControlType::PictureBox, kPageContainer, 0, {130, 93, 120, 120})).images = {"logo"};
    Texted(add(Row(kProductNameLabel, "标签_软件名", ControlType::Label, kPageContainer, 0, {2, 222, 376, 34})),
           kProductName, 21, true, kGrey, HAlign::Centre, VAlign::Top);
    {
        ControlRow& b = add(Row(kQuickInstallButton, "按钮_快速安装", ControlType::Button, kPageContainer, 0,
                                 {80, 324, 220, 50}));
        Texted(b, "快速安装", 15, true, kWhite, HAlign::Centre, VAlign::Middle);
        b.images = {"quick_normal", "quick_hover", "quick_pressed"};
        b.isDefault = true;
        b.bindings = {{kEventClick, Action::QuickInstall}};
    }
    {
        ControlRow& l = add(Row(kCustomInstallLink, "标签_自定义安装", ControlType::Label, kPageContainer, 0,
                                 {80, 388, 220, 29}));
        Texted(l, "自定义安装", 13, false, kGrey, HAlign::Centre, VAlign::Middle);
        l.handCursor = true;
        l.bindings = {{kEventHoverState, Action::HighlightLink}, {kEventClick, Action::ShowCustomInstallPage}};
    }

    // Page 1: custom install.
    {
        ControlRow& banner = add(Row(kBanner, "图片框EX1", ControlType::PictureBox, kPageContainer, 1, {0, 0, 380, 226}));
        banner.images = {"banner"};
        banner.opacity = 245;
    }
    {
        ControlRow& logo = add(Row(kBannerLogo, "图片框EX2", ControlType::PictureBox, kBanner, 1, {142, 49, 96, 96}));
        logo.images = {"logo"};
        logo.enabled = false;
    }
    Texted(add(Row(kBannerNameLabel, "标签_软件名1", ControlType::Label, kBanner, 1, {2, 153, 376, 37})), kProductName,
           21, true, kWhite, HAlign::Centre, VAlign::Top)
        .enabled = false;
    Texted(add(Row(kFolderCaption, "标签EX2", ControlType::Label, kPageContainer, 1, {30, 283, 38, 26})), "目录", 14,
           false, kGrey, HAlign::Left, VAlign::Middle);
    {
        ControlRow& box = add(Row(kFolderBox, "编辑框_自定义目录", ControlType::EditBox, kPageContainer, 1,
                                   {75, 279, 230, 34}));
        Texted(box, "", 13, false, kGrey, HAlign::Left, VAlign::Middle);
        box.images = {"folderbox_normal", "folderbox_focus"};
        box.accessibleName = "目录";
    }
    {
        ControlRow& b = add(Row(kBrowseButton, "图片按钮_目录选择", ControlType::ImageButton, kPageContainer, 1,
                                 {318, 283, 26, 26}));
        b.images = {"browse_normal", "browse_hover", "browse_hover"};
        b.accessibleName = "浏览";
        b.handCursor = true;
        b.bindings = {{kEventClick, Action::BrowseInstallFolder}};
    }
    {
        ControlRow& b = add(Row(kInstallButton, "按钮_自定义安装", ControlType::Button, kPageContainer, 1,
                                 {75, 343, 230, 40}));
        Texted(b, "安装", 15, true, kWhite, HAlign::Centre, VAlign::Middle);
        b.images = {"install_normal", "install_hover", "install_pressed"};
        b.isDefault = true;
        b.bindings = {{kEventClick, Action::CustomInstall}};
    }
    {
        ControlRow& l = add(Row(kBackLink, "标签_返回快速安装", ControlType::Label, kPageContainer, 1,
                                 {75, 407, 230, 30}));
        Texted(l, "<返回快速安装", 13, false, kGrey, HAlign::Centre, VAlign::Middle);
        l.handCursor = true;
        l.bindings = {{kEventHoverState, Action::HighlightLink}, {kEventClick, Action::ShowQuickInstallPage}};
    }

    // Page 2: installing.
    add(Row(kInstallPageLogo, "图片框EX5", ControlType::PictureBox, kPageContainer, 2, {30, 20, 30, 30})).images = {"logo"};
    Texted(add(Row(kInstallPageNameLabel, "标签_软件名2", ControlType::Label, kPageContainer, 2, {62, 24, 236, 32})),
           kProductName, 16, false, kGrey, HAlign::Left, VAlign::Top)
        .opacity = 200;
    {
        ControlRow& ring = add(Row(kProgressBar, "进度条EX1", ControlType::ProgressRing, kPageContainer, 2,
                                    {115, 150, 150, 150}));
        ring.images = {"ring_track", "ring_fill"};
        ring.accessibleName = "安装进度";
        ring.valueLabel = kProgressLabel;
    }
    Texted(add(Row(kProgressLabel, "标签_进度", ControlType::Label, kPageContainer, 2, {139, 197, 102, 58})), "0%", 25,
           false, kGrey, HAlign::Centre, VAlign::Middle);
    Texted(add(Row(kStatusLabel, "标签_提示文本", ControlType::Label, kPageContainer, 2, {10, 340, 360, 40})),
           "请稍候..", 16, false, kGrey, HAlign::Centre, VAlign::Middle)
        .opacity = 150;
    Texted(add(Row(kDetailLabel, "标签_下载详情", ControlType::Label, kPageContainer, 2, {10, 382, 360, 24})), "", 12,
           false, kGrey, HAlign::Centre, VAlign::Middle)
        .opacity = 150;

    // Page 3: finished.
    add(Row(kFinishPageLogo, "图片框EX6", ControlType::PictureBox, kPageContainer, 3, {30, 20, 30, 30})).images = {"logo"};
    Texted(add(Row(kFinishPageNameLabel, "标签_软件名3", ControlType::Label, kPageContainer, 3, {62, 24, 239, 26})),
           kProductName, 16, false, kGrey, HAlign::Left, VAlign::Top)
        .opacity = 200;
    add(Row(kCheckMark, "图片框EX4", ControlType::PictureBox, kPageContainer, 3, {127, 141, 120, 120})).images = {
        "check_mark"};
    {
        ControlRow& b = add(Row(kRunButton, "按钮_运行", ControlType::Button, kPageContainer, 3, {93, 325, 194, 40}));
        Texted(b, "运 行", 15, true, kWhite, HAlign::Centre, VAlign::Middle);
        b.images = {"run_normal", "run_hover", "run_pressed"};
        b.isDefault = true;
        b.bindings = {{kEventClick, Action::LaunchProduct}};
    }

    // On the window, above every page.
    {
        ControlRow& b = add(Row(kExitButton, "图片按钮_退出", ControlType::ImageButton, 0, kNoPage, {370, 44, 26, 26}));
        b.images = {"exit_normal", "exit_hover", "exit_pressed"};
        b.accessibleName = "关闭";
        b.bindings = {{kEventClick, Action::ConfirmExit}};
    }
    return form;
}

}  // namespace

const char* ActionName(Action action) {
    switch (action) {
        case Action::OnMainWindowCreated: return "OnMainWindowCreated";
        case Action::ShowExtractProgress: return "ShowExtractProgress";
        case Action::QuickInstall: return "QuickInstall";
        case Action::HighlightLink: return "HighlightLink";
        case Action::ShowCustomInstallPage: return "ShowCustomInstallPage";
        case Action::BrowseInstallFolder: return "BrowseInstallFolder";
        case Action::CustomInstall: return "CustomInstall";
        case Action::ShowQuickInstallPage: return "ShowQuickInstallPage";
        case Action::LaunchProduct: return "LaunchProduct";
        case Action::ConfirmExit: return "ConfirmExit";
    }
    return "?";
}

const WindowFrame& MainFrame() {
    static const WindowFrame frame{kWindowWidth, kWindowHeight, kDesignLeft, kDesignTop,
                                   kPanelRect,   kExitButton,   kProductName};
    return frame;
}

const std::vector<ControlRow>& MainForm() {
    static const std::vector<ControlRow> form = Build();
    return form;
}

}  // namespace ui
