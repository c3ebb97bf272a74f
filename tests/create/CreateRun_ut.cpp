// Whole creation runs through the Create dialog: real files, real drops, the written bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "create/CreateSupport.h"
#include "res/resource.h"
#include "win/Handle.h"

namespace {

const wchar_t kSuccess[] = L"The SFV file was created successfully.";
const wchar_t kError[] =
    L"An error occured while creating the SFV file!\nSFV may be corrupt or checksum for file may be missing.";

// Another program holds the file open without sharing it: it cannot be opened for reading.
win::CFileHandle Lock(const std::wstring& path)
{
    return win::CFileHandle(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    win::CFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (find) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(data.cFileName);
        } while (::FindNextFileW(find.Get(), &data));
    }
    return names;
}

void ExpectOneBox(const test::CreateOutcome& outcome, const wchar_t* text, HWND owner = nullptr)
{
    ASSERT_EQ(outcome.boxes.size(), 1u);
    EXPECT_EQ(outcome.boxes[0].text, text);
    EXPECT_EQ(outcome.boxes[0].caption, L"Kavrin");
    if (owner)
        EXPECT_EQ(outcome.boxes[0].owner, owner);
}

struct CreateRun : ::testing::Test {
    test::CTempFolder folder;
    CKavrinCreate dialog;
};

TEST_F(CreateRun, TheExampleLayoutByteForByteWithAnUnreadableFile)
{
    test::WriteFileBytes(folder / L"data\\a.txt", "a");
    test::WriteFileBytes(folder / L"data\\sub\\b.bin", "");
    test::WriteFileBytes(folder / L"data\\x.dat", "locked");
    const win::CFileHandle lock = Lock(folder / L"data\\x.dat");
    ASSERT_TRUE(lock);
    const std::wstring sfv = folder / L"data\\data.sfv";
    const auto outcome = test::CreateSfv(
        dialog, {folder / L"data\\a.txt", folder / L"data\\sub", folder / L"data\\x.dat"}, sfv.c_str());
    EXPECT_EQ(test::ReadFileBytes(sfv), std::string(test::kHeader)
                                            + "a.txt e8b7be43\r\n"
                                              ".\\sub\\b.bin 00000000\r\n"
                                              "x.dat ffffffff\r\n");
    ExpectOneBox(outcome, kError);
    EXPECT_EQ(outcome.boxes[0].icon, ::LoadIconW(nullptr, IDI_ERROR));
    EXPECT_EQ(outcome.result, IDCANCEL) << "the dialog stays open after an error";
    EXPECT_EQ(outcome.rows.size(), 3u);
    EXPECT_EQ(outcome.path, sfv);
    EXPECT_TRUE(outcome.sawProgress);
}

TEST_F(CreateRun, BareRelativeAndAbsolutePathsThenSuccess)
{
    const std::wstring sfvFolder = folder / L"data\\sfv";
    test::WriteFileBytes(sfvFolder + L"\\here.txt", "123456789");
    test::WriteFileBytes(sfvFolder + L"\\;semi.txt", "a");
    test::WriteFileBytes(sfvFolder + L"\\deep\\d.txt", "");
    test::WriteFileBytes(folder / L"data\\up.txt", "a");
    test::WriteFileBytes(folder / L"other\\o.txt", "a");
    // Another drive: Wine's Z: is the Unix root.
    const std::wstring remote = L"Z:\\tmp\\kavrin-remote-" + std::to_wstring(::GetCurrentProcessId());
    test::WriteFileBytes(remote + L"\\far.txt", "a");
    const std::map<std::wstring, std::string> lines = {
        {L"here.txt", "here.txt cbf43926\r\n"},
        {L";semi.txt", ".\\;semi.txt e8b7be43\r\n"},
        {L"deep", ".\\deep\\d.txt 00000000\r\n"},
        {L"up.txt", "..\\up.txt e8b7be43\r\n"},
        {L"o.txt", "..\\..\\other\\o.txt e8b7be43\r\n"},
        {L"far.txt", "Z:\\tmp\\kavrin-remote-" + std::to_string(::GetCurrentProcessId()) + "\\far.txt e8b7be43\r\n"},
    };
    const std::wstring sfv = sfvFolder + L"\\list.sfv";
    const auto outcome = test::CreateSfv(dialog,
                                         {sfvFolder + L"\\here.txt", sfvFolder + L"\\;semi.txt", sfvFolder + L"\\deep",
                                          folder / L"data\\up.txt", folder / L"other\\o.txt", remote + L"\\far.txt"},
                                         sfv.c_str());
    ::DeleteFileW((remote + L"\\far.txt").c_str());
    ::RemoveDirectoryW(remote.c_str());
    ExpectOneBox(outcome, kSuccess);
    EXPECT_EQ(outcome.result, IDOK);
    // The lines follow the rows, which the list keeps sorted by name.
    std::string expected = test::kHeader;
    ASSERT_EQ(outcome.rows.size(), lines.size());
    for (const auto& row : outcome.rows)
        expected += lines.at(row.name);
    EXPECT_EQ(test::ReadFileBytes(sfv), expected);
}

TEST_F(CreateRun, AFolderIsListedDepthFirstWithDotFilesAndAnEmptyOneGivesTheHeaderOnly)
{
    for (const wchar_t* name : {L"set\\.dot", L"set\\a.txt", L"set\\in\\b.txt", L"set\\in\\.c", L"set\\z.txt"})
        test::WriteFileBytes(folder / name, "a");
    ::CreateDirectoryW((folder / L"set\\in\\empty").c_str(), nullptr);
    ::CreateDirectoryW((folder / L"void").c_str(), nullptr);

    const std::wstring sfv = folder / L"set.sfv";
    const auto outcome = test::CreateSfv(dialog, {folder / L"set"}, sfv.c_str());
    ExpectOneBox(outcome, kSuccess);
    const std::string text = test::ReadFileBytes(sfv);
    for (const char* line : {".\\set\\.dot e8b7be43\r\n", ".\\set\\a.txt e8b7be43\r\n", ".\\set\\in\\b.txt e8b7be43\r\n",
                             ".\\set\\in\\.c e8b7be43\r\n", ".\\set\\z.txt e8b7be43\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    std::size_t lineCount = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++lineCount;
    EXPECT_EQ(lineCount, 6u) << "the header and five files, no folder lines";
    // Depth first: the subfolder's two files are next to each other.
    const std::size_t first = text.find(".\\set\\in\\");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(text.compare(text.find("\r\n", first) + 2, 9, ".\\set\\in\\"), 0) << text;

    CKavrinCreate second;
    const std::wstring empty = folder / L"void.sfv";
    const auto none = test::CreateSfv(second, {folder / L"void"}, empty.c_str());
    ExpectOneBox(none, kSuccess);
    EXPECT_EQ(test::ReadFileBytes(empty), test::kHeader);
}

} // namespace
