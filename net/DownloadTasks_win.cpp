#include "net/DownloadTasks.h"

#include <memory>

#include "net/DownloadText.h"
#include "runtime/Convert.h"
#include "runtime/Program.h"
#include "ui/ControlIds.h"
#include "ui/Window.h"

namespace net {
namespace {

std::unique_ptr<ResumableDownloader>& Shared() {
    static std::unique_ptr<ResumableDownloader> downloader;
    return downloader;
}

Text TextAt(const char* address) { return address ? Text(address) : Text(); }

LRESULT Report(int base, HWND a, UINT b, WPARAM c, LPARAM d) {
    rt::ProcessPendingEvents();
    const ProgressArgs args = ReadProgressArgs(a, b, c, d);
    const std::int64_t total = rt::ToInt64(TextAt(args.totalText));
    const std::int64_t downloaded = rt::ToInt64(TextAt(args.downloadedText));
    ui::SetControlProperty(ui::kMainWindowId, ui::kProgressBar, ui::kPropPosition, BandPosition(base, total, downloaded));
    const std::int64_t position =
        ui::GetControlProperty(ui::kMainWindowId, ui::kProgressBar, ui::kPropPosition).AsInteger();
    ui::SetControlProperty(ui::kMainWindowId, ui::kProgressLabel, ui::kPropText, PercentLabel(position));
    return 0;
}

}  // namespace

void CreateSharedDownloader() { Shared() = std::make_unique<ResumableDownloader>(); }
void ReleaseSharedDownloader() { Shared().reset(); }
ResumableDownloader* SharedDownloader() { return Shared().get(); }

LRESULT CALLBACK AvatarPackProgress(HWND a, UINT b, WPARAM c, LPARAM d) { return Report(0, a, b, c, d); }
LRESULT CALLBACK BeautifyPackProgress(HWND a, UINT b, WPARAM c, LPARAM d) { return Report(100, a, b, c, d); }
LRESULT CALLBACK ProgramFileProgress(HWND a, UINT b, WPARAM c, LPARAM d) { return Report(200, a, b, c, d); }

int RunDownloadTask(const Text& url, const Text& localPath, ProgressCallback reporter) {
    ResumableDownloader* downloader = SharedDownloader();
    if (!downloader) return InternetOpenFailed;
    Text message;
    return downloader->Download(url, localPath, reporter, false, 0, message);
}

}  // namespace net
