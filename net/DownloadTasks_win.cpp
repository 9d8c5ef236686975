#include "net/DownloadTasks.h"

#include <chrono>
#include <memory>

#include "net/DispatchThrottle.h"
#include "net/DownloadText.h"
#include "net/TransferRate.h"
#include "runtime/Program.h"

namespace net {
ProgressCallback BandReporter(int band, ProgressView& view) {
    struct Detail {
        RateMeter meter;
        std::int32_t shownAt = -kDetailIntervalMs;
        DispatchThrottle dispatch;
    };
    auto detail = std::make_shared<Detail>();
    return [band, &view, detail](const DownloadProgress& p) {
        view.SetPosition(BandPosition(band, p.total, p.downloaded));
        view.SetLabel(PercentLabel(view.Position()));
        detail->meter.Add(p.elapsedMs, p.received);
        if (p.elapsedMs < detail->shownAt) detail->shownAt = -kDetailIntervalMs;  // a new attempt
        const bool last = p.total > 0 && p.downloaded >= p.total;
        if (last || p.elapsedMs - detail->shownAt >= kDetailIntervalMs) {
            detail->shownAt = p.elapsedMs;
            view.SetDetail(ProgressLine(p.downloaded, p.total, detail->meter.BytesPerSecond()));
        }
        // The window paints what changed and answers input when the
        // throttle lets it (the view only marks what it must paint).
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        if (detail->dispatch.Due(std::chrono::duration_cast<std::chrono::microseconds>(now).count(), last))
            rt::ProcessPendingEvents();
    };
}

int RunDownloadTask(ResumableDownloader* downloader, const Text& url, const Text& localPath,
                    const ProgressCallback& reporter) {
    if (!downloader) return InternetOpenFailed;
    Text message;
    return downloader->Download(url, localPath, reporter, false, 0, message);
}

}  // namespace net
