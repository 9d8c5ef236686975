// The toolkit's core without a window: properties, pages, pointer input,
// event bindings and repaint coalescing.
#include <gtest/gtest.h>

#include <vector>

#include "ui/ControlIds.h"
#include "ui/Form.h"
#include "ui/Screens.h"
#include "ui/TaskbarProgress.h"
#include "ui/WindowModel.h"

using namespace ui;

namespace {

// Centre of a control in window coordinates.
struct Point {
    int x, y;
};
Point CentreOf(const WindowModel& m, std::uint32_t id) {
    const ControlState* c = m.Find(id);
    return {c->bounds.left + c->bounds.width / 2, c->bounds.top + c->bounds.height / 2};
}

struct Recorder {
    std::vector<std::string> calls;
    void Bind(WindowModel& m, Action action) {
        const char* name = ActionName(action);
        m.RegisterHandler(action, [this, name](std::uint32_t, int arg) { calls.push_back(std::string(name) + "(" + std::to_string(arg) + ")"); });
    }
};

}  // namespace

TEST(Form, EveryControlHasItsIdentifierTypeAndPlace) {
    WindowModel m(MainForm());
    struct Row {
        std::uint32_t id;
        ControlType type;
        int page;
        Rect bounds;  // window coordinates
    } rows[] = {
        {kPageContainer, ControlType::PageContainer, kNoPage, {30, 30, 380, 480}},
        {kExitButton, ControlType::ImageButton, kNoPage, {370, 44, 26, 26}},
        {kLogo, ControlType::PictureBox, 0, {160, 123, 120, 120}},
        {kProductNameLabel, ControlType::Label, 0, {32, 252, 376, 34}},
        {kQuickInstallButton, ControlType::Button, 0, {110, 354, 220, 50}},
        {kCustomInstallLink, ControlType::Label, 0, {110, 418, 220, 29}},
        {kBanner, ControlType::PictureBox, 1, {30, 30, 380, 226}},
        {kBannerLogo, ControlType::PictureBox, 1, {172, 79, 96, 96}},
        {kBannerNameLabel, ControlType::Label, 1, {32, 183, 376, 37}},
        {kFolderCaption, ControlType::Label, 1, {60, 313, 38, 26}},
        {kFolderBox, ControlType::EditBox, 1, {105, 309, 230, 34}},
        {kBrowseButton, ControlType::ImageButton, 1, {348, 313, 26, 26}},
        {kInstallButton, ControlType::Button, 1, {105, 373, 230, 40}},
        {kBackLink, ControlType::Label, 1, {105, 437, 230, 30}},
        {kInstallPageLogo, ControlType::PictureBox, 2, {60, 50, 30, 30}},
        {kInstallPageNameLabel, ControlType::Label, 2, {92, 54, 236, 32}},
        {kProgressBar, ControlType::ProgressRing, 2, {145, 180, 150, 150}},
        {kProgressLabel, ControlType::Label, 2, {169, 227, 102, 58}},
        {kStatusLabel, ControlType::Label, 2, {40, 370, 360, 40}},
        {kDetailLabel, ControlType::Label, 2, {40, 412, 360, 24}},
        {kFinishPageLogo, ControlType::PictureBox, 3, {60, 50, 30, 30}},
        {kFinishPageNameLabel, ControlType::Label, 3, {92, 54, 239, 26}},
        {kCheckMark, ControlType::PictureBox, 3, {157, 171, 120, 120}},
        {kRunButton, ControlType::Button, 3, {123, 355, 194, 40}},
    };
    for (const Row& r : rows) {
        const ControlState* c = m.Find(r.id);
        ASSERT_NE(c, nullptr) << std::hex << r.id;
        EXPECT_EQ(c->row->type, r.type) << c->row->formName;
        EXPECT_EQ(c->row->page, r.page) << c->row->formName;
        EXPECT_EQ(c->bounds.left, r.bounds.left) << c->row->formName;
        EXPECT_EQ(c->bounds.top, r.bounds.top) << c->row->formName;
        EXPECT_EQ(c->bounds.width, r.bounds.width) << c->row->formName;
        EXPECT_EQ(c->bounds.height, r.bounds.height) << c->row->formName;
    }
    EXPECT_NE(m.Find(kArchive), nullptr);
    EXPECT_NE(m.Find(kWindowSkin), nullptr);
}

