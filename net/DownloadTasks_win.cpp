#include "net/DownloadTasks.h"

#include <memory>

#include "net/DownloadText.h"
#include "runtime/Program.h"

namespace net {
namespace {

std::unique_ptr<ResumableDownloader>& Shared() {
    static std::unique_ptr<ResumableDownloader> downloader;
    return downloader;
}

}  // namespace

void CreateSharedDownloader() { Shared() = std::make_unique<ResumableDownloader>(); }
void ReleaseSharedDownloader() { Shared().reset(); }
ResumableDownloader* SharedDownloader() { return Shared().get(); }

ProgressCallback BandReporter(int band, ProgressView& view) {
    return [band, &view](const DownloadProgress& p) {
        rt::ProcessPendingEvents();
        view.SetPosition(BandPosition(band, p.total, p.downloaded));
        view.SetLabel(PercentLabel(view.Position()));
    };
}

int RunDownloadTask(const Text& url, const Text& localPath, const ProgressCallback& reporter) {
    ResumableDownloader* downloader = SharedDownloader();
    if (!downloader) return InternetOpenFailed;
    Text message;
    return downloader->Download(url, localPath, reporter, false, 0, message);
}

}  // namespace net
