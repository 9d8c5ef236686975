#include "app/FetchFile.h"

#include "runtime/Files.h"
#include "runtime/Http.h"
#include "runtime/Program.h"
#include "runtime/crypto/Sha256.h"

namespace app {
namespace {

// A library is fetched whole; nothing it could be comes near this.
constexpr std::int64_t kLibraryLimit = 64 * 1024 * 1024;

bool Matches(const FileCheck& check, std::int64_t size, const rt::Sha256Digest& digest) {
    return size == check.size && digest == check.digest;
}

bool FetchLibraryOnce(const FetchTask& task, const Text& part) {
    rt::HttpGetReport report;
    const rt::Bytes body = rt::HttpGetAll(task.url, &report, kLibraryLimit);
    // An error page or a broken transfer is not the library.
    if (report.status < 200 || report.status > 299 || !report.complete || body.empty()) return false;
    if (task.check) {
        rt::Sha256 hasher;
        hasher.Update(body.data(), body.size());
        if (!Matches(*task.check, static_cast<std::int64_t>(body.size()), hasher.Finish())) return false;
    }
    if (rt::WriteBytesToFile(part, body) && rt::MoveFileOver(part, task.target)) return true;
    rt::DeleteFile(part);
    return false;
}

// The hash of the partial file kept up to date as pieces arrive.
struct RunningHash {
    rt::Sha256 hasher;
    std::int64_t length = 0;
    bool broken = false;  // a piece arrived for a position the hash has not reached

    void Add(std::int64_t position, const std::uint8_t* data, size_t size) {
        if (position == 0 && length != 0) {  // the server sent the whole file again
            hasher.Reset();
            length = 0;
            broken = false;
        }
        if (position != length) {
            broken = true;
            return;
        }
        hasher.Update(data, size);
        length += static_cast<std::int64_t>(size);
    }
};

// What lies in the partial file already (hashed when there is a check to
// meet); 0 after discarding it.
std::int64_t ResumeFrom(const FetchTask& task, const Text& part, RunningHash& hash) {
    std::int64_t have = rt::FileSize(part).value_or(0);
    // Without a check nothing is compared, so nothing is hashed.
    if (have == 0 || !task.check) return have;
    if (have > task.check->size) {
        rt::DeleteFile(part);
        return 0;
    }
    if (!rt::ReadFileInPieces(part, [&](const std::uint8_t* data, size_t size) { hash.Add(hash.length, data, size); }) ||
        hash.length != have) {
        rt::DeleteFile(part);
        hash = RunningHash();
        return 0;
    }
    return have;
}

bool DownloadOnce(const FetchTask& task, const Text& part, net::ResumableDownloader& downloader,
                  const net::ProgressCallback& reporter) {
    RunningHash hash;
    const std::int64_t have = ResumeFrom(task, part, hash);
    int code = net::DownloadCompleted;
    if (!(task.check && have == task.check->size)) {  // a whole partial file needs no transfer
        if (task.check) {
            downloader.onData = [&hash](std::int64_t position, const std::uint8_t* data, size_t size) {
                hash.Add(position, data, size);
            };
        }
        Text message;
        code = downloader.Download(task.url, part, reporter, have > 0, have, message);
        downloader.onData = nullptr;
    }
    // A short file stays for the next attempt to resume.
    if (code != net::DownloadCompleted) return false;
    if (task.check && (hash.broken || !Matches(*task.check, hash.length, hash.hasher.Finish()))) {
        rt::DeleteFile(part);  // wrong bytes: nothing of it is worth resuming
        return false;
    }
    return rt::MoveFileOver(part, task.target);
}

}  // namespace

Text PartialPath(const Text& target) { return target + ".part"; }

bool FetchFile(const FetchTask& task, net::ResumableDownloader* downloader, const net::ProgressCallback& reporter) {
    if (task.checkRequired && !task.check) return false;
    if (task.kind == FetchKind::Download && !downloader) return false;
    const Text part = PartialPath(task.target);
    // Without a check nothing could tell a partial file of an older
    // release from one of this: only what this job fetched is resumed.
    if (!task.check) rt::DeleteFile(part);
    for (int attempt = 0; attempt < kFetchAttempts; ++attempt) {
        if (attempt > 0) rt::WaitResponsive(kRetryWaitsMs[attempt - 1]);
        const bool done = task.kind == FetchKind::Library ? FetchLibraryOnce(task, part)
                                                          : DownloadOnce(task, part, *downloader, reporter);
        if (done) return true;
    }
    return false;
}

}  // namespace app
