#include <gtest/gtest.h>

#include "runtime/ComInit.h"
#include "runtime/Dialogs.h"
#include "runtime/Handles.h"
#include "runtime/Shell.h"
#include "tests/win32/test_support.h"

using namespace testing_support;

TEST(SpecialFolders, EveryCodeEndsInExactlyOneBackslash) {
    for (int code = rt::kFolderDocuments; code <= rt::kFolderTemp; ++code) {
        const Text path = rt::SpecialFolderPath(code);
        ASSERT_GE(path.size(), 4u) << code;
        EXPECT_EQ(path.back(), '\\') << code;
        EXPECT_NE(path[path.size() - 2], '\\') << code << " " << path;
    }
    EXPECT_EQ(rt::SpecialFolderPath(0), "");
    EXPECT_EQ(rt::SpecialFolderPath(12), "");
}

namespace {

struct LinkInfo {
    std::wstring target;
    int showCommand = 0;
    std::wstring arguments;
};

bool ReadLink(const Text& linkFile, LinkInfo& info) {
    rt::ComInit com;
    rt::ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return false;
    rt::ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return false;
    if (FAILED(file->Load(Wide(linkFile).c_str(), STGM_READ))) return false;
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH))) return false;
    info.target = buffer;
    link->GetShowCmd(&info.showCommand);
    wchar_t arguments[MAX_PATH] = {};
    link->GetArguments(arguments, MAX_PATH);
    info.arguments = arguments;
    return true;
}

}  // namespace

TEST(Shortcuts, CreatedAndReadBackThroughTheShell) {
    ScratchFolder dir("lnk");
    const Text target = dir / "LOL Quenra助手.exe";
    ASSERT_TRUE(WriteWholeFile(target, Bytes{'M', 'Z'}));

    // No extension: ".lnk" is appended.
    EXPECT_TRUE(rt::CreateShortcut(dir / "LOL Quenra助手", target));
    LinkInfo info;
    ASSERT_TRUE(ReadLink(dir / "LOL Quenra助手.lnk", info));
    EXPECT_EQ(info.target, Wide(target));
    // The shell stores SW_SHOW as a normal window.
    EXPECT_TRUE(info.showCommand == SW_SHOW || info.showCommand == SW_SHOWNORMAL) << info.showCommand;
    EXPECT_TRUE(info.arguments.empty());

    EXPECT_TRUE(rt::CreateShortcut(dir / "with-args.lnk", target, Text("d"), Text("--x")));
    ASSERT_TRUE(ReadLink(dir / "with-args.lnk", info));
    EXPECT_EQ(info.arguments, L"--x");

    EXPECT_FALSE(rt::CreateShortcut(dir / "no\\such\\folder\\x.lnk", target));
    EXPECT_FALSE(rt::CreateShortcut("", target));
}

TEST(MessageBoxes, ResultsAreNumberedFromOk) {
    struct Case {
        unsigned style;
        int press;
        int expected;
    } cases[] = {
        {MB_YESNO, IDYES, rt::kResultYes},
        {MB_YESNO, IDNO, rt::kResultNo},
        {MB_OKCANCEL, IDOK, rt::kResultOk},
        {MB_OKCANCEL, IDCANCEL, rt::kResultCancel},
        {MB_RETRYCANCEL, IDRETRY, rt::kResultRetry},
    };
    for (const auto& c : cases) {
        BoxAnswerer answer(L"\u6D4B\u8BD5", c.press);  // caption "测试"
        EXPECT_EQ(rt::MessageBox("请选择", c.style, "测试"), c.expected);
        SeenBox seen;
        ASSERT_TRUE(answer.Wait(&seen));
        EXPECT_EQ(seen.text, L"\u8BF7\u9009\u62E9");  // "请选择" arrived as written
    }
}

TEST(OpenUrl, HandsTheAddressToTheBrowser) {
    UseUrlRecorder();
    rt::OpenUrl("http://127.0.0.1:5001/update/quenra.html");
    // The browser is started asynchronously by Wine.
    Text urls;
    for (int i = 0; i < 100 && urls.find("quenra.html") == Text::npos; ++i) {
        ::Sleep(100);
        urls = RecordedUrls();
    }
    EXPECT_NE(urls.find("http://127.0.0.1:5001/update/quenra.html\n"), Text::npos) << urls;
}
