// What the installation job fetches and unpacks, as data: one row a file,
// walked in order by the job. Adding a file is adding a row.
#pragma once

#include <optional>
#include <vector>

#include "app/FileChecks.h"
#include "runtime/Text.h"

namespace app {

using rt::Text;

// Everything the job needs to know, handed to it as one value.
struct JobInputs {
    Text folder;          // D, the installation folder
    Text serverHost;
    Text productExeUrl;   // the brand's main program
    Text productName;     // names the program file and the shortcut
    Text brandShortName;  // for the profile file's prompt
    Text manifestText;    // holds the files' checks, when it has them
    bool checksRequired = false;  // a signed manifest: a file without its check fails
};

enum class FetchKind {
    Download,  // through the shared downloader, moving its band of the ring
    Library,   // fetched whole and written only when it arrived whole
};

struct FetchTask {
    FetchKind kind;
    Text url;
    Text target;
    int band;  // the ring's band of a download (0, 100, 200); unused for a library
    std::optional<FileCheck> check;  // what the manifest says the file is
    bool checkRequired = false;      // no check then means the file fails
};

struct UnpackTask {
    Text archive;
    Text destination;
};

// In the job's order: avatar pack, the two libraries, beautify pack, main program.
std::vector<FetchTask> FetchTasks(const JobInputs& in);
// Avatar pack into its folder, then beautify pack into the image folder.
std::vector<UnpackTask> UnpackTasks(const JobInputs& in);

}  // namespace app
