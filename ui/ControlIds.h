// Identifiers of the main window and its controls, with their form names.
#pragma once

#include <cstdint>

namespace ui {

constexpr std::uint32_t kMainWindowId = 0x52010001;

constexpr std::uint32_t kWindowSkin = 0x1601000B;          // 窗口EX1
constexpr std::uint32_t kArchive = 0x16016660;             // ZIP压缩1
constexpr std::uint32_t kPageContainer = 0x16010022;       // 选择夹EX1
constexpr std::uint32_t kExitButton = 0x16010027;          // 图片按钮_退出
constexpr std::uint32_t kLogo = 0x16010023;                // 图片框EX3
constexpr std::uint32_t kProductNameLabel = 0x16010024;    // 标签_软件名
constexpr std::uint32_t kQuickInstallButton = 0x16010025;  // 按钮_快速安装
constexpr std::uint32_t kCustomInstallLink = 0x16010026;   // 标签_自定义安装
constexpr std::uint32_t kBanner = 0x1601002C;              // 图片框EX1
constexpr std::uint32_t kBannerLogo = 0x1601002D;          // 图片框EX2
constexpr std::uint32_t kBannerNameLabel = 0x1601002E;     // 标签_软件名1
constexpr std::uint32_t kFolderCaption = 0x1601002F;       // 标签EX2
constexpr std::uint32_t kFolderBox = 0x16010030;           // 编辑框_自定义目录
constexpr std::uint32_t kBrowseButton = 0x16010031;        // 图片按钮_目录选择
constexpr std::uint32_t kInstallButton = 0x16010032;       // 按钮_自定义安装
constexpr std::uint32_t kBackLink = 0x16010033;            // 标签_返回快速安装
constexpr std::uint32_t kInstallPageLogo = 0x16010034;     // 图片框EX5
constexpr std::uint32_t kInstallPageNameLabel = 0x16010035;  // 标签_软件名2
constexpr std::uint32_t kProgressBar = 0x16010036;         // 进度条EX1
constexpr std::uint32_t kProgressLabel = 0x16010037;       // 标签_进度
constexpr std::uint32_t kStatusLabel = 0x16010038;         // 标签_提示文本
constexpr std::uint32_t kFinishPageLogo = 0x16010039;      // 图片框EX6
constexpr std::uint32_t kFinishPageNameLabel = 0x1601003A;  // 标签_软件名3
constexpr std::uint32_t kCheckMark = 0x1601003B;           // 图片框EX4
constexpr std::uint32_t kRunButton = 0x1601003C;           // 按钮_运行
constexpr std::uint32_t kDetailLabel = 0x1601003D;         // 标签_下载详情: amount, speed, time left

// Pages of the page container.
constexpr int kQuickInstallPage = 0;
constexpr int kCustomInstallPage = 1;
constexpr int kInstallPage = 2;
constexpr int kFinishPage = 3;

// Property numbers, by control type.
constexpr int kPropCurrentPage = 16;  // 选择夹Ex
constexpr int kPropTextColour = 19;   // 标签Ex
constexpr int kPropText = 20;         // 标签Ex
constexpr int kPropPosition = 16;     // 进度条Ex
constexpr int kPropContent = 38;      // 编辑框Ex
constexpr int kPropDisabled = 9;      // 图片按钮Ex

// Event numbers.
constexpr int kEventCreated = 0;
constexpr int kEventClick = 0;
constexpr int kEventHoverState = 9;
constexpr int kEventArchiveProgress = 1;

constexpr int kProgressMaximum = 300;

}  // namespace ui
