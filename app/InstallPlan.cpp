#include "app/InstallPlan.h"

#include "app/Brands.h"
#include "app/InstallPaths.h"
#include "net/DownloadTasks.h"

namespace app {

std::vector<FetchTask> FetchTasks(const JobInputs& in) {
    const Text& d = in.folder;
    std::vector<FetchTask> tasks = {
        {FetchKind::Download, DataFileUrl(in.serverHost, "yxtx.zip"), AvatarPackPath(d), net::kAvatarPackBand, {}, false},
        {FetchKind::Library, DataFileUrl(in.serverHost, "libcurl.dll"), d + "\\libcurl.dll", 0, {}, false},
        {FetchKind::Library, DataFileUrl(in.serverHost, "HPSocket4C.dll"), d + "\\HPSocket4C.dll", 0, {}, false},
        {FetchKind::Download, DataFileUrl(in.serverHost, "mhtp.zip"), BeautifyPackPath(d), net::kBeautifyPackBand, {}, false},
        {FetchKind::Download, in.productExeUrl, ProgramPath(d, in.productName), net::kProgramFileBand, {}, false},
    };
    for (FetchTask& task : tasks) {
        task.check = FileCheckFor(in.manifestText, ServedPath(task.url));
        task.checkRequired = in.checksRequired;
    }
    return tasks;
}

std::vector<UnpackTask> UnpackTasks(const JobInputs& in) {
    return {{AvatarPackPath(in.folder), AvatarFolder(in.folder)}, {BeautifyPackPath(in.folder), ImageFolder(in.folder)}};
}

}  // namespace app
