// Creating an SFV file where it cannot be written: the user is told, the old file survives, and
// the run never counts as a success.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "create/CreateSupport.h"

namespace {

void ExpectFailureKeepsTheOldFile(const test::CreateOutcome& outcome, const std::wstring& sfv, const std::string& old)
{
    EXPECT_NE(outcome.result, IDOK);
    ASSERT_EQ(outcome.boxes.size(), 1u);
    EXPECT_EQ(outcome.boxes[0].text,
              L"An error occured while creating the SFV file!\nSFV may be corrupt or checksum for file may be missing.");
    EXPECT_EQ(test::ReadFileBytes(sfv), old);
}

TEST(WriteFailure, AFullDiskKeepsTheOldFileAndReportsTheError)
{
    // F: is a 256 KiB drive that the test run mounts where it may.
    if (::GetFileAttributesW(L"F:\\") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no small drive F: in this prefix";
    test::CTempFolder folder;
    for (int i = 0; i < 40; ++i)
        test::WriteFileBytes(folder / (L"file" + std::to_wstring(i) + L".bin"), "x");
    const std::wstring sfv = L"F:\\out-" + std::to_wstring(::GetCurrentProcessId()) + L".sfv";
    const std::string old = "; the old list\r\n";
    test::WriteFileBytes(sfv, old);
    // Fill the drive to the last few bytes.
    const std::wstring filler = L"F:\\filler-" + std::to_wstring(::GetCurrentProcessId());
    {
        win::CFileHandle fill(::CreateFileW(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(fill);
        const std::string block(4096, 'f');
        DWORD written = 0;
        while (::WriteFile(fill.Get(), block.data(), static_cast<DWORD>(block.size()), &written, nullptr) && written)
            ;
        const std::string tail(16, 'f');
        for (int i = 0; i < 256; ++i)
            ::WriteFile(fill.Get(), tail.data(), static_cast<DWORD>(tail.size()), &written, nullptr);
    }
    CKavrinCreate dialog;
    const auto outcome = test::CreateSfv(dialog, {folder.Path()}, sfv.c_str());
    ::DeleteFileW(filler.c_str());
    ExpectFailureKeepsTheOldFile(outcome, sfv, old);
    ::DeleteFileW(sfv.c_str());
}

TEST(WriteFailure, AReadOnlyTargetKeepsTheOldFileAndReportsTheError)
{
    test::CTempFolder folder;
    test::WriteFileBytes(folder / L"in\\a.txt", "a");
    const std::wstring sfv = folder / L"out.sfv";
    const std::string old = "; the old list\r\n";
    test::WriteFileBytes(sfv, old);
    ASSERT_TRUE(::SetFileAttributesW(sfv.c_str(), FILE_ATTRIBUTE_READONLY));
    CKavrinCreate dialog;
    const auto outcome = test::CreateSfv(dialog, {folder / L"in\\a.txt"}, sfv.c_str());
    ::SetFileAttributesW(sfv.c_str(), FILE_ATTRIBUTE_NORMAL);
    ExpectFailureKeepsTheOldFile(outcome, sfv, old);
}

} // namespace
