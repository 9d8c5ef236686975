// Unpacks one archive with the archive component and prints the time and
// the peak memory. Built by the "bench" preset (Linux, optimised) and by
// the Windows build (run under Wine for the record).
//   zip_bench ARCHIVE DESTINATION
#include <chrono>
#include <cstdio>

#include "runtime/zip/ExtractZip.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
static double PeakMiB() {
    PROCESS_MEMORY_COUNTERS c{};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &c, sizeof(c));
    return static_cast<double>(c.PeakWorkingSetSize) / (1024.0 * 1024.0);
}
#else
#include <sys/resource.h>
static double PeakMiB() {
    struct rusage u {};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}
#endif

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    int entries = 0;
    const auto start = std::chrono::steady_clock::now();
    const int result = rt::ExtractZip(argv[1], argv[2], [&](int, rt::ExtractState&) { ++entries; });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("result=%d reports=%d seconds=%.3f peak_mib=%.1f\n", result, entries, seconds, PeakMiB());
    return result == 1 ? 0 : 1;
}
