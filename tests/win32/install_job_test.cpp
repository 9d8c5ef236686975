// The unpacking step of the installation job: the archive component's
// progress event reaches the bound handler, which moves the real window's
// ring and label.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/InstallJob.h"
#include "tests/unit/zip_builder.h"
#include "tests/win32/test_support.h"
#include "ui/ControlIds.h"
#include "ui/Window.h"

using namespace testing_support;

namespace {

using Seen = std::vector<std::pair<std::int64_t, Text>>;

Seen& Reports() {
    static Seen seen;
    return seen;
}

}  // namespace

TEST(InstallJob, UnpackingMovesTheRingThroughTheArchiveComponent) {
    ASSERT_TRUE(ui::LoadToolkit());
    app::RegisterInstallHandlers();
    // The installer's own handler, watched after every report.
    ui::RegisterHandler(ui::Action::ShowExtractProgress, [](std::uint32_t, int percent) {
        app::ShowExtractProgress(percent);
        Reports().emplace_back(
            ui::GetControlProperty(ui::kMainWindowId, ui::kProgressBar, ui::kPropPosition).AsInteger(),
            ui::GetControlProperty(ui::kMainWindowId, ui::kProgressLabel, ui::kPropText).AsText());
    });
    ASSERT_NE(ui::LoadMainWindow(), nullptr);
    ui::SetControlProperty(ui::kMainWindowId, ui::kPageContainer, ui::kPropCurrentPage, ui::kInstallPage);

    ScratchFolder dir("unpack");
    const auto four = testzip::Build({testzip::Entry("a.png", testzip::Text("a")),
                                      testzip::Entry("b.png", testzip::Text("b")),
                                      testzip::Entry("c/d.png", testzip::Text("d")),
                                      testzip::Entry("e.png", testzip::Text("e"))});
    ASSERT_TRUE(WriteWholeFile(dir / "头像.zip", four));
    ASSERT_TRUE(WriteWholeFile(dir / "broken.zip", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'z', 'i', 'p'}));

    struct Case {
        const char* archive;
        int result;
        Seen reports;
    } cases[] = {
        {"头像.zip", 1, {{0, "0%"}, {25, "25%"}, {50, "50%"}, {75, "75%"}, {100, "100%"}}},
        {"broken.zip", 0, {{0, "0%"}}},
        {"missing.zip", -1, {{0, "0%"}}},
    };
    for (const auto& c : cases) {
        Reports().clear();
        ui::SetControlProperty(ui::kMainWindowId, ui::kProgressBar, ui::kPropPosition, 200);
        EXPECT_EQ(app::UnpackPack(dir / c.archive, dir / "head\\"), c.result) << c.archive;
        EXPECT_EQ(Reports(), c.reports) << c.archive;
    }
    EXPECT_TRUE(PathExists(dir / "head\\c\\d.png"));
    ::DestroyWindow(ui::WindowHandleOf(ui::kMainWindowId));
}