TEST(Form, InitialTextsOpacitiesAndStates) {
    WindowModel m(MainForm());
    EXPECT_EQ(m.currentPage(), kQuickInstallPage);
    EXPECT_EQ(m.Get(kProductNameLabel, kPropText).AsText(), "LOL Quenra助手");
    EXPECT_EQ(m.Get(kProgressLabel, kPropText).AsText(), "0%");
    EXPECT_EQ(m.Get(kStatusLabel, kPropText).AsText(), "请稍候..");
    EXPECT_EQ(m.Find(kRunButton)->text, "运 行");
    EXPECT_EQ(m.Get(kCustomInstallLink, kPropTextColour).AsInteger(), 0xFF7A7A7A);
    EXPECT_EQ(m.Get(kBannerNameLabel, kPropTextColour).AsInteger(), 0xFFFFFFFF);
    EXPECT_EQ(m.Find(kBanner)->row->opacity, 245);
    EXPECT_EQ(m.Find(kInstallPageNameLabel)->row->opacity, 200);
    EXPECT_EQ(m.Find(kFinishPageNameLabel)->row->opacity, 200);
    EXPECT_EQ(m.Find(kStatusLabel)->row->opacity, 150);
    EXPECT_TRUE(m.Find(kBannerLogo)->disabled);
    EXPECT_TRUE(m.Find(kBannerNameLabel)->disabled);
    EXPECT_EQ(m.Get(kExitButton, kPropDisabled).AsInteger(), 0);
    EXPECT_EQ(m.Get(kProgressBar, kPropPosition).AsInteger(), 0);
    EXPECT_TRUE(m.Find(kCustomInstallLink)->row->handCursor);
    EXPECT_TRUE(m.Find(kBackLink)->row->handCursor);
    EXPECT_TRUE(m.Find(kBrowseButton)->row->handCursor);
    EXPECT_FALSE(m.Find(kQuickInstallButton)->row->handCursor);
}

TEST(Properties, ReadingGivesWhatIsShown) {
    WindowModel m(MainForm());
    EXPECT_TRUE(m.Set(kPageContainer, kPropCurrentPage, 2));
    EXPECT_EQ(m.Get(kPageContainer, kPropCurrentPage).AsInteger(), 2);
    EXPECT_TRUE(m.Set(kStatusLabel, kPropText, "正在安装中，请耐心等待..."));
    EXPECT_EQ(m.Get(kStatusLabel, kPropText).AsText(), "正在安装中，请耐心等待...");
    EXPECT_TRUE(m.Set(kCustomInstallLink, kPropTextColour, std::uint32_t{0xFF000000}));
    EXPECT_EQ(m.Get(kCustomInstallLink, kPropTextColour).AsInteger(), 0xFF000000);
    EXPECT_TRUE(m.Set(kFolderBox, kPropContent, "D:\\Games"));
    EXPECT_EQ(m.Get(kFolderBox, kPropContent).AsText(), "D:\\Games");
    EXPECT_TRUE(m.Set(kExitButton, kPropDisabled, true));
    EXPECT_EQ(m.Get(kExitButton, kPropDisabled).AsInteger(), 1);

    // The ring holds 0 to 300: what it reports back is what it shows.
    const std::pair<int, int> positions[] = {{151, 151}, {300, 300}, {301, 300}, {450, 300}, {-5, 0}};
    for (auto [set, held] : positions) {
        m.Set(kProgressBar, kPropPosition, set);
        EXPECT_EQ(m.Get(kProgressBar, kPropPosition).AsInteger(), held) << set;
    }

    // Properties of another type, or unknown controls, do not exist.
    EXPECT_FALSE(m.Get(kProgressBar, kPropText).valid());
    EXPECT_FALSE(m.Set(kProgressBar, kPropText, "x"));
    EXPECT_FALSE(m.Get(0x16019999, kPropText).valid());
}

