#include "net/DownloadTasks.h"

#include <memory>

#include "net/DownloadText.h"
#include "net/TransferRate.h"
#include "runtime/Program.h"

namespace net {
ProgressCallback BandReporter(int band, ProgressView& view) {
    struct Detail {
        RateMeter meter;
        std::int32_t shownAt = -kDetailIntervalMs;
    };
    auto detail = std::make_shared<Detail>();
    return [band, &view, detail](const DownloadProgress& p) {
        rt::ProcessPendingEvents();
        view.SetPosition(BandPosition(band, p.total, p.downloaded));
        view.SetLabel(PercentLabel(view.Position()));
        detail->meter.Add(p.elapsedMs, p.received);
        if (p.elapsedMs < detail->shownAt) detail->shownAt = -kDetailIntervalMs;  // a new attempt
        const bool last = p.total > 0 && p.downloaded >= p.total;
        if (last || p.elapsedMs - detail->shownAt >= kDetailIntervalMs) {
            detail->shownAt = p.elapsedMs;
            view.SetDetail(ProgressLine(p.downloaded, p.total, detail->meter.BytesPerSecond()));
        }
    };
}

int RunDownloadTask(ResumableDownloader* downloader, const Text& url, const Text& localPath,
                    const ProgressCallback& reporter) {
    if (!downloader) return InternetOpenFailed;
    Text message;
    return downloader->Download(url, localPath, reporter, false, 0, message);
}

}  // namespace net
