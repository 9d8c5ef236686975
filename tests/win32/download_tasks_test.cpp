// The three download tasks move the real window's ring through its bands.
#include <gtest/gtest.h>

#include "app/InstallRing.h"
#include "net/DownloadTasks.h"
#include "tests/win32/test_support.h"
#include "ui/ControlIds.h"
#include "ui/Window.h"

using namespace testing_support;

namespace {

std::int64_t Position() { return ui::GetControlProperty(ui::kMainWindowId, ui::kProgressBar, ui::kPropPosition).AsInteger(); }
Text Label() { return ui::GetControlProperty(ui::kMainWindowId, ui::kProgressLabel, ui::kPropText).AsText(); }

}  // namespace

TEST(DownloadTasks, BandsEndAtTheirTopsAndNoSizeLeavesTheBarAtItsBase) {
    ASSERT_TRUE(ui::LoadToolkit());
    ASSERT_NE(ui::LoadMainWindow(), nullptr);  // the real form, no handlers bound
    ui::SetControlProperty(ui::kMainWindowId, ui::kPageContainer, ui::kPropCurrentPage, ui::kInstallPage);
    net::ResumableDownloader downloader;
    ScratchFolder dir("tasks");

    struct Case {
        int band;
        Text path;
        std::int64_t position;
        Text label;
    } cases[] = {
        {net::kAvatarPackBand, "/__gen/50000", 100, "33%"},
        {net::kBeautifyPackBand, "/__gen/50000", 200, "66%"},
        {net::kProgramFileBand, "/__gen/50000", 300, "100%"},
        {net::kAvatarPackBand, "/__b/nolength/__gen/50000", 0, "0%"},
        {net::kBeautifyPackBand, "/__b/nolength/__gen/50000", 100, "33%"},
        {net::kProgramFileBand, "/__b/nolength/__gen/50000", 200, "66%"},
    };
    for (const auto& c : cases) {
        ui::SetControlProperty(ui::kMainWindowId, ui::kProgressBar, ui::kPropPosition, 7);
        EXPECT_EQ(net::RunDownloadTask(&downloader, ServerBase() + c.path, dir / "f.bin", net::BandReporter(c.band, app::InstallRing())), net::DownloadCompleted);
        EXPECT_EQ(Position(), c.position) << c.path;
        EXPECT_EQ(Label(), c.label) << c.path;
    }
    // The label is the position read back, divided by 3: a transfer cut at
    // 51 % of the second band stops the bar at 151, which reads "50%".
    ui::SetControlProperty(ui::kMainWindowId, ui::kProgressLabel, ui::kPropText, "unchanged");
    net::RunDownloadTask(&downloader, ServerBase() + "/__b/cut=25500/__gen/50000", dir / "h.bin",
                         net::BandReporter(net::kBeautifyPackBand, app::InstallRing()));
    EXPECT_EQ(Position(), 151);
    EXPECT_EQ(Label(), "50%");
    // A task that receives nothing leaves the bar and the label alone.
    ui::SetControlProperty(ui::kMainWindowId, ui::kProgressBar, ui::kPropPosition, 151);
    ui::SetControlProperty(ui::kMainWindowId, ui::kProgressLabel, ui::kPropText, "50%");
    EXPECT_EQ(net::RunDownloadTask(&downloader, ServerBase() + "/__b/status=404/x", dir / "g.bin",
                                   net::BandReporter(net::kProgramFileBand, app::InstallRing())),
              net::HttpStatusFailed);
    EXPECT_EQ(Position(), 151);
    EXPECT_EQ(Label(), "50%");
    ::DestroyWindow(ui::WindowHandleOf(ui::kMainWindowId));
}
