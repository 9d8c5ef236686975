// Fetches one URL into one file and prints the throughput and the peak
// working set (the time is the transfer's alone), in the ways that
// tools/bench-download compares under the same Wine:
//   download_bench window URL FILE   the shared downloader with the real
//                                    window on its installing page and the
//                                    program file's reporter moving the ring;
//                                    also the longest wait of input meanwhile
//   download_bench unpainted URL FILE  the same with the window up and pumped,
//                                    but nothing painted
//   download_bench silent URL FILE   the downloader alone, no window, a
//                                    callback that does nothing
//   download_bench size URL          the downloader's size request alone
//   download_bench paint             the cost of one frame of the ring and
//                                    of one pump of pending messages
//   download_bench bare URL FILE     a bare WinINet read loop, same piece
//                                    size, no window, no reports
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/InstallRing.h"
#include "net/DownloadTasks.h"
#include "runtime/CodePage.h"
#include "runtime/Handles.h"
#include "runtime/Program.h"
#include "ui/ControlIds.h"
#include "ui/Window.h"
#include "ui/WindowHandlers.h"

namespace {

double PeakMiB() {
    PROCESS_MEMORY_COUNTERS c{};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &c, sizeof(c));
    return static_cast<double>(c.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

std::string Narrow(const wchar_t* w) { return rt::WideToText(std::u16string(w, w + wcslen(w))); }

// What a plain program would write: open, read 10240 bytes at a time,
// write each piece, close.
long long BareLoop(const std::string& url, const std::string& path, double& seconds) {
    const auto start = std::chrono::steady_clock::now();
    rt::UniqueInternet internet(::InternetOpenA("bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) return -1;
    rt::UniqueInternet request(::InternetOpenUrlA(
        internet.get(), url.c_str(), nullptr, 0,
        INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE, 0));
    if (!request) return -1;
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    std::vector<char> buffer(net::kPieceSize);
    long long total = 0;
    for (;;) {
        DWORD n = 0, written = 0;
        if (!::InternetReadFile(request.get(), buffer.data(), net::kPieceSize, &n)) {
            total = -1;
            break;
        }
        if (n == 0) break;
        ::WriteFile(file, buffer.data(), n, &written, nullptr);
        total += n;
    }
    ::CloseHandle(file);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return total;
}

bool ShowInstallPage() {
    if (!ui::LoadToolkit()) return false;
    rt::RegisterLibraryUnloader(ui::UnloadToolkit);
    ui::RegisterWindowHandlers();
    for (ui::Action action : {ui::Action::QuickInstall, ui::Action::CustomInstall, ui::Action::BrowseInstallFolder,
                              ui::Action::LaunchProduct, ui::Action::OnMainWindowCreated,
                              ui::Action::ShowCustomInstallPage}) {
        ui::RegisterHandler(action, [](std::uint32_t, int) {});
    }
    if (!ui::LoadMainWindow()) return false;
    ui::SetControlProperty(ui::kMainWindowId, ui::kPageContainer, ui::kPropCurrentPage, ui::kInstallPage);
    rt::ProcessPendingEvents();
    return true;
}

// The cost of one frame: the ring moved by one step and painted at once.
void PaintFrames() {
    if (!ShowInstallPage()) return;
    const auto start = std::chrono::steady_clock::now();
    constexpr int kFrames = 300;
    for (int i = 1; i <= kFrames; ++i) {
        ui::SetControlProperty(ui::kMainWindowId, ui::kProgressBar, ui::kPropPosition, i);
        ui::SetControlProperty(ui::kMainWindowId, ui::kProgressLabel, ui::kPropText, std::to_string(i / 3) + "%");
        ui::PaintIfDirty();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("mode=paint frames=%d ms_per_frame=%.2f\n", kFrames, seconds * 1000.0 / kFrames);
    // And the cost of one pump of pending messages with none pending, as
    // the reporters do once a piece.
    constexpr int kPumps = 20000;
    const auto pumping = std::chrono::steady_clock::now();
    for (int i = 0; i < kPumps; ++i) rt::ProcessPendingEvents();
    const double pumped = std::chrono::duration<double>(std::chrono::steady_clock::now() - pumping).count();
    std::printf("mode=pump pumps=%d us_per_pump=%.2f\n", kPumps, pumped * 1e6 / kPumps);
}

// Input while the download runs: another thread posts a message to the
// window's thread every 20 ms (as a person's input would come, not more), stamped with the time it was sent; the
// longest wait until the thread took it is how late input would be.
constexpr UINT kProbeMessage = WM_APP + 0x60;
std::atomic<long long> g_longestWaitUs{0};

long long NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::vector<long long> g_waitsUs;
long long g_firstPieceUs = 0;          // when the first piece was reported
long long g_longestLoopWaitUs = 0;     // of the probes sent after it: the read loop's

bool TakeProbe(MSG& message) {
    if (message.message != kProbeMessage) return false;
    const long long sent = static_cast<long long>(message.lParam);
    const long long waited = NowUs() - sent;
    if (waited > g_longestWaitUs) g_longestWaitUs = waited;
    if (g_firstPieceUs && sent >= g_firstPieceUs && waited > g_longestLoopWaitUs) g_longestLoopWaitUs = waited;
    g_waitsUs.push_back(waited);
    return true;
}

// The wait that 99 in 100 probes stayed within.
double Wait99Ms() {
    if (g_waitsUs.empty()) return 0;
    std::vector<long long> waits = g_waitsUs;
    std::sort(waits.begin(), waits.end());
    return waits[(waits.size() - 1) * 99 / 100] / 1000.0;
}

// A view that shows nothing: the window is up and pumped, but no frame is
// painted (mode "unpainted", to tell the frames' cost from the pumps').
class BlindView : public net::ProgressView {
public:
    void SetPosition(std::int32_t position) override { position_ = position; }
    std::int64_t Position() const override { return position_; }
    void SetLabel(const rt::Text&) override {}

private:
    std::int32_t position_ = 0;
};

// The installer's own path: one downloader, the ring's reporter
// with its message pump, the layered window repainting as the ring moves.
long long WithWindow(const std::string& url, const std::string& path, int& code, double& seconds, bool painted) {
    if (!ShowInstallPage()) return -1;
    net::ResumableDownloader downloader;
    rt::SetPreTranslateHook(TakeProbe);
    std::atomic<bool> done{false};
    const DWORD windowThread = ::GetCurrentThreadId();
    std::thread prober([&] {
        while (!done) {
            ::PostThreadMessageW(windowThread, kProbeMessage, 0, static_cast<LPARAM>(NowUs()));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const auto start = std::chrono::steady_clock::now();
    static BlindView blind;
    const net::ProgressCallback reporter = net::BandReporter(net::kProgramFileBand, painted ? app::InstallRing() : blind);
    code = net::RunDownloadTask(&downloader, url, path, [&reporter](const net::DownloadProgress& p) {
        if (!g_firstPieceUs) g_firstPieceUs = NowUs();
        reporter(p);
    });
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    done = true;
    prober.join();
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void IgnoreProgress(const net::DownloadProgress&) {}

// The downloader alone: no window, a callback that does nothing.
long long Silent(const std::string& url, const std::string& path, int& code, double& seconds) {
    net::ResumableDownloader downloader;
    rt::Text message;
    const auto start = std::chrono::steady_clock::now();
    code = downloader.Download(url, path, IgnoreProgress, false, 0, message);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    rt::RuntimeStartup();
    if (argc == 2 && std::wstring(argv[1]) == L"paint") {
        PaintFrames();
        ::ExitProcess(0);
    }
    if (argc == 3 && std::wstring(argv[1]) == L"size") {
        // The downloader's second request alone: open, read the size,
        // close with the body unread.
        const auto start = std::chrono::steady_clock::now();
        const std::int64_t size = net::QueryContentLength(Narrow(argv[2]));
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("mode=size bytes=%lld seconds=%.3f\n", static_cast<long long>(size), seconds);
        ::ExitProcess(0);
    }
    if (argc < 4) return 2;
    const std::wstring mode = argv[1];
    const std::string url = Narrow(argv[2]), path = Narrow(argv[3]);
    int code = 0;
    double seconds = 0;
    const long long bytes = mode == L"bare"     ? BareLoop(url, path, seconds)
                            : mode == L"silent" ? Silent(url, path, code, seconds)
                                                : WithWindow(url, path, code, seconds, mode == L"window");
    long long ring = -1, frames = 0;
    if (mode == L"window") {
        ring = ui::GetControlProperty(ui::kMainWindowId, ui::kProgressBar, ui::kPropPosition).AsInteger();
        frames = ui::MainModel().paintRequests();
    }
    std::printf(
        "mode=%ls code=%d bytes=%lld seconds=%.3f mib_per_s=%.1f peak_mib=%.1f ring=%lld frames=%lld input_wait_ms=%.1f "
        "input_wait_loop_ms=%.1f input_wait99_ms=%.1f\n",
        mode.c_str(), code, bytes, seconds, bytes / 1048576.0 / seconds, PeakMiB(), ring, frames,
        g_longestWaitUs / 1000.0, g_longestLoopWaitUs / 1000.0, Wait99Ms());
    std::fflush(stdout);
    ::ExitProcess(bytes > 0 && code == 0 ? 0 : 1);
}
