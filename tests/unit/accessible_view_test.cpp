// The screen-reader view of the window: which controls a reader is told
// about on each page, and which events a change between frames gives.
#include "ui/AccessibleView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/ControlIds.h"
#include "ui/Form.h"
#include "ui/WindowModel.h"

namespace ui {
namespace {

// "role name=value [states]" per child, for readable comparisons.
std::vector<std::string> Describe(const std::vector<AccessibleNode>& nodes) {
    static const char* const kRoles[] = {"button", "link", "edit", "text", "progress"};
    std::vector<std::string> lines;
    for (const AccessibleNode& n : nodes) {
        std::string line = std::string(kRoles[static_cast<int>(n.role)]) + " " + n.name;
        if (!n.value.empty()) line += "=" + n.value;
        if (n.focused) line += " [focused]";
        if (n.unavailable) line += " [unavailable]";
        lines.push_back(line);
    }
    return lines;
}

void Page(WindowModel& m, int page) { m.Set(kPageContainer, kPropCurrentPage, PropertyValue(page)); }

TEST(AccessibleView, EachPageNamesItsControlsWithRolesAndValues) {
    WindowModel m(MainForm());
    EXPECT_EQ(Describe(AccessibleChildren(m)),
              (std::vector<std::string>{"text LOL Quenra助手", "button 快速安装", "link 自定义安装", "button 关闭"}));

    Page(m, kCustomInstallPage);
    m.Set(kFolderBox, kPropContent, PropertyValue(rt::Text("D:\\游戏\\TaVoli")));
    EXPECT_EQ(Describe(AccessibleChildren(m)),
              (std::vector<std::string>{"text LOL Quenra助手", "text 目录", "edit 目录=D:\\游戏\\TaVoli",
                                        "button 浏览", "button 安装", "link <返回快速安装", "button 关闭"}));

    // Installing: the ring's value is its percentage label, which is not
    // a child of its own; an empty detail line is left out; the exit is
    // unavailable while it is disabled.
    Page(m, kInstallPage);
    m.Set(kProgressLabel, kPropText, PropertyValue(rt::Text("42%")));
    m.Set(kStatusLabel, kPropText, PropertyValue(rt::Text("正在下载主程序..")));
    m.Set(kExitButton, kPropDisabled, PropertyValue(true));
    EXPECT_EQ(Describe(AccessibleChildren(m)),
              (std::vector<std::string>{"text LOL Quenra助手", "progress 安装进度=42%", "text 正在下载主程序..",
                                        "button 关闭 [unavailable]"}));
    const AccessibleNode exit = AccessibleChildren(m).back();
    EXPECT_FALSE(exit.focusable);
    EXPECT_TRUE(exit.clickable);

    Page(m, kFinishPage);
    m.Set(kExitButton, kPropDisabled, PropertyValue(false));
    m.FocusNext(false);
    EXPECT_EQ(Describe(AccessibleChildren(m)),
              (std::vector<std::string>{"text LOL Quenra助手", "button 运 行 [focused]", "button 关闭"}));
}

TEST(AccessibleView, ChangesBetweenFramesBecomeTheEventsAReaderNeeds) {
    WindowModel m(MainForm());
    auto before = AccessibleChildren(m);
    auto step = [&] {
        auto after = AccessibleChildren(m);
        auto events = AccessibleChanges(before, after);
        before = after;
        return events;
    };
    using E = AccessibleEvent;
    using C = AccessibleChange;

    EXPECT_TRUE(step().empty());
    m.FocusNext(false);  // the quick-install button, child 2
    EXPECT_EQ(step(), (std::vector<E>{{C::Focus, 2}}));

    Page(m, kInstallPage);
    EXPECT_EQ(step(), (std::vector<E>{{C::Reorder, 0}}));

    // One value change per percentage step, however often the ring moves.
    m.Set(kProgressBar, kPropPosition, PropertyValue(4));
    EXPECT_TRUE(step().empty());
    m.Set(kProgressLabel, kPropText, PropertyValue(rt::Text("1%")));
    m.Set(kProgressBar, kPropPosition, PropertyValue(5));
    EXPECT_EQ(step(), (std::vector<E>{{C::ValueChange, 2}}));
    m.Set(kProgressLabel, kPropText, PropertyValue(rt::Text("1%")));
    EXPECT_TRUE(step().empty());

    m.Set(kStatusLabel, kPropText, PropertyValue(rt::Text("正在解压..")));
    m.Set(kExitButton, kPropDisabled, PropertyValue(true));
    EXPECT_EQ(step(), (std::vector<E>{{C::NameChange, 3}, {C::StateChange, 4}}));

    // The detail line appearing adds a child: the children are others.
    m.Set(kDetailLabel, kPropText, PropertyValue(rt::Text("1.0 MB / 2.0 MB")));
    EXPECT_EQ(step(), (std::vector<E>{{C::Reorder, 0}}));
}

}  // namespace
}  // namespace ui
