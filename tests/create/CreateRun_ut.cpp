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
    if (owner) {
        EXPECT_EQ(outcome.boxes[0].owner, owner);
    }
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

namespace {

struct AbortCase {
    const char* name;
    bool pauseFirst;  // the user pauses, aborts, and only Continue lets the run see the abort
    void (*abort)(HWND progress);
};

class CreateAbort : public ::testing::TestWithParam<AbortCase> {};

TEST_P(CreateAbort, WritesNothingLeavesTheOldFileAndTheDialogAsTheyWere)
{
    const AbortCase& c = GetParam();
    test::CTempFolder folder;
    test::WriteFileBytes(folder / L"big.bin", std::string(4 * 65536, 'b'));
    test::WriteFileBytes(folder / L"small.txt", "a");
    const std::wstring sfv = folder / L"old.sfv";
    test::WriteFileBytes(sfv, "old content\r\n");
    CKavrinCreate dialog;
    test::CHoldRuns hold;  // the run stops at its first read, inside big.bin
    bool heldWhilePaused = c.pauseFirst;
    const auto outcome = test::CreateSfv(dialog, {folder / L"big.bin", folder / L"small.txt"}, sfv.c_str(),
                                         [&](HWND progress, HWND) {
                                             if (c.pauseFirst) {
                                                 // Let the run reach its wait before the first read.
                                                 test::PumpUntil([] { return false; }, 200);
                                                 ::SendDlgItemMessageW(progress, IDOK, BM_CLICK, 0, 0);
                                             }
                                             c.abort(progress);
                                             if (c.pauseFirst) {
                                                 test::PumpUntil([] { return false; }, 200);
                                                 heldWhilePaused = ::IsWindowVisible(progress) != FALSE;
                                                 // Continue
                                                 ::SendDlgItemMessageW(progress, IDOK, BM_CLICK, 0, 0);
                                             } else {
                                                 test::RunLater(50, [&] {
                                                     hold.Release();
                                                     return true;
                                                 });
                                             }
                                         });
    EXPECT_TRUE(outcome.sawProgress);
    EXPECT_EQ(heldWhilePaused, c.pauseFirst) << "a paused run sees the abort only after Continue";
    EXPECT_TRUE(outcome.boxes.empty()) << "an abort shows no message";
    EXPECT_EQ(outcome.result, IDCANCEL);
    EXPECT_EQ(outcome.rows.size(), 2u);
    EXPECT_EQ(outcome.path, sfv);
    EXPECT_EQ(test::ReadFileBytes(sfv), "old content\r\n");
    EXPECT_EQ(FilesIn(folder.Path()).size(), 3u) << "no temporary file left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CreateAbort,
    ::testing::Values(
        AbortCase{"AbortMidFile", false, [](HWND p) { ::SendDlgItemMessageW(p, IDC_ABORT, BM_CLICK, 0, 0); }},
        AbortCase{"EscapeMidFile", false, [](HWND p) { ::SendMessageW(p, WM_COMMAND, IDCANCEL, 0); }},
        AbortCase{"CloseBoxMidFile", false, [](HWND p) { ::SendMessageW(p, WM_CLOSE, 0, 0); }},
        AbortCase{"AbortWhilePaused", true, [](HWND p) { ::SendDlgItemMessageW(p, IDC_ABORT, BM_CLICK, 0, 0); }}),
    [](const ::testing::TestParamInfo<AbortCase>& info) { return info.param.name; });

TEST_F(CreateRun, AnAbortBetweenFilesThatNeedNoReadingStillWritesNothing)
{
    test::WriteFileBytes(folder / L"a.txt", "a");
    test::WriteFileBytes(folder / L"b.dat", "b");
    test::WriteFileBytes(folder / L"c.dat", "c");
    ::CreateDirectoryW((folder / L"d-empty").c_str(), nullptr);
    const win::CFileHandle lockB = Lock(folder / L"b.dat");
    const win::CFileHandle lockC = Lock(folder / L"c.dat");
    const std::wstring sfv = folder / L"old.sfv";
    test::WriteFileBytes(sfv, "old");
    // The moment a.txt is done, Abort: what is left are files that fail to open and an empty folder.
    test::CTextWatcher watcher([](HWND control, const std::wstring& text) {
        if (::GetDlgCtrlID(control) == IDC_LABEL_TOTAL && text == L"Total progress (1 of 3 files)")
            ::SendDlgItemMessageW(::GetParent(control), IDC_ABORT, BM_CLICK, 0, 0);
    });
    const auto outcome = test::CreateSfv(
        dialog, {folder / L"a.txt", folder / L"b.dat", folder / L"c.dat", folder / L"d-empty"}, sfv.c_str());
    EXPECT_TRUE(outcome.boxes.empty());
    EXPECT_EQ(test::ReadFileBytes(sfv), "old");
}

TEST_F(CreateRun, TheTargetInsideAListedFolderIsLeftOut)
{
    test::WriteFileBytes(folder / L"data\\a.txt", "a");
    test::WriteFileBytes(folder / L"data\\DATA.SFV", "old list\r\n");
    std::vector<std::wstring> totals;
    test::CTextWatcher watcher([&](HWND control, const std::wstring& text) {
        if (::GetDlgCtrlID(control) == IDC_LABEL_TOTAL)
            totals.push_back(text);
    });
    const auto outcome = test::CreateSfv(dialog, {folder / L"data"}, (folder / L"data\\data.sfv").c_str());
    ExpectOneBox(outcome, kSuccess);
    EXPECT_EQ(test::ReadFileBytes(folder / L"data\\DATA.SFV"), std::string(test::kHeader) + "a.txt e8b7be43\r\n");
    EXPECT_EQ(totals, std::vector<std::wstring>({L"Total progress (0 of 1 files)", L"Total progress (1 of 1 files)"}));
}

TEST_F(CreateRun, ATypedRelativePathIsResolvedOnceAgainstTheCurrentFolder)
{
    test::WriteFileBytes(folder / L"sub\\f.txt", "a");
    test::WriteFileBytes(folder / L"g.txt", "a");
    wchar_t previous[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(folder.Path().c_str()));
    const auto outcome = test::CreateSfv(dialog, {folder / L"sub\\f.txt", folder / L"g.txt"}, L"sub\\out.sfv");
    ::SetCurrentDirectoryW(previous);
    ExpectOneBox(outcome, kSuccess);  // and no current-directory warning
    EXPECT_EQ(test::ReadFileBytes(folder / L"sub\\out.sfv"),
              std::string(test::kHeader) + "f.txt e8b7be43\r\n..\\g.txt e8b7be43\r\n");
    EXPECT_TRUE(test::ReadFileBytes(folder / L"sub\\sub\\out.sfv").empty());
}

TEST_F(CreateRun, AFileThatCannotBeWrittenIsAnErrorAndNothingIsLost)
{
    test::WriteFileBytes(folder / L"a.txt", "a");
    ::CreateDirectoryW((folder / L"taken.sfv").c_str(), nullptr);
    test::WriteFileBytes(folder / L"taken.sfv\\inside", "kept");
    const auto outcome = test::CreateSfv(dialog, {folder / L"a.txt"}, (folder / L"taken.sfv").c_str());
    ExpectOneBox(outcome, kError);
    EXPECT_EQ(test::ReadFileBytes(folder / L"taken.sfv\\inside"), "kept");
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::wstring>{L"a.txt"}) << "no temporary file left behind";

