#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/Folders.h"
#include "runtime/Files.h"
#include "tests/win32/test_support.h"

#include <winioctl.h>

using namespace testing_support;

TEST(ToWide, AlwaysCodePage936) {
    const Bytes wide = app::ToWide("头像");
    EXPECT_EQ(wide, (Bytes{0x34, 0x59, 0xCF, 0x50, 0, 0}));  // U+5934 U+50CF and a terminator
    EXPECT_TRUE(app::ToWide("").empty());
}

TEST(Folders, CreateFolderTreeMakesEveryLevel) {
    ScratchFolder dir("tree");
    EXPECT_TRUE(app::CreateFolderTree(dir / "a\\b\\c"));
    EXPECT_TRUE(app::IsDirectory(dir / "a"));
    EXPECT_TRUE(app::IsDirectory(dir / "a\\b"));
    EXPECT_TRUE(app::IsDirectory(dir / "a\\b\\c"));
    EXPECT_TRUE(app::CreateFolderTree(dir / "a\\b\\c\\"));  // trailing backslash, existing levels
    EXPECT_TRUE(app::CreateFolderTree(dir / "数据\\图片"));
    EXPECT_TRUE(app::IsDirectory(dir / "数据\\图片"));
    EXPECT_FALSE(app::IsDirectory(""));
    EXPECT_FALSE(app::IsDirectory(dir / "nothing"));
}

