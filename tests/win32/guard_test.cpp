#include <gtest/gtest.h>

#include "app/InstanceGuard.h"
#include "runtime/Program.h"
#include "tests/win32/test_support.h"

using namespace testing_support;

TEST(Md5HexLower, DigestOfTheFallbackPhrase) {
    // The GBK bytes of the fixed phrase, digested with CryptoAPI.
    EXPECT_EQ(app::FallbackInstanceName(), "917b41c1b5ace220c8b4dcacd5857727");
    EXPECT_EQ(app::Md5HexLower(Bytes{}), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(app::Md5HexLower(rt::ToBytes(Text("abc"))), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Guard, AnEmptyIdentifierStillExcludesASecondCopy) {
    const std::wstring passedName = L"itest_guard_" + std::to_wstring(::GetCurrentProcessId());
    HANDLE passed = ::CreateEventW(nullptr, TRUE, FALSE, passedName.c_str());
    HANDLE first = StartChild(L"--child-guard-empty " + passedName);
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(::WaitForSingleObject(passed, 20000), WAIT_OBJECT_0);  // the first copy runs

    // Its event carries the digest's name.
    HANDLE event = ::OpenEventW(SYNCHRONIZE, FALSE, Wide(app::FallbackInstanceName()).c_str());
    EXPECT_NE(event, nullptr);
    if (event) ::CloseHandle(event);

    // A second copy with an empty name is refused: it ends with 0 at once.
    ::ResetEvent(passed);
    EXPECT_EQ(RunChild(L"--child-guard-empty " + passedName, 20000), 0);
    EXPECT_EQ(::WaitForSingleObject(passed, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    ::TerminateProcess(first, 0);
    ::WaitForSingleObject(first, 10000);
    ::CloseHandle(first);
    ::CloseHandle(passed);
}

TEST(Guard, ProcessSearchFindsTheOtherCopyNotItself) {
    EXPECT_EQ(app::FindProcessByExeName(rt::ExecutableName()), 0u);  // only this process has the name
    EXPECT_EQ(app::FindProcessByExeName("no-such-program.exe"), 0u);

    ScratchFolder dir("search");
    ASSERT_TRUE(WriteWholeFile(dir / "f", Bytes{1}));
    const std::wstring readyName = L"itest_search_" + std::to_wstring(::GetCurrentProcessId());
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
    HANDLE other = StartChild(L"--child-hold-open \"" + Wide(dir / "f") + L"\" " + readyName);
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(::WaitForSingleObject(ready, 20000), WAIT_OBJECT_0);
    // The name compares without regard to case.
    EXPECT_EQ(app::FindProcessByExeName(rt::UpperCase(rt::ExecutableName())), ::GetProcessId(other));
    ::TerminateProcess(other, 0);
    ::WaitForSingleObject(other, 10000);
    ::CloseHandle(other);
    ::CloseHandle(ready);
}