TEST(Painting, UnchangedWritesCostNothingAndManyWritesOnePaint) {
    WindowModel m(MainForm());
    int requests = 0;
    m.SetPaintRequester([&] { ++requests; });
    m.Set(kPageContainer, kPropCurrentPage, 2);
    EXPECT_EQ(requests, 1);
    m.Painted();

    m.Set(kProgressBar, kPropPosition, 0);  // the value it has
    m.Set(kProgressLabel, kPropText, "0%");
    m.Set(kPageContainer, kPropCurrentPage, 2);
    EXPECT_EQ(requests, 1);
    EXPECT_FALSE(m.dirty());

    for (int i = 1; i <= 1000; ++i) {  // a download's worth of reports between two dispatches
        m.Set(kProgressBar, kPropPosition, i % 300);
        m.Set(kProgressLabel, kPropText, std::to_string(i % 100) + "%");
    }
    EXPECT_EQ(requests, 2);
    m.Painted();

    m.Set(kFolderBox, kPropContent, "C:\\x");  // a hidden page: nothing to repaint now
    EXPECT_EQ(requests, 2);
    m.Set(kPageContainer, kPropCurrentPage, 1);
    EXPECT_EQ(requests, 3);
}

TEST(Pointer, HoverStateEventsAndClicksReachTheirBindings) {
    WindowModel m(MainForm());
    Recorder r;
    for (Action action : {Action::HighlightLink, Action::ShowCustomInstallPage, Action::QuickInstall, Action::ConfirmExit})
        r.Bind(m, action);

    const Point link = CentreOf(m, kCustomInstallLink);
    m.PointerMoved(link.x, link.y);
    m.PointerMoved(link.x + 1, link.y);  // still over it: no new event
    m.PointerMoved(5, 5);                // off the panel
    EXPECT_EQ(r.calls, (std::vector<std::string>{"HighlightLink(1)", "HighlightLink(0)"}));

    r.calls.clear();
    const Point quick = CentreOf(m, kQuickInstallButton);
    m.ButtonDown(quick.x, quick.y);
    EXPECT_EQ(m.StateOf(kQuickInstallButton), PointerState::Pressed);
    m.ButtonUp(quick.x, quick.y);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"QuickInstall(0)"}));

    // Press on one control and release elsewhere: no click.
    r.calls.clear();
    m.ButtonDown(quick.x, quick.y);
    m.ButtonUp(5, 5);
    EXPECT_TRUE(r.calls.empty());

    // A message box takes the pointer mid-press: the release over the
    // button afterwards is no click.
    m.ButtonDown(quick.x, quick.y);
    m.CaptureLost();
    EXPECT_EQ(m.StateOf(kQuickInstallButton), PointerState::Hover);
    m.ButtonUp(quick.x, quick.y);
    EXPECT_TRUE(r.calls.empty());

    // The exit button answers over every page; disabled, it raises nothing.
    const Point exit = CentreOf(m, kExitButton);
    m.Set(kPageContainer, kPropCurrentPage, 1);
    m.ButtonDown(exit.x, exit.y);
    m.ButtonUp(exit.x, exit.y);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"ConfirmExit(0)"}));
    m.Set(kExitButton, kPropDisabled, true);
    m.ButtonDown(exit.x, exit.y);
    m.ButtonUp(exit.x, exit.y);
    m.RaiseEvent(kExitButton, kEventClick);  // a close request goes the same way
    EXPECT_EQ(r.calls.size(), 1u);
}

TEST(Pointer, OnlyTheCurrentPageIsHitAndDisabledControlsAreSkipped) {
    WindowModel m(MainForm());
    const Point quick{112, 400};  // inside the quick-install button, outside the run button
    EXPECT_EQ(m.ControlAt(quick.x, quick.y), kQuickInstallButton);
    m.Set(kPageContainer, kPropCurrentPage, 3);
    EXPECT_EQ(m.ControlAt(quick.x, quick.y), 0u);
    const Point run = CentreOf(m, kRunButton);
    EXPECT_EQ(m.ControlAt(run.x, run.y), kRunButton);

    m.Set(kPageContainer, kPropCurrentPage, 1);
    const Point bannerLogo = CentreOf(m, kBannerLogo);
    EXPECT_EQ(m.ControlAt(bannerLogo.x, bannerLogo.y), 0u);  // disabled, no events
    const Point browse = CentreOf(m, kBrowseButton);
    EXPECT_TRUE(m.WantsHandCursor(browse.x, browse.y));
    const Point caption = CentreOf(m, kFolderCaption);
    EXPECT_FALSE(m.WantsHandCursor(caption.x, caption.y));
}