    // In a folder that does not exist: the run warns from its own thread, then fails to write.
    CKavrinCreate second;
    const auto missing = test::CreateSfv(second, {folder / L"a.txt"}, (folder / L"nowhere\\x.sfv").c_str());
    ASSERT_EQ(missing.boxes.size(), 2u);
    EXPECT_EQ(missing.boxes[0].text, L"Could not set current directory. Check may fail.");
    EXPECT_EQ(missing.boxes[0].owner, nullptr);
    EXPECT_NE(missing.boxes[0].threadId, ::GetCurrentThreadId());
    EXPECT_EQ(missing.boxes[1].text, kError);
}

TEST_F(CreateRun, VanishedItemsAreLeftOutAndReported)
{
    test::WriteFileBytes(folder / L"a.txt", "a");
    test::WriteFileBytes(folder / L"gone.txt", "g");
    std::vector<std::wstring> totals;
    test::CTextWatcher watcher([&](HWND control, const std::wstring& text) {
        if (::GetDlgCtrlID(control) == IDC_LABEL_TOTAL)
            totals.push_back(text);
    });
    const std::wstring sfv = folder / L"list.sfv";
    CKavrinCreate& d = dialog;
    d.SetDateSource(test::May4th2006);
    test::CMessageBoxAnswerer answerer;
    std::vector<test::MessageBoxSeen> boxes;
    test::RunDialog(d, [&](HWND hwnd) {
        test::Drop(hwnd, {folder / L"a.txt", folder / L"gone.txt"});
        ::DeleteFileW((folder / L"gone.txt").c_str());
        ::SetDlgItemTextW(hwnd, IDC_SFV_PATH, sfv.c_str());
        ::SendDlgItemMessageW(hwnd, IDOK, BM_CLICK, 0, 0);
        boxes = answerer.Seen();
        ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kError);
    EXPECT_EQ(test::ReadFileBytes(sfv), std::string(test::kHeader) + "a.txt e8b7be43\r\n");
    // The vanished row counts no file.
    EXPECT_EQ(totals.front(), L"Total progress (0 of 1 files)");
    EXPECT_EQ(totals.back(), L"Total progress (1 of 1 files)");
}

std::string Utf8(std::u8string_view text)
{
    return std::string(text.begin(), text.end());
}

struct ScriptCase {
    const char* name;
    std::map<std::wstring, std::string> lines;  // by dropped file name: its line in the SFV file
};

class CreateNames : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(CreateNames, AreWrittenInOneByteWhereTheyFitAndOtherwiseTheWholeFileInUtf8)
{
    const ScriptCase& c = GetParam();
    test::CTempFolder folder;
    std::vector<std::wstring> drops;
    for (const auto& [name, line] : c.lines) {
        test::WriteFileBytes(folder / name, "a");
        drops.push_back(folder / name);
    }
    CKavrinCreate dialog;
    const std::wstring sfv = folder / L"list.sfv";
    const auto outcome = test::CreateSfv(dialog, drops, sfv.c_str());
    ExpectOneBox(outcome, kSuccess);
    std::string expected = test::kHeader;
    ASSERT_EQ(outcome.rows.size(), c.lines.size());
    for (const auto& row : outcome.rows)
        expected += c.lines.at(row.name);
    EXPECT_EQ(test::ReadFileBytes(sfv), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, CreateNames,
    ::testing::Values(
        ScriptCase{"LatinOneOnly",
                   {{L"caf\u00e9.txt", "caf\xE9.txt e8b7be43\r\n"},
                    {L"\u00dcber.txt", "\xDC" "ber.txt e8b7be43\r\n"},
                    {L"plain.txt", "plain.txt e8b7be43\r\n"}}},
        ScriptCase{"CyrillicGreekCjkAndAnEmoji",
                   {{L"\u0416\u0443\u0440\u043d\u0430\u043b.txt", Utf8(u8"\u0416\u0443\u0440\u043d\u0430\u043b.txt e8b7be43\r\n")},
                    {L"\u0391\u03b8\u03ae\u03bd\u03b1.jpg", Utf8(u8"\u0391\u03b8\u03ae\u03bd\u03b1.jpg e8b7be43\r\n")},
                    {L"\u5199\u771f.png", Utf8(u8"\u5199\u771f.png e8b7be43\r\n")},
                    {L"\U0001F600.txt", "\xF0\x9F\x98\x80.txt e8b7be43\r\n"},
                    // Written in UTF-8 too, since the file is.
                    {L"caf\u00e9.txt", "caf\xC3\xA9.txt e8b7be43\r\n"}}}),
    [](const ::testing::TestParamInfo<ScriptCase>& info) { return info.param.name; });

TEST_F(CreateRun, APathOfMoreThan300CharactersIsListedWholeAndTheListWrittenThere)
{
    const std::wstring deep = test::DeepFolder(folder / L"set", 300);
    test::WriteFileBytes(deep + L"\\f.txt", "a");
    const std::wstring relative = L"." + deep.substr(folder.Path().size()) + L"\\f.txt";
    ASSERT_GT(relative.size(), 260u);

    const std::wstring above = folder / L"above.sfv";
    const auto fromAbove = test::CreateSfv(dialog, {folder / L"set"}, above.c_str());
    ExpectOneBox(fromAbove, kSuccess);
    EXPECT_EQ(test::ReadFileBytes(above),
              std::string(test::kHeader) + std::string(relative.begin(), relative.end()) + " e8b7be43\r\n");

    CKavrinCreate inside;
    const std::wstring there = deep + L"\\there.sfv";
    const auto fromInside = test::CreateSfv(inside, {deep + L"\\f.txt"}, there.c_str());
    ExpectOneBox(fromInside, kSuccess);
    EXPECT_EQ(fromInside.rows, (std::vector<test::Row>{{L"f.txt", deep}}));
    EXPECT_EQ(test::ReadFileBytes(there), std::string(test::kHeader) + "f.txt e8b7be43\r\n");
}

TEST_F(CreateRun, TheProgressDialogIsCentredOnTheDisabledCreateDialog)
{
    test::WriteFileBytes(folder / L"big.bin", std::string(2 * 65536, 'b'));
    test::CHoldRuns hold;
    RECT progressRect{}, createRect{};
    bool createEnabled = true;
    const auto outcome = test::CreateSfv(dialog, {folder / L"big.bin"}, (folder / L"big.sfv").c_str(),
                                         [&](HWND progress, HWND create) {
                                             ::GetWindowRect(progress, &progressRect);
                                             ::GetWindowRect(create, &createRect);
                                             createEnabled = ::IsWindowEnabled(create) != FALSE;
                                             hold.Release();
                                         });
    ExpectOneBox(outcome, kSuccess);
    EXPECT_FALSE(createEnabled);
    EXPECT_NEAR((progressRect.left + progressRect.right) / 2, (createRect.left + createRect.right) / 2, 1);
    EXPECT_NEAR((progressRect.top + progressRect.bottom) / 2, (createRect.top + createRect.bottom) / 2, 1);
}

} // namespace
