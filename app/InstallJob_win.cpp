#include "app/InstallJob.h"

#include <set>

#include "app/Brands.h"
#include "app/FetchFile.h"
#include "app/Folders.h"
#include "app/InstallPaths.h"
#include "app/InstallPlan.h"
#include "app/InstallRing.h"
#include "app/ProcessState.h"
#include "app/Startup.h"
#include "net/DownloadTasks.h"
#include "runtime/Dialogs.h"
#include "runtime/Files.h"
#include "runtime/Http.h"
#include "runtime/Program.h"
#include "runtime/Shell.h"
#include "runtime/zip/ExtractZip.h"
#include "ui/ControlIds.h"
#include "ui/Screens.h"
#include "ui/TaskbarProgress.h"
#include "ui/Window.h"

namespace app {
namespace {

constexpr char kUnpackingText[] = "正在解压所需数据...";
constexpr char kFinishingText[] = "即将完成安装，请稍等...";
constexpr char kIncompleteText[] = "安装未完成，部分文件下载或解压失败，请检查网络后重试";

void Set(std::uint32_t control, int property, const ui::PropertyValue& value) {
    ui::SetControlProperty(ui::kMainWindowId, control, property, value);
}


std::int64_t RingPosition() {
    return ui::GetControlProperty(ui::kMainWindowId, ui::kProgressBar, ui::kPropPosition).AsInteger();
}

// The screen, with the taskbar button to match: the ring's share while
// installing, nothing otherwise.
void Show(ui::Screen screen) {
    ui::ApplyScreen(ui::MainModel(), screen);
    ui::ShowOnTaskbar(screen == ui::Screen::Installing ? ui::JobState::Working : ui::JobState::Idle, RingPosition(),
                      ui::kProgressMaximum);
}

void CreateInstallFolders(const Text& d, bool dispatchFirst) {
    if (dispatchFirst) rt::ProcessPendingEvents();
    for (const Text& folder : InstallFolders(d)) rt::CreateFolder(folder);
}

bool Fetch(const FetchTask& task) {
    return FetchFile(task, Process().downloader.get(), net::BandReporter(task.band, InstallRing()));
}

// Steps 2 to 17 over the job's table; true when every file arrived and
// every pack unpacked. Every step runs whatever the earlier ones achieved,
// but only a pack that arrived whole is unpacked, and the resource folder
// is emptied only for a beautify pack that did.
bool RunSteps(const JobInputs& in) {
    const Text& d = in.folder;
    bool complete = true;
    std::set<Text> arrived;
    const std::vector<FetchTask> fetches = FetchTasks(in);
    for (size_t i = 0; i < fetches.size(); ++i) {
        const bool ok = Fetch(fetches[i]);
        if (ok) arrived.insert(fetches[i].target);
        complete &= ok;
        if (i == 0) rt::ProcessPendingEvents();  // once after the first download
    }

    rt::WriteIniValue(kProfileFile, "prompt", Text("prompt"), ProfilePrompt(in.brandShortName));
    rt::WriteIniValue(kProfileFile, "BASE", Text("path"), d);
    rt::CreateShortcut(rt::SpecialFolderPath(rt::kFolderDesktop) + in.productName + ".lnk",
                       ProgramPath(d, in.productName));
    Values().launchPath = ProgramPath(d, in.productName);
    Values().launchFolder = d;

    const std::vector<UnpackTask> unpacks = UnpackTasks(in);
    auto unpack = [&](const UnpackTask& task) {
        return arrived.count(task.archive) && UnpackPack(task.archive, task.destination) == rt::kExtractDone;
    };
    Set(ui::kStatusLabel, ui::kPropText, kUnpackingText);
    Set(ui::kDetailLabel, ui::kPropText, Text());  // no speed while unpacking
    complete &= unpack(unpacks[0]);
    Set(ui::kStatusLabel, ui::kPropText, kFinishingText);
    if (arrived.count(unpacks[1].archive) && IsDirectory(ResourceFolder(d))) ClearFolder(ResourceFolder(d));
    complete &= unpack(unpacks[1]);
    for (const UnpackTask& task : unpacks) rt::DeleteFile(task.archive);
    return complete;
}

// The entry has shown the install page and made the folders.
void RunInstallJob(const JobInputs& in, ui::Screen startScreen) {
    bool complete = false;
    // What escapes a step takes the failure path below: never a job left
    // on the install page with the exit button disabled.
    try {
        complete = RunSteps(in);
    } catch (...) {
        complete = false;
    }
    if (complete) {
        Show(ui::Screen::Finished);
        return;
    }
    // Not reported as finished: the user hears why and can try again.
    Set(ui::kExitButton, ui::kPropDisabled, false);
    ui::ShowOnTaskbar(ui::JobState::Failed, RingPosition(), ui::kProgressMaximum);
    ui::PaintIfDirty();
    rt::MessageBox(kIncompleteText, 0, "提示", ui::WindowHandleOf(ui::kMainWindowId));
    Show(startScreen);
}

JobInputs InputsFor(const Text& folder) {
    const ProcessValues& v = Values();
    return {folder, v.serverHost, v.productExeUrl, ProductName(), v.brandShortName, v.manifestText, v.manifestSigned};
}

// One job at a time: a click that reaches an install button while a job
// runs (during its first dispatch) is ignored.
class JobScope {
public:
    JobScope() : owner_(!Process().jobRunning) { Process().jobRunning = true; }
    ~JobScope() {
        if (owner_) Process().jobRunning = false;
    }
    bool owner() const { return owner_; }

private:
    bool owner_;
};

}  // namespace

void QuickInstall() {
    JobScope scope;
    if (!scope.owner()) return;
    const Text d = Values().defaultInstallFolder;
    rt::ProcessPendingEvents();
    Show(ui::Screen::Installing);
    CreateInstallFolders(d, true);
    RunInstallJob(InputsFor(d), ui::Screen::Choice);
}

void CustomInstall() {
    JobScope scope;
    if (!scope.owner()) return;
    const Text d = Values().customInstallFolder;
    rt::ProcessPendingEvents();
    CreateInstallFolders(d, false);
    Show(ui::Screen::Installing);
    RunInstallJob(InputsFor(d), ui::Screen::CustomChoice);
}

void ShowCustomInstallPage() {
    Show(ui::Screen::CustomChoice);
    Set(ui::kFolderBox, ui::kPropContent, Values().defaultInstallFolder);
    Values().customInstallFolder = Values().defaultInstallFolder;
}

void BrowseInstallFolder() {
    const FolderChoice choice = ChooseCustomFolder(rt::BrowseForFolder("请选择欲安装的目录"), Values().defaultInstallFolder);
    Values().customInstallFolder = choice.customInstallFolder;
    Set(ui::kFolderBox, ui::kPropContent, choice.editBoxText);
}

int UnpackPack(const Text& archive, const Text& destination) {
    return rt::ExtractZip(archive, destination, [](int percent, rt::ExtractState&) {
        ui::MainModel().RaiseEvent(ui::kArchive, ui::kEventArchiveProgress, percent);
        // Unpacking dispatches no messages; the ring is painted directly.
        ui::PaintIfDirty();
    });
}

void ShowExtractProgress(int percent) {
    Set(ui::kProgressBar, ui::kPropPosition, percent);
    const std::int64_t position = RingPosition();
    Set(ui::kProgressLabel, ui::kPropText, rt::ToText(position) + "%");
    ui::ShowOnTaskbar(ui::JobState::Working, position, ui::kProgressMaximum);
}

void LaunchProduct() {
    rt::ProcessPendingEvents();
    const Bytes verb = ToWide("Open"), file = ToWide(Values().launchPath), parameters = ToWide(""),
                folder = ToWide(Values().launchFolder);
    const wchar_t empty[] = L"";
    auto wide = [&](const Bytes& b) { return b.empty() ? empty : reinterpret_cast<const wchar_t*>(b.data()); };
    // The product starts in its own folder, where it finds its libraries
    // and data (not in the installer's, which is usually Downloads).
    ::ShellExecuteW(nullptr, wide(verb), wide(file), wide(parameters), wide(folder), SW_SHOWNORMAL);
    rt::EndProgram(0);
}

void RegisterInstallHandlers() {
    ui::RegisterHandler(ui::Action::QuickInstall, [](std::uint32_t, int) { QuickInstall(); });
    ui::RegisterHandler(ui::Action::CustomInstall, [](std::uint32_t, int) { CustomInstall(); });
    ui::RegisterHandler(ui::Action::ShowCustomInstallPage, [](std::uint32_t, int) { ShowCustomInstallPage(); });
    ui::RegisterHandler(ui::Action::BrowseInstallFolder, [](std::uint32_t, int) { BrowseInstallFolder(); });
    ui::RegisterHandler(ui::Action::ShowExtractProgress, [](std::uint32_t, int percent) { ShowExtractProgress(percent); });
    ui::RegisterHandler(ui::Action::LaunchProduct, [](std::uint32_t, int) { LaunchProduct(); });
}

}  // namespace app