TEST(Pointer, HiddenLinksLoseTheirHover) {
    WindowModel m(MainForm());
    Recorder r;
    r.Bind(m, Action::HighlightLink);
    m.RegisterHandler(ui::Action::ShowCustomInstallPage, [&](std::uint32_t, int) { m.Set(kPageContainer, kPropCurrentPage, 1); });
    const Point link = CentreOf(m, kCustomInstallLink);
    m.PointerMoved(link.x, link.y);
    m.ButtonDown(link.x, link.y);
    m.ButtonUp(link.x, link.y);
    EXPECT_EQ(m.currentPage(), 1);
    // The link's page is gone: its highlight was switched off.
    EXPECT_EQ(r.calls, (std::vector<std::string>{"HighlightLink(1)", "HighlightLink(0)"}));
}

TEST(EditBox, TypingGoesToTheFocusedBox) {
    WindowModel m(MainForm());
    m.Set(kPageContainer, kPropCurrentPage, 1);
    m.Set(kFolderBox, kPropContent, "D:\\");
    const Point box = CentreOf(m, kFolderBox);
    m.TypeText("x");  // not focused yet
    m.ButtonDown(box.x, box.y);
    m.ButtonUp(box.x, box.y);
    EXPECT_EQ(m.focused(), kFolderBox);
    m.TypeText("游戏");
    EXPECT_EQ(m.Get(kFolderBox, kPropContent).AsText(), "D:\\游戏");
    m.Backspace();
    EXPECT_EQ(m.Get(kFolderBox, kPropContent).AsText(), "D:\\游");
    m.Set(kPageContainer, kPropCurrentPage, 0);
    EXPECT_EQ(m.focused(), 0u);
}

TEST(Screens, EachScreenSetsPageExitStatusAndRing) {
    struct Case {
        Screen screen;
        int page;
        bool exitDisabled;
        rt::Text status;  // what the status line shows afterwards
        std::int64_t ring;
    } cases[] = {
        {Screen::Installing, kInstallPage, true, "正在安装中，请耐心等待...", 0},
        {Screen::Finished, kFinishPage, false, "kept", 250},
        {Screen::Choice, kQuickInstallPage, false, "kept", 250},
        {Screen::CustomChoice, kCustomInstallPage, false, "kept", 250},
    };
    for (const Case& c : cases) {
        WindowModel m(MainForm());
        // Whatever the window showed before: a disabled exit, a ring part way.
        m.Set(kExitButton, kPropDisabled, !c.exitDisabled);
        m.Set(kStatusLabel, kPropText, "kept");
        m.Set(kProgressBar, kPropPosition, 250);
        ApplyScreen(m, c.screen);
        EXPECT_EQ(m.currentPage(), c.page);
        EXPECT_EQ(m.Get(kExitButton, kPropDisabled).AsInteger() != 0, c.exitDisabled);
        EXPECT_EQ(m.Get(kStatusLabel, kPropText).AsText(), c.status);
        EXPECT_EQ(m.Get(kProgressBar, kPropPosition).AsInteger(), c.ring);
        if (c.ring == 0) {
            EXPECT_EQ(m.Get(kProgressLabel, kPropText).AsText(), "0%");
        }
    }
}

TEST(Keyboard, TabGoesThroughThePageInFormOrderAndRoundTheEnd) {
    struct Case {
        int page;
        std::vector<std::uint32_t> order;
    } cases[] = {
        {kQuickInstallPage, {kQuickInstallButton, kCustomInstallLink, kExitButton}},
        {kCustomInstallPage, {kFolderBox, kBrowseButton, kInstallButton, kBackLink, kExitButton}},
        {kFinishPage, {kRunButton, kExitButton}},
    };
    for (const Case& c : cases) {
        WindowModel m(MainForm());
        m.Set(kPageContainer, kPropCurrentPage, c.page);
        EXPECT_FALSE(m.focusVisible());
        std::vector<std::uint32_t> seen;
        for (size_t i = 0; i <= c.order.size(); ++i) {
            m.FocusNext(false);
            seen.push_back(m.focused());
        }
        std::vector<std::uint32_t> expected = c.order;
        expected.push_back(c.order.front());  // round the end
        EXPECT_EQ(seen, expected) << c.page;
        EXPECT_TRUE(m.focusVisible());
        m.FocusNext(true);
        EXPECT_EQ(m.focused(), c.order.back()) << c.page;
    }
    // While installing only the exit button is there, and it is disabled:
    // it loses the focus, and Tab finds nothing.
    WindowModel m(MainForm());
    m.FocusNext(true);
    ASSERT_EQ(m.focused(), kExitButton);
    m.Set(kPageContainer, kPropCurrentPage, kInstallPage);
    m.Set(kExitButton, kPropDisabled, true);
    EXPECT_EQ(m.focused(), 0u);
    m.FocusNext(false);
    EXPECT_EQ(m.focused(), 0u);
    EXPECT_FALSE(m.focusVisible());
}

