#include "net/DownloadTasks.h"

#include "net/DownloadText.h"
#include "runtime/Program.h"

namespace net {
ProgressCallback BandReporter(int band, ProgressView& view) {
    return [band, &view](const DownloadProgress& p) {
        rt::ProcessPendingEvents();
        view.SetPosition(BandPosition(band, p.total, p.downloaded));
        view.SetLabel(PercentLabel(view.Position()));
    };
}

int RunDownloadTask(ResumableDownloader* downloader, const Text& url, const Text& localPath,
                    const ProgressCallback& reporter) {
    if (!downloader) return InternetOpenFailed;
    Text message;
    return downloader->Download(url, localPath, reporter, false, 0, message);
}

}  // namespace net
