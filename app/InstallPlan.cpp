#include "app/InstallPlan.h"

#include "app/Brands.h"
#include "app/InstallPaths.h"
#include "net/DownloadTasks.h"

namespace app {

std::vector<FetchTask> FetchTasks(const JobInputs& in) {
    const Text& d = in.folder;
    return {
        {FetchKind::Download, DataFileUrl(in.serverHost, "yxtx.zip"), AvatarPackPath(d), net::kAvatarPackBand},
        {FetchKind::Library, DataFileUrl(in.serverHost, "libcurl.dll"), d + "\\libcurl.dll", 0},
        {FetchKind::Library, DataFileUrl(in.serverHost, "HPSocket4C.dll"), d + "\\HPSocket4C.dll", 0},
        {FetchKind::Download, DataFileUrl(in.serverHost, "mhtp.zip"), BeautifyPackPath(d), net::kBeautifyPackBand},
        {FetchKind::Download, in.productExeUrl, ProgramPath(d, in.productName), net::kProgramFileBand},
    };
}

std::vector<UnpackTask> UnpackTasks(const JobInputs& in) {
    return {{AvatarPackPath(in.folder), AvatarFolder(in.folder)}, {BeautifyPackPath(in.folder), ImageFolder(in.folder)}};
}

}  // namespace app