TEST(Keyboard, EnterAndSpaceClickTheFocusedControlOrThePagesDefault) {
    WindowModel m(MainForm());
    Recorder r;
    for (Action action : {Action::QuickInstall, Action::ShowCustomInstallPage, Action::CustomInstall,
                          Action::ConfirmExit, Action::LaunchProduct, Action::HighlightLink})
        r.Bind(m, action);
    m.Enter();  // nothing focused: the quick-install button
    m.FocusNext(false);
    m.FocusNext(false);  // the custom-install link
    m.Space();
    m.FocusNext(false);  // the exit button
    m.Enter();
    EXPECT_EQ(r.calls, (std::vector<std::string>{"QuickInstall(0)", "ShowCustomInstallPage(0)", "ConfirmExit(0)"}));

    // In the edit box Enter installs and Space types; the press of the
    // pointer hides the ring.
    r.calls.clear();
    m.Set(kPageContainer, kPropCurrentPage, kCustomInstallPage);
    m.Set(kFolderBox, kPropContent, "C:\\Games");
    m.FocusNext(false);
    ASSERT_EQ(m.focused(), kFolderBox);
    m.Space();
    m.TypeText(" ");
    m.Enter();
    EXPECT_EQ(m.Get(kFolderBox, kPropContent).AsText(), "C:\\Games ");
    EXPECT_EQ(r.calls, (std::vector<std::string>{"CustomInstall(0)"}));
    const Point box = CentreOf(m, kFolderBox);
    m.ButtonDown(box.x, box.y);
    m.ButtonUp(box.x, box.y);
    EXPECT_FALSE(m.focusVisible());
    EXPECT_EQ(m.focused(), kFolderBox);  // still typing there

    // Typing never reaches a focused button.
    m.FocusNext(false);
    m.TypeText("x");
    m.Backspace();
    EXPECT_EQ(m.Get(kFolderBox, kPropContent).AsText(), "C:\\Games ");

    // On the finish page Enter runs the product.
    r.calls.clear();
    m.Set(kPageContainer, kPropCurrentPage, kFinishPage);
    m.Enter();
    EXPECT_EQ(r.calls, (std::vector<std::string>{"LaunchProduct(0)"}));
}

TEST(Taskbar, TheButtonMirrorsTheJob) {
    struct Case {
        JobState state;
        std::int64_t position;
        TaskbarMark mark;
        bool setValue;
        std::uint64_t completed;
    } cases[] = {
        {JobState::Working, 0, TaskbarMark::Normal, true, 0},
        {JobState::Working, 150, TaskbarMark::Normal, true, 150},
        {JobState::Working, 400, TaskbarMark::Normal, true, 300},  // never past the whole
        {JobState::Working, -5, TaskbarMark::Normal, true, 0},
        {JobState::Failed, 120, TaskbarMark::Error, true, 120},    // the error keeps where it stopped
        {JobState::Idle, 300, TaskbarMark::None, false, 0},
    };
    for (const Case& c : cases) {
        const TaskbarCall call = TaskbarCallFor(c.state, c.position, kProgressMaximum);
        EXPECT_EQ(call.mark, c.mark) << c.position;
        EXPECT_EQ(call.setValue, c.setValue) << c.position;
        if (call.setValue) {
            EXPECT_EQ(call.completed, c.completed) << c.position;
            EXPECT_EQ(call.total, 300u);
        }
    }
}