TEST(Folders, ClearFolderEmptiesReadOnlyFilesAndSubfolders) {
    ScratchFolder dir("clear");
    const Text resource = dir / "resource";
    ASSERT_TRUE(app::CreateFolderTree(resource + "\\deep\\er"));
    ASSERT_TRUE(WriteWholeFile(resource + "\\a.txt", Bytes{1}));
    ASSERT_TRUE(WriteWholeFile(resource + "\\deep\\er\\ro.txt", Bytes{2}));
    ::SetFileAttributesW(Wide(resource + "\\deep\\er\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(WriteWholeFile(resource + "\\.x", Bytes{3}));  // not mistaken for "." or ".."

    app::ClearFolder(resource);  // no trailing backslash: same as with one
    EXPECT_TRUE(app::IsDirectory(resource));
    EXPECT_FALSE(PathExists(resource + "\\a.txt"));
    EXPECT_FALSE(PathExists(resource + "\\deep"));
    EXPECT_FALSE(PathExists(resource + "\\.x"));

    ASSERT_TRUE(WriteWholeFile(resource + "\\b.txt", Bytes{1}));
    app::ClearFolder(resource + "\\");
    EXPECT_TRUE(app::IsDirectory(resource));
    EXPECT_FALSE(PathExists(resource + "\\b.txt"));

    app::ClearFolder(dir / "missing");  // a missing folder is not created
    EXPECT_FALSE(PathExists(dir / "missing"));
}

TEST(Folders, ClearFolderKeepsAFileHeldOpenByAnotherProcess) {
    ScratchFolder dir("held");
    const Text resource = dir / "resource";
    ASSERT_TRUE(app::CreateFolderTree(resource + "\\sub"));
    const Text held = resource + "\\sub\\held.dat";
    ASSERT_TRUE(WriteWholeFile(held, Bytes{1, 2}));
    ASSERT_TRUE(WriteWholeFile(resource + "\\free.dat", Bytes{3}));

    const std::wstring eventName = L"itest_held_" + std::to_wstring(::GetCurrentProcessId());
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    HANDLE child = StartChild(L"--child-hold-open \"" + Wide(held) + L"\" " + eventName);
    ASSERT_NE(child, nullptr);
    ASSERT_EQ(::WaitForSingleObject(ready, 20000), WAIT_OBJECT_0);

    app::ClearFolder(resource);
    EXPECT_TRUE(PathExists(held));                 // could not be deleted
    EXPECT_TRUE(app::IsDirectory(resource + "\\sub"));  // so its folders stay
    EXPECT_FALSE(PathExists(resource + "\\free.dat"));
    EXPECT_FALSE(app::DeleteFolderTree(resource));

    ::TerminateProcess(child, 0);
    ::WaitForSingleObject(child, 10000);
    ::CloseHandle(child);
    ::CloseHandle(ready);
    EXPECT_TRUE(app::DeleteFolderTree(resource));
    EXPECT_FALSE(PathExists(resource));
}

TEST(Folders, DeleteFolderTreeRefusesPathsStartingWithABackslash) {
    ScratchFolder dir("unc");
    ASSERT_TRUE(WriteWholeFile(dir / "keep.txt", Bytes{1}));
    EXPECT_FALSE(app::DeleteFolderTree("\\\\127.0.0.1\\c$\\nothing"));
    EXPECT_FALSE(app::DeleteFolderTree("\\windows"));
    EXPECT_FALSE(app::DeleteFolderTree(""));
    // The same folder addressed as a UNC path is left alone.
    const Text unc = "\\\\?\\" + dir.path();
    EXPECT_FALSE(app::DeleteFolderTree(unc));
    EXPECT_TRUE(PathExists(dir / "keep.txt"));
}

namespace {

// Makes `link` a junction (mount point) to `target`; false when the file
// system cannot.
bool MakeJunction(const Text& link, const Text& target) {
    if (!::CreateDirectoryW(Wide(link).c_str(), nullptr)) return false;
    HANDLE h = ::CreateFileW(Wide(link).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const std::wstring substitute = L"\\??\\" + Wide(target);
    const std::wstring print = Wide(target);
    std::vector<BYTE> buffer(8 + 8 + (substitute.size() + print.size() + 2) * 2);
    auto* p = buffer.data();
    auto put16 = [&](size_t offset, WORD v) { memcpy(p + offset, &v, 2); };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    memcpy(p, &tag, 4);
    put16(4, static_cast<WORD>(buffer.size() - 8));
    put16(8, 0);
    put16(10, static_cast<WORD>(substitute.size() * 2));
    put16(12, static_cast<WORD>((substitute.size() + 1) * 2));
    put16(14, static_cast<WORD>(print.size() * 2));
    memcpy(p + 16, substitute.c_str(), (substitute.size() + 1) * 2);
    memcpy(p + 16 + (substitute.size() + 1) * 2, print.c_str(), (print.size() + 1) * 2);
    DWORD returned = 0;
    BOOL ok = ::DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buffer.data(), static_cast<DWORD>(buffer.size()),
                                nullptr, 0, &returned, nullptr);
    ::CloseHandle(h);
    return ok != FALSE;
}

// Under Wine, junctions cannot be made, but a Unix symbolic link to a
// folder shows as a directory reparse point: make one with the host's ln.
bool MakeHostSymlink(const Text& link, const Text& target) {
    using ToUnix = char* (CDECL*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return false;
    char* unixTarget = toUnix(Wide(target).c_str());
    const std::wstring parent = Wide(link.substr(0, link.find_last_of('\\')));
    char* unixParent = toUnix(parent.c_str());
    if (!unixTarget || !unixParent) return false;
    const Text name = link.substr(link.find_last_of('\\') + 1);
    std::wstring command = L"Z:\\bin\\ln -s \"" + Wide(unixTarget) + L"\" \"" + Wide(unixParent) + L"/" +
                           Wide(name) + L"\"";
    ::HeapFree(::GetProcessHeap(), 0, unixTarget);
    ::HeapFree(::GetProcessHeap(), 0, unixParent);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    // The host process is not waitable from here: watch for the link.
    for (int i = 0; i < 100; ++i) {
        const DWORD attributes = ::GetFileAttributesW(Wide(link).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        ::Sleep(50);
    }
    return false;
}

enum class LinkKind { None, Junction, HostSymlink };

LinkKind MakeFolderLink(const Text& link, const Text& target) {
    if (MakeJunction(link, target)) return LinkKind::Junction;
    ::RemoveDirectoryW(Wide(link).c_str());
    return MakeHostSymlink(link, target) ? LinkKind::HostSymlink : LinkKind::None;
}

}  // namespace

TEST(Folders, ClearFolderNeverEntersAFolderLink) {
    ScratchFolder outside("outside");
    ASSERT_TRUE(WriteWholeFile(outside / "precious.txt", Bytes{42}));
    ScratchFolder dir("junction");
    const Text resource = dir / "resource";
    ASSERT_TRUE(app::CreateFolderTree(resource));
    ASSERT_TRUE(WriteWholeFile(resource + "\\plain.txt", Bytes{1}));
    const LinkKind kind = MakeFolderLink(resource + "\\link", outside.path());
    ASSERT_NE(kind, LinkKind::None) << "could make neither a junction nor a host symlink: nothing to check";
    ASSERT_TRUE(PathExists(resource + "\\link\\precious.txt"));

    app::ClearFolder(resource);
    EXPECT_TRUE(app::IsDirectory(resource));
    EXPECT_FALSE(PathExists(resource + "\\plain.txt"));
    EXPECT_TRUE(PathExists(outside / "precious.txt"));  // the target is untouched
    // A junction is removed itself; Wine cannot remove a host symlink.
    if (kind == LinkKind::Junction) {
        EXPECT_FALSE(PathExists(resource + "\\link"));
    }

    // A folder that is itself a link: only the link may go.
    const LinkKind top = MakeFolderLink(dir / "top", outside.path());
    ASSERT_NE(top, LinkKind::None);
    const bool removed = app::DeleteFolderTree(dir / "top");
    if (top == LinkKind::Junction) {
        EXPECT_TRUE(removed);
    }
    EXPECT_TRUE(PathExists(outside / "precious.txt"));
}
