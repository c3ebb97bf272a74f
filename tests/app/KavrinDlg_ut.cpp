// The main window driven in-process: loading, verifying, the run controls and closing.
#include "app/KavrinDlg.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "create/CreateSupport.h"
#include "engine/CheckThread.h"
#include "engine/Crc32.h"
#include "res/resource.h"
#include "shell/TrayIcon.h"
#include "win/ListView.h"
#include "win/ProgressBar.h"
#include "win/Handle.h"
#include "win/WideString.h"

namespace {

std::string Checksum(const std::string& data)
{
    const std::wstring text = kavrin::CrcText(kavrin::Crc32(data.data(), data.size()));
    return std::string(text.begin(), text.end());
}

struct Row {
    std::wstring size;
    std::wstring checksum;
    int image;
};

// Everything a test reads back from the window.
struct Snapshot {
    std::vector<std::wstring> names;  // in list order
    std::map<std::wstring, Row> rows;
    std::wstring totalLabel, fileLabel, pause, close, toggle, comments;
    bool pauseEnabled = false, toggleVisible = false, commentsVisible = false;
    int width = 0, totalPos = 0, totalHigh = 0;
};

Snapshot Read(HWND hwnd)
{
    Snapshot s;
    const win::CListView list(::GetDlgItem(hwnd, IDC_RESULTS));
    for (int i = 0; i < list.GetItemCount(); ++i) {
        const std::wstring name = list.GetItemText(i, 0);
        s.names.push_back(name);
        s.rows[name] = Row{list.GetItemText(i, 1), list.GetItemText(i, 2), list.GetItemImage(i)};
    }
    s.totalLabel = win::GetWindowTextString(::GetDlgItem(hwnd, IDC_LABEL_TOTAL));
    s.fileLabel = win::GetWindowTextString(::GetDlgItem(hwnd, IDC_LABEL_FILE));
    s.pause = win::GetWindowTextString(::GetDlgItem(hwnd, IDC_PAUSE));
    s.close = win::GetWindowTextString(::GetDlgItem(hwnd, IDC_CLOSE));
    s.toggle = win::GetWindowTextString(::GetDlgItem(hwnd, IDC_COMMENTS_TOGGLE));
    s.comments = win::GetWindowTextString(::GetDlgItem(hwnd, IDC_COMMENTS));
    s.pauseEnabled = ::IsWindowEnabled(::GetDlgItem(hwnd, IDC_PAUSE));
    s.toggleVisible = ::IsWindowVisible(::GetDlgItem(hwnd, IDC_COMMENTS_TOGGLE));
    s.commentsVisible = ::IsWindowVisible(::GetDlgItem(hwnd, IDC_COMMENTS));
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    s.width = rc.right - rc.left;
    const win::CProgressBar total(::GetDlgItem(hwnd, IDC_PROGRESS_TOTAL));
    s.totalPos = total.GetPos();
    s.totalHigh = total.GetRangeHigh();
    return s;
}

// Two server ends of a pipe that sends nothing until they are closed, so that a read of it blocks:
// one for the look-up while loading, one for the run. Empty when the pipe cannot be made.
std::vector<win::CHandle> SilentPipe(const std::wstring& path)
{
    std::vector<win::CHandle> instances;
    for (int i = 0; i < 2; ++i) {
        const HANDLE pipe = ::CreateNamedPipeW(path.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                               PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
        if (pipe == INVALID_HANDLE_VALUE)
            return {};
        instances.emplace_back(pipe);
    }
    return instances;
}

void Command(HWND hwnd, int id)
{
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

struct MainWindowTest : ::testing::Test {
    test::CTempFolder folder;
    std::vector<std::wstring> args;
    std::vector<wchar_t*> argv;
    // The shared pause event, held by the test so that it can hold a run before its first read.
    win::CHandle pauseEvent{::CreateEventW(nullptr, TRUE, TRUE, L"KavrinThreadEvent")};

    void SetArguments(std::vector<std::wstring> values)
    {
        args = std::move(values);
        argv.clear();
        for (auto& a : args)
            argv.push_back(a.data());
        CAppArgs::Instance()->argv = argv.data();
        CAppArgs::Instance()->argc = static_cast<int>(argv.size());
    }
    void SetUp() override { SetArguments({L"C:\\kavrin.exe"}); }
    void TearDown() override
    {
        ::SetEvent(pauseEvent.Get());
        CAppArgs::Instance()->argv = nullptr;
        CAppArgs::Instance()->argc = 0;
    }
    static bool WaitForRunEnd(const CKavrinDlg& dialog)
    {
        return test::PumpUntil([&] { return !dialog.HasCurrentRun(); });
    }
    bool IsPaused() const { return ::WaitForSingleObject(pauseEvent.Get(), 0) == WAIT_TIMEOUT; }
    // Opens a fresh main window, verifies the SFV file in it and reads the window back.
    static Snapshot LoadAndVerify(const std::wstring& sfv)
    {
        CKavrinDlg checker;
        Snapshot s;
        test::RunDialog(checker, [&](HWND hwnd) {
            checker.LoadSfv(sfv);
            EXPECT_TRUE(WaitForRunEnd(checker));
            s = Read(hwnd);
            Command(hwnd, IDCANCEL);
        });
        return s;
    }
};

TEST_F(MainWindowTest, FreshStartIsNarrowEmptyAndIdle)
{
    CKavrinDlg dialog;
    Snapshot s;
    const INT_PTR result = test::RunDialog(dialog, [&](HWND hwnd) {
        s = Read(hwnd);
        Command(hwnd, ID_FILE_EXIT);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(s.width, 396);
    EXPECT_TRUE(s.names.empty());
    EXPECT_EQ(s.pause, L"Pause");
    EXPECT_FALSE(s.pauseEnabled);
    EXPECT_EQ(s.close, L"Close");
    EXPECT_FALSE(s.toggleVisible);
}

TEST_F(MainWindowTest, VerifiesEveryListedFile)
{
    const std::wstring dir = folder / L"set";
    test::WriteFileBytes(dir + L"\\good.bin", "good data");
    test::WriteFileBytes(dir + L"\\bad.bin", "changed data");
    test::WriteFileBytes(dir + L"\\upper.bin", std::string(1025, 'u'));
    test::WriteFileBytes(dir + L"\\extra.bin", "x");
    test::WriteFileBytes(dir + L"\\empty.bin", "");
    test::WriteFileBytes(dir + L"\\sub\\deep.bin", "deep");
    test::WriteFileBytes(folder / L"other\\o.bin", "other");
    test::WriteFileBytes(dir + L"\\locked.bin", "locked");
    std::string upper = Checksum(std::string(1025, 'u'));
    for (auto& c : upper)
        c = static_cast<char>(toupper(c));
    const std::string sfv = "; made for a test\r\n"
                            "good.bin " + Checksum("good data") + "\r\n"
                            "bad.bin " + Checksum("original data") + "\r\n"
                            "upper.bin " + upper + "\r\n"
                            "extra.bin 0x" + Checksum("x") + "\r\n"
                            "empty.bin 00000000\r\n"
                            ".\\sub\\deep.bin " + Checksum("deep") + "\r\n"
                            "..\\other\\o.bin " + Checksum("other") + "\r\n"
                            "missing.bin 12345678\r\n"
                            "locked.bin " + Checksum("locked") + "\r\n"
                            "\r\n"
                            ";second comment\n";
    test::WriteFileBytes(dir + L"\\list.sfv", sfv);
    // Another program holds this one open for writing, so it cannot be read.
    win::CFileHandle holder(::CreateFileW((dir + L"\\locked.bin").c_str(), GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    SetArguments({L"C:\\kavrin.exe", L"notes.txt", dir + L"\\LIST.SFV", folder / L"none.sfv"});

    CKavrinDlg dialog;
    Snapshot s;
    test::RunDialog(dialog, [&](HWND hwnd) {
        EXPECT_TRUE(WaitForRunEnd(dialog));
        s = Read(hwnd);
        Command(hwnd, IDCANCEL);
    });
    const std::vector<std::wstring> sorted = {L"",           L"..\\other\\o.bin", L".\\sub\\deep.bin",
                                              L"bad.bin",    L"empty.bin",        L"extra.bin",
                                              L"good.bin",   L"locked.bin",       L"missing.bin",
                                              L"upper.bin"};
    EXPECT_EQ(s.names, sorted);
    struct Expect { const wchar_t* name; int image; const wchar_t* size; };
    const Expect expected[] = {
        {L"", ImageMissing, L"Not found"},
        {L"..\\other\\o.bin", ImageOk, L"1 kB"},
        {L".\\sub\\deep.bin", ImageOk, L"1 kB"},
        {L"bad.bin", ImageBad, L"1 kB"},
        {L"empty.bin", ImageOk, L"0 kB"},
        {L"extra.bin", ImageBad, L"1 kB"},
        {L"good.bin", ImageOk, L"1 kB"},
        {L"locked.bin", ImageMissing, L""},
        {L"missing.bin", ImageMissing, L"Not found"},
        {L"upper.bin", ImageOk, L"2 kB"},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(std::string(e.name, e.name + wcslen(e.name)));
        EXPECT_EQ(s.rows[e.name].image, e.image);
        EXPECT_EQ(s.rows[e.name].size, e.size);
    }
    EXPECT_EQ(s.rows[L"missing.bin"].checksum, L"12345678");
    EXPECT_EQ(s.totalLabel, L"Total progress (10 of 10 files)");
    EXPECT_EQ(s.totalPos, 10);
    EXPECT_EQ(s.totalHigh, 10);
    EXPECT_EQ(s.fileLabel, L"Current file (100%)");
    EXPECT_FALSE(s.pauseEnabled);
    EXPECT_EQ(s.close, L"Close");
    EXPECT_TRUE(s.toggleVisible);
    EXPECT_EQ(s.comments, L"; made for a test\r\n;second comment");
}

TEST_F(MainWindowTest, LastRowMissingAtRunTimeLeavesTheTotalAtTheLastVerifiedRow)
{
    for (const wchar_t* name : {L"a.bin", L"b.bin", L"c.bin"})
        test::WriteFileBytes(folder / name, "same");
    const std::string line = " " + Checksum("same") + "\r\n";
    test::WriteFileBytes(folder / L"list.sfv", "c.bin" + line + "a.bin" + line + "b.bin" + line);
    ::ResetEvent(pauseEvent.Get());  // the run waits before its first read

    CKavrinDlg dialog;
    Snapshot s;
    test::RunDialog(dialog, [&](HWND hwnd) {
        dialog.LoadSfv(folder / L"list.sfv");
        ::DeleteFileW((folder / L"c.bin").c_str());
        ::SetEvent(pauseEvent.Get());
        EXPECT_TRUE(WaitForRunEnd(dialog));
        s = Read(hwnd);
        Command(hwnd, IDCANCEL);
    });
    EXPECT_EQ(s.totalLabel, L"Total progress (2 of 3 files)");
    EXPECT_EQ(s.rows[L"a.bin"].image, ImageOk);
    EXPECT_EQ(s.rows[L"c.bin"].image, ImagePending);
}

TEST_F(MainWindowTest, PauseTwiceTogglesTheButtonAndTheSharedEvent)
{
    test::WriteFileBytes(folder / L"a.bin", "a");
    test::WriteFileBytes(folder / L"list.sfv", "a.bin 00000000\r\n");
    ::ResetEvent(pauseEvent.Get());  // holds the run before its first read
    CKavrinDlg dialog;
    std::vector<std::wstring> texts;
    std::vector<bool> paused;
    test::RunDialog(dialog, [&](HWND hwnd) {
        dialog.LoadSfv(folder / L"list.sfv");
        ::SetEvent(pauseEvent.Get());
        for (int i = 0; i < 2; ++i) {
            Command(hwnd, IDC_PAUSE);
            texts.push_back(win::GetWindowTextString(::GetDlgItem(hwnd, IDC_PAUSE)));
            paused.push_back(IsPaused());
        }
        EXPECT_TRUE(WaitForRunEnd(dialog));
        Command(hwnd, IDCANCEL);
    });
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"Continue", L"Pause"}));
    EXPECT_EQ(paused, (std::vector<bool>{true, false}));
}

TEST_F(MainWindowTest, APausedRunShowsEveryRowItHasVerified)
{
    // Many small files: the run verifies several between two showings of its progress.
    constexpr int kFiles = 2000;
    std::string sfv;
    std::vector<std::wstring> names;
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "f" + std::to_string(10000 + i) + ".bin";
        test::WriteFileBytes(folder / std::wstring(name.begin(), name.end()), name);
        names.emplace_back(name.begin(), name.end());
        sfv += name + " " + Checksum(name) + "\r\n";
    }
    test::WriteFileBytes(folder / L"list.sfv", sfv);
    CKavrinDlg dialog;
    Snapshot atPause, laterWhilePaused, end;
    int top = 0, perPage = 0;
    test::RunDialog(dialog, [&](HWND hwnd) {
        dialog.LoadSfv(folder / L"list.sfv");
        const win::CListView list(::GetDlgItem(hwnd, IDC_RESULTS));
        EXPECT_TRUE(test::PumpUntil([&] { return list.GetItemImage(5) == ImageOk; }));
        Command(hwnd, IDC_PAUSE);
        // Held once the total stops moving: the run may take a while to reach its next read.
        const HWND totalLabel = ::GetDlgItem(hwnd, IDC_LABEL_TOTAL);
        for (std::wstring before; before != win::GetWindowTextString(totalLabel);) {
            before = win::GetWindowTextString(totalLabel);
            test::PumpUntil([] { return false; }, 150);
        }
        atPause = Read(hwnd);
        top = static_cast<int>(::SendMessageW(list.GetSafeHwnd(), LVM_GETTOPINDEX, 0, 0));
        perPage = static_cast<int>(::SendMessageW(list.GetSafeHwnd(), LVM_GETCOUNTPERPAGE, 0, 0));
        // Every file not shown as verified goes. The run holds the file it is in open, so only a
        // row it verified without showing would still come out intact after Continue.
        for (int i = 0; i < kFiles; ++i) {
            if (atPause.rows[names[i]].image != ImageOk)
                ::DeleteFileW((folder / names[i]).c_str());
        }
        test::PumpUntil([] { return false; }, 200);
        laterWhilePaused = Read(hwnd);
        Command(hwnd, IDC_PAUSE);
        EXPECT_TRUE(WaitForRunEnd(dialog));
        end = Read(hwnd);
        Command(hwnd, IDCANCEL);
    });
    int shown = 0;
    while (shown < kFiles && atPause.rows[names[shown]].image == ImageOk)
        ++shown;
    ASSERT_GT(shown, 5);
    ASSERT_LT(shown, kFiles) << "the run should still have been going when paused";
    for (int i = shown; i < kFiles; ++i)
        ASSERT_EQ(atPause.rows[names[i]].image, ImagePending) << i;
    EXPECT_EQ(atPause.totalLabel, win::Format(L"Total progress (%d of %d files)", shown, kFiles));
    EXPECT_EQ(atPause.totalPos, shown);
    EXPECT_LE(top, shown - 1);
    EXPECT_LT(shown - 1, top + perPage) << "the last verified row is in view";
    EXPECT_EQ(laterWhilePaused.totalLabel, atPause.totalLabel) << "a paused run moves nothing";
    // After Continue only the file the run was holding is verified; the others are gone.
    for (int i = 0; i < kFiles; ++i)
        ASSERT_EQ(end.rows[names[i]].image, i <= shown ? ImageOk : ImagePending) << i;
    EXPECT_EQ(end.totalLabel, win::Format(L"Total progress (%d of %d files)", shown + 1, kFiles));
}

TEST_F(MainWindowTest, CloseWhilePausedTakesEffectAfterContinue)
{
    test::WriteFileBytes(folder / L"big.bin", std::string(2 * 65536, 'b'));
    test::WriteFileBytes(folder / L"z.bin", "");
    test::WriteFileBytes(folder / L"list.sfv", "big.bin 00000000\r\nz.bin 00000000\r\n");
    ::ResetEvent(pauseEvent.Get());
    CKavrinDlg dialog;
    std::wstring closeText;
    bool currentWhilePaused = false, stillOpen = false;
    Snapshot end;
    test::RunDialog(dialog, [&](HWND hwnd) {
        dialog.LoadSfv(folder / L"list.sfv");
        // Let the run reach its wait before the first read of big.bin.
        test::PumpUntil([] { return false; }, 200);
        Command(hwnd, IDC_PAUSE);
        Command(hwnd, IDC_CLOSE);
        closeText = win::GetWindowTextString(::GetDlgItem(hwnd, IDC_CLOSE));
        test::PumpUntil([] { return false; }, 200);
        currentWhilePaused = dialog.HasCurrentRun();
        Command(hwnd, IDC_PAUSE);  // Continue: the run stops at its next check
        EXPECT_TRUE(WaitForRunEnd(dialog));
        end = Read(hwnd);
        stillOpen = ::IsWindowVisible(hwnd);
        Command(hwnd, IDC_CLOSE);  // no run now: this one closes the window
    });
    EXPECT_EQ(closeText, L"Close");
    EXPECT_TRUE(currentWhilePaused) << "a paused run sees the abort only after Continue";
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(end.rows[L"big.bin"].image, ImagePending);
    EXPECT_EQ(end.rows[L"z.bin"].image, ImagePending) << "no row after the abort is verified";
    EXPECT_FALSE(end.pauseEnabled);
    EXPECT_EQ(end.close, L"Close");
    EXPECT_EQ(end.pause, L"Pause");
}

TEST_F(MainWindowTest, ClosingDuringARunEndsItWithoutReleasingOtherCopies)
{
    test::WriteFileBytes(folder / L"a.bin", std::string(3 * 65536, 'a'));
    test::WriteFileBytes(folder / L"list.sfv", "a.bin 00000000\r\n");
    struct Case { int command; INT_PTR result; bool pausedByWindow; };
    const Case cases[] = {
        {ID_FILE_EXIT, IDCANCEL, false},
        {IDCANCEL, IDCANCEL, true},   // Escape or the close box, while paused
        {IDOK, IDOK, false},          // Enter on the list
    };
    for (const auto& c : cases) {
        ::ResetEvent(pauseEvent.Get());  // another copy of the program holds the shared event paused
        CKavrinDlg dialog;
        DWORD closeTook = 0;
        const INT_PTR result = test::RunDialog(dialog, [&](HWND hwnd) {
            dialog.LoadSfv(folder / L"list.sfv");
            if (c.pausedByWindow)
                Command(hwnd, IDC_PAUSE);
            const DWORD start = ::GetTickCount();
            Command(hwnd, c.command);
            closeTook = ::GetTickCount() - start;
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(g_pCheckThread.load(), nullptr);
        EXPECT_LT(closeTook, 1500u);
        EXPECT_TRUE(IsPaused()) << "closing must not set the shared pause event";
        ::SetEvent(pauseEvent.Get());
    }
}

TEST_F(MainWindowTest, ExitDoesNotHangOnARunStuckInARead)
{
    // A pipe that never delivers a byte stands for a dead network share: the read blocks.
    const std::wstring pipePath = L"\\\\.\\pipe\\kavrin-stuck-" + std::to_wstring(::GetCurrentProcessId());
    std::vector<win::CHandle> instances = SilentPipe(pipePath);
    ASSERT_FALSE(instances.empty());
    const std::string name(pipePath.begin(), pipePath.end());
    test::WriteFileBytes(folder / L"list.sfv", name + " 00000000\r\n");
    CKavrinDlg dialog;
    DWORD took = 0;
    bool runningBeforeExit = false;
    test::RunDialog(dialog, [&](HWND hwnd) {
        dialog.LoadSfv(folder / L"list.sfv");
        test::PumpUntil([] { return false; }, 300);
        runningBeforeExit = dialog.HasCurrentRun();
        const DWORD start = ::GetTickCount();
        Command(hwnd, ID_FILE_EXIT);
        took = ::GetTickCount() - start;
    });
    EXPECT_TRUE(runningBeforeExit);
    EXPECT_LT(took, 4000u);
    EXPECT_GE(took, 1500u) << "it waited for the run before cutting it off";
    EXPECT_EQ(g_pCheckThread.load(), nullptr);
    // The read fails once the pipe goes; the cut-off run then ends without touching anything.
    instances.clear();
    ::Sleep(200);
}

TEST_F(MainWindowTest, RowsVerifiedBeforeAFileThatTakesLongAreShownWhileItIsRead)
{
    // A pipe that delivers nothing until it is closed: a file on a slow share.
    const std::wstring pipePath = L"\\\\.\\pipe\\kavrin-slow-" + std::to_wstring(::GetCurrentProcessId());
    std::vector<win::CHandle> instances = SilentPipe(pipePath);
    ASSERT_FALSE(instances.empty());
    test::WriteFileBytes(folder / L"!1.bin", "one");
    test::WriteFileBytes(folder / L"!2.bin", "two");
    const std::string pipe(pipePath.begin(), pipePath.end());
    test::WriteFileBytes(folder / L"list.sfv",
                         pipe + " 00000000\r\n!1.bin " + Checksum("one") + "\r\n!2.bin " + Checksum("2") + "\r\n");
    CKavrinDlg dialog;
    Snapshot during, end;
    bool stillRunning = false;
    test::RunDialog(dialog, [&](HWND hwnd) {
        dialog.LoadSfv(folder / L"list.sfv");
        const win::CListView list(::GetDlgItem(hwnd, IDC_RESULTS));
        test::PumpUntil([&] { return list.GetItemImage(1) != ImagePending; }, 3000);
        during = Read(hwnd);
        stillRunning = dialog.HasCurrentRun();
        instances.clear();  // the read fails and the run goes on to its end
        EXPECT_TRUE(WaitForRunEnd(dialog));
        end = Read(hwnd);
        Command(hwnd, IDCANCEL);
    });
    ASSERT_EQ(during.names, (std::vector<std::wstring>{L"!1.bin", L"!2.bin", pipePath}));
    EXPECT_TRUE(stillRunning) << "the run is in the pipe";
    EXPECT_EQ(during.rows[L"!1.bin"].image, ImageOk);
    EXPECT_EQ(during.rows[L"!2.bin"].image, ImageBad);
    EXPECT_EQ(during.totalLabel, L"Total progress (2 of 3 files)");
    EXPECT_EQ(during.totalPos, 2);
    EXPECT_EQ(end.rows[pipePath].image, during.rows[pipePath].image) << "a read error leaves the row as it was";
    EXPECT_EQ(end.totalLabel, L"Total progress (2 of 3 files)");
}

TEST_F(MainWindowTest, LoadingDuringARunEndsTheOldRunFirst)
{
    test::WriteFileBytes(folder / L"one\\a.bin", "a");
    test::WriteFileBytes(folder / L"one\\list.sfv", "a.bin " + Checksum("a") + "\r\n");
    test::WriteFileBytes(folder / L"two\\b.bin", "b");
    test::WriteFileBytes(folder / L"two\\c.bin", "c");
    test::WriteFileBytes(folder / L"two\\list.sfv",
                         "b.bin " + Checksum("b") + "\r\nc.bin " + Checksum("c") + "\r\n");
    ::ResetEvent(pauseEvent.Get());
    CKavrinDlg dialog;
    Snapshot s;
    test::RunDialog(dialog, [&](HWND hwnd) {
        dialog.LoadSfv(folder / L"one\\list.sfv");
        Command(hwnd, IDC_PAUSE);
        ::SetEvent(pauseEvent.Get());
        // Dropped on the list while the first run is paused.
        ::SendMessageW(::GetDlgItem(hwnd, IDC_RESULTS), WM_DROPFILES,
                       reinterpret_cast<WPARAM>(test::MakeDrop({folder / L"two\\list.sfv"})), 0);
        EXPECT_TRUE(WaitForRunEnd(dialog));
        s = Read(hwnd);
        Command(hwnd, IDCANCEL);
    });
    EXPECT_EQ(s.names, (std::vector<std::wstring>{L"b.bin", L"c.bin"}));
    EXPECT_EQ(s.rows[L"b.bin"].image, ImageOk);
    EXPECT_EQ(s.rows[L"c.bin"].image, ImageOk);
    EXPECT_EQ(s.pause, L"Pause") << "a new run starts unpaused";
    EXPECT_EQ(s.totalLabel, L"Total progress (2 of 2 files)");
}

TEST_F(MainWindowTest, DropsLoadOnlyTheFirstSfvFile)
{
    test::WriteFileBytes(folder / L"first.SFV", "one.bin 00000000\r\n");
    test::WriteFileBytes(folder / L"second.sfv", "two.bin 00000000\r\n");
    test::WriteFileBytes(folder / L"notes.txt", "text");
    ::CreateDirectoryW((folder / L"dir").c_str(), nullptr);
    test::CMessageBoxAnswerer answerer(IDOK);
    CKavrinDlg dialog;
    Snapshot afterFolders, afterFiles;
    test::RunDialog(dialog, [&](HWND hwnd) {
        const HWND list = ::GetDlgItem(hwnd, IDC_RESULTS);
        ::SendMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(test::MakeDrop({folder / L"dir"})), 0);
        afterFolders = Read(hwnd);
        ::SendMessageW(list, WM_DROPFILES,
                       reinterpret_cast<WPARAM>(test::MakeDrop(
                           {folder / L"notes.txt", folder / L"first.SFV", folder / L"second.sfv"})),
                       0);
        EXPECT_TRUE(WaitForRunEnd(dialog));
        afterFiles = Read(hwnd);
        Command(hwnd, IDCANCEL);
    });
    EXPECT_TRUE(afterFolders.names.empty());
    EXPECT_EQ(afterFiles.names, std::vector<std::wstring>{L"one.bin"});
    EXPECT_TRUE(answerer.Seen().empty());
}

// UTF-16 bytes of text behind its byte-order mark.
std::string Utf16File(std::u16string_view text, bool little)
{
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += little ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

std::string Utf8(std::u8string_view text)
{
    return std::string(text.begin(), text.end());
}

TEST_F(MainWindowTest, ListsInEveryEncodingVerifyAndShowTheirComments)
{
    for (const wchar_t* name : {L"\u0416\u0443\u043a.txt", L"\u00e9t\u00e9.txt", L"plain.txt"})
        test::WriteFileBytes(folder / name, "a");
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::wstring> names;  // in list order
        std::wstring comments;
    };
    const Case cases[] = {
        {"UTF-8 with a mark and a header comment: no row for the mark",
         "\xEF\xBB\xBF" + Utf8(u8"; \u041f\u0440\u043e\u0432\u0435\u0440\u043a\u0430 \u03b1\u03b2 \u65e5\u672c\r\n"
                                u8"\u0416\u0443\u043a.txt e8b7be43\r\n"),
         {L"\u0416\u0443\u043a.txt"},
         L"; \u041f\u0440\u043e\u0432\u0435\u0440\u043a\u0430 \u03b1\u03b2 \u65e5\u672c"},
        {"UTF-8 without a mark",
         Utf8(u8"\u0416\u0443\u043a.txt e8b7be43\n\u00e9t\u00e9.txt e8b7be43\n; \u0395\u03bb\u03bb\u03ac\u03b4\u03b1\n"),
         {L"\u00e9t\u00e9.txt", L"\u0416\u0443\u043a.txt"},
         L"; \u0395\u03bb\u03bb\u03ac\u03b4\u03b1"},
        {"UTF-16 LE with CR LF",
         Utf16File(u"; \u0395\u03bb\u03bb\u03ac\u03b4\u03b1\r\n\u0416\u0443\u043a.txt e8b7be43\r\nplain.txt E8B7BE43\r\n", true),
         {L"plain.txt", L"\u0416\u0443\u043a.txt"},
         L"; \u0395\u03bb\u03bb\u03ac\u03b4\u03b1"},
        {"UTF-16 BE", Utf16File(u"\u00e9t\u00e9.txt e8b7be43\r\n", false), {L"\u00e9t\u00e9.txt"}, L""},
        {"Latin-1 e acute, one byte per character as before", "; caf\xE9\r\n\xE9t\xE9.txt e8b7be43\r\n",
         {L"\u00e9t\u00e9.txt"}, L"; caf\u00e9"},
        {"all ASCII", "; note\r\nplain.txt e8b7be43\r\n", {L"plain.txt"}, L"; note"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::WriteFileBytes(folder / L"list.sfv", c.bytes);
        CKavrinDlg dialog;
        Snapshot s;
        test::RunDialog(dialog, [&](HWND hwnd) {
            dialog.LoadSfv(folder / L"list.sfv");
            EXPECT_TRUE(WaitForRunEnd(dialog));
            if (::IsWindowVisible(::GetDlgItem(hwnd, IDC_COMMENTS_TOGGLE)))
                Command(hwnd, IDC_COMMENTS_TOGGLE);
            s = Read(hwnd);
            Command(hwnd, IDCANCEL);
        });
        EXPECT_EQ(s.names, c.names);
        for (const auto& name : c.names)
            EXPECT_EQ(s.rows[name].image, ImageOk);
        EXPECT_EQ(s.toggleVisible, !c.comments.empty());
        EXPECT_EQ(s.comments, c.comments);
    }
}

TEST_F(MainWindowTest, PathsOfMoreThan300CharactersVerifyAndADroppedOneArrivesWhole)
{
    const std::wstring deep = test::DeepFolder(folder / L"set", 300);
    test::WriteFileBytes(deep + L"\\f.txt", "a");
    test::WriteFileBytes(deep + L"\\g.txt", "a");
    // Listed in the deep folder itself: a trailing space and a way out and back in.
    const std::wstring last = deep.substr(deep.find_last_of(L'\\') + 1);
    const std::wstring back = L"..\\" + last + L"\\g.txt";
    test::WriteFileBytes(deep + L"\\deep.sfv",
                         "f.txt  e8b7be43\r\n" + std::string(back.begin(), back.end()) + " e8b7be43\r\n");
    // Listed from above, by a relative path longer than 260 characters.
    const std::wstring relative = L"." + deep.substr(folder.Path().size()) + L"\\f.txt";
    test::WriteFileBytes(folder / L"above.sfv", std::string(relative.begin(), relative.end()) + " e8b7be43\r\n");

    CKavrinDlg dialog;
    Snapshot dropped, above;
    test::RunDialog(dialog, [&](HWND hwnd) {
        ::SendMessageW(::GetDlgItem(hwnd, IDC_RESULTS), WM_DROPFILES,
                       reinterpret_cast<WPARAM>(test::MakeDrop({deep + L"\\deep.sfv"})), 0);
        EXPECT_TRUE(WaitForRunEnd(dialog));
        dropped = Read(hwnd);
        dialog.LoadSfv(folder / L"above.sfv");
        EXPECT_TRUE(WaitForRunEnd(dialog));
        above = Read(hwnd);
        Command(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dropped.names, (std::vector<std::wstring>{back, L"f.txt "}));
    EXPECT_EQ(dropped.rows[L"f.txt "].image, ImageOk);
    EXPECT_EQ(dropped.rows[back].image, ImageOk);
    EXPECT_EQ(dropped.rows[back].size, L"1 kB");
    EXPECT_EQ(above.names, std::vector<std::wstring>{relative});
    EXPECT_EQ(above.rows[relative].image, ImageOk);
}

TEST_F(MainWindowTest, UnreadableSfvFileIsReported)
{
    const std::wstring missing = folder / L"gone.sfv";
    test::CMessageBoxAnswerer answerer(IDOK);
    SetArguments({L"C:\\kavrin.exe", missing});
    CKavrinDlg dialog;
    Snapshot s;
    test::RunDialog(dialog, [&](HWND hwnd) {
        s = Read(hwnd);
        Command(hwnd, IDCANCEL);
    });
    const auto boxes = answerer.Seen();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Kavrin");
    EXPECT_EQ(boxes[0].text, L"Failed to open file " + missing);
    EXPECT_EQ(boxes[0].icon, ::LoadIconW(nullptr, IDI_ERROR));
    EXPECT_EQ(boxes[0].buttons, std::vector<int>{IDOK});
    EXPECT_TRUE(s.names.empty());
    EXPECT_FALSE(s.pauseEnabled) << "no run";
}

TEST_F(MainWindowTest, ReadErrorKeepsTheRowsReadAndStartsNoRun)
{
    // A pipe whose writer goes away in the middle of a line: reading it fails after the data.
    const std::wstring path = L"\\\\.\\pipe\\kavrin-test-" + std::to_wstring(::GetCurrentProcessId()) + L".sfv";
    win::CHandle pipe(::CreateNamedPipeW(path.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                         65536, 65536, 0, nullptr));
    ASSERT_NE(pipe.Get(), INVALID_HANDLE_VALUE);
    std::thread writer([&] {
        ::ConnectNamedPipe(pipe.Get(), nullptr);
        const std::string text = "a.bin 00000001\r\nb.bin 00000002\r\nc.bin 0000";
        DWORD written = 0;
        ::WriteFile(pipe.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        ::FlushFileBuffers(pipe.Get());
        ::DisconnectNamedPipe(pipe.Get());
    });
    test::CMessageBoxAnswerer answerer(IDOK);
    CKavrinDlg dialog;
    Snapshot s;
    test::RunDialog(dialog, [&](HWND hwnd) {
        dialog.LoadSfv(path);
        s = Read(hwnd);
        Command(hwnd, IDCANCEL);
    });
    writer.join();
    const auto boxes = answerer.Seen();
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(boxes.back().text.find(path), std::wstring::npos) << "the message names the file";
    EXPECT_EQ(boxes.back().icon, ::LoadIconW(nullptr, IDI_ERROR));
    EXPECT_EQ(s.names, (std::vector<std::wstring>{L"a.bin", L"b.bin"}));
    EXPECT_FALSE(s.pauseEnabled) << "no run";
}

TEST_F(MainWindowTest, EmptyAndCommentOnlyFilesRunOverNoRows)
{
    test::WriteFileBytes(folder / L"empty.sfv", "");
    test::WriteFileBytes(folder / L"notes.sfv", "; only\r\n; comments\r\n");
    CKavrinDlg dialog;
    Snapshot empty, notes;
    test::RunDialog(dialog, [&](HWND hwnd) {
        dialog.LoadSfv(folder / L"empty.sfv");
        EXPECT_TRUE(WaitForRunEnd(dialog));
        empty = Read(hwnd);
        dialog.LoadSfv(folder / L"notes.sfv");
        EXPECT_TRUE(WaitForRunEnd(dialog));
        notes = Read(hwnd);
        Command(hwnd, IDCANCEL);
    });
    EXPECT_EQ(empty.totalLabel, L"Total progress (0 of 0 files)");
    EXPECT_FALSE(empty.toggleVisible);
    EXPECT_EQ(notes.totalLabel, L"Total progress (0 of 0 files)");
    EXPECT_TRUE(notes.toggleVisible);
    EXPECT_FALSE(notes.pauseEnabled);
}

TEST_F(MainWindowTest, CheckSfvLoadsTheChosenFileWhateverItsExtension)
{
    const std::wstring chosen = folder / L"list.txt";
    test::WriteFileBytes(folder / L"a.bin", "a");
    test::WriteFileBytes(chosen, "a.bin " + Checksum("a") + "\r\n");
    CKavrinDlg dialog;
    Snapshot s;
    bool dialogFound = false;
    test::RunDialog(dialog, [&](HWND hwnd) {
        // The open-file dialog is modal inside the command: fill it in from another thread.
        std::thread user([&] {
            HWND open = nullptr;
            for (int i = 0; i < 200 && !open; ++i, ::Sleep(25))
                open = ::FindWindowW(L"#32770", L"Open");
            dialogFound = open != nullptr;
            if (!open)
                return;
            ::Sleep(100);
            ::SendMessageW(::GetDlgItem(open, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()));
            ::PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
        Command(hwnd, ID_FILE_CHECKSFV);
        user.join();
        EXPECT_TRUE(WaitForRunEnd(dialog));
        s = Read(hwnd);
        Command(hwnd, IDCANCEL);
    });
    EXPECT_TRUE(dialogFound);
    EXPECT_EQ(s.names, std::vector<std::wstring>{L"a.bin"});
    EXPECT_EQ(s.rows[L"a.bin"].image, ImageOk);
}

TEST_F(MainWindowTest, CommentsPanelOpensClosesAndNeverGoesStale)
{
    test::WriteFileBytes(folder / L"with.sfv", "; hello\r\n");
    test::WriteFileBytes(folder / L"without.sfv", "x.bin 00000000\r\n");
    CKavrinDlg dialog;
    std::vector<Snapshot> steps;
    test::RunDialog(dialog, [&](HWND hwnd) {
        dialog.LoadSfv(folder / L"with.sfv");
        Command(hwnd, IDC_COMMENTS_TOGGLE);
        steps.push_back(Read(hwnd));
        Command(hwnd, IDC_COMMENTS_TOGGLE);
        steps.push_back(Read(hwnd));
        Command(hwnd, IDC_COMMENTS_TOGGLE);
        dialog.LoadSfv(folder / L"without.sfv");
        steps.push_back(Read(hwnd));
        EXPECT_TRUE(WaitForRunEnd(dialog));
        Command(hwnd, IDCANCEL);
    });
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].width, 707);
    EXPECT_EQ(steps[0].toggle, L"Comments <<");
    EXPECT_TRUE(steps[0].commentsVisible);
    EXPECT_EQ(steps[0].comments, L"; hello");
    EXPECT_EQ(steps[1].width, 396);
    EXPECT_EQ(steps[1].toggle, L"Comments >>");
    EXPECT_FALSE(steps[1].commentsVisible);
    EXPECT_EQ(steps[2].width, 396) << "a file without comments closes the panel";
    EXPECT_FALSE(steps[2].commentsVisible);
    EXPECT_FALSE(steps[2].toggleVisible);
    EXPECT_EQ(steps[2].comments, L"");
}

TEST_F(MainWindowTest, SfvFileInADriveRootResolvesAgainstThatRoot)
{
    // The test prefix maps K: to a folder of its own.
    const std::wstring tag = std::to_wstring(::GetCurrentProcessId());
    const std::wstring sfv = L"K:\\root-" + tag + L".sfv";
    const std::wstring file = L"r-" + tag + L".bin";
    test::WriteFileBytes(L"K:\\" + file, "root");
    test::WriteFileBytes(sfv, std::string(file.begin(), file.end()) + " " + Checksum("root") + "\r\n");
    ::SetCurrentDirectoryW(folder.Path().c_str());
    CKavrinDlg dialog;
    Snapshot s;
    wchar_t current[MAX_PATH] = {};
    test::RunDialog(dialog, [&](HWND hwnd) {
        dialog.LoadSfv(sfv);
        EXPECT_TRUE(WaitForRunEnd(dialog));
        ::GetCurrentDirectoryW(MAX_PATH, current);
        s = Read(hwnd);
        Command(hwnd, IDCANCEL);
    });
    ::SetCurrentDirectoryW(L"C:\\");
    ::DeleteFileW(sfv.c_str());
    ::DeleteFileW((L"K:\\" + file).c_str());
    EXPECT_STREQ(current, L"K:\\");
    EXPECT_EQ(s.rows[file].image, ImageOk);
}

} // namespace

namespace {

// Stands in for the notification area, which Wine's null graphics driver does not have.
struct TrayCall {
    DWORD message;
    NOTIFYICONDATAW data;
};
std::vector<TrayCall> g_trayCalls;

BOOL WINAPI RecordTrayCall(DWORD message, PNOTIFYICONDATAW data)
{
    g_trayCalls.push_back({message, *data});
    return TRUE;
}

TEST_F(MainWindowTest, MinimiseGoesToTheNotificationAreaAndTheIconRestores)
{
    test::WriteFileBytes(folder / L"a.bin", "a");
    test::WriteFileBytes(folder / L"b.bin", "b");
    test::WriteFileBytes(folder / L"list.sfv", "a.bin " + Checksum("a") + "\r\nb.bin 00000000\r\n");
    g_trayCalls.clear();
    const PFN_SHELL_NOTIFY_ICON previous = CTrayIcon::SetShellNotifyFunction(RecordTrayCall);
    ::ResetEvent(pauseEvent.Get());
    CKavrinDlg dialog;
    bool hiddenWhileMinimised = true, visibleAfterRestore = false;
    int restoredWidth = 0;
    test::RunDialog(dialog, [&](HWND hwnd) {
        Command(hwnd, IDC_COMMENTS_TOGGLE);  // hidden button, but the width change is what counts
        ::SendMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        hiddenWhileMinimised = ::IsWindowVisible(hwnd) != FALSE;
        dialog.LoadSfv(folder / L"list.sfv");  // a run that ends while the window is in the tray
        ::SetEvent(pauseEvent.Get());
        EXPECT_TRUE(WaitForRunEnd(dialog));
        ::SendMessageW(hwnd, WM_USER, IDR_MAINMENU, WM_LBUTTONUP);
        visibleAfterRestore = ::IsWindowVisible(hwnd) && !::IsIconic(hwnd);
        restoredWidth = Read(hwnd).width;
        Command(hwnd, IDCANCEL);
    });
    CTrayIcon::SetShellNotifyFunction(previous);
    EXPECT_FALSE(hiddenWhileMinimised);
    EXPECT_TRUE(visibleAfterRestore);
    EXPECT_EQ(restoredWidth, 707) << "restored at its previous width";
    ASSERT_GE(g_trayCalls.size(), 3u);
    EXPECT_EQ(g_trayCalls.front().message, static_cast<DWORD>(NIM_ADD));
    EXPECT_STREQ(g_trayCalls.front().data.szTip, L"Kavrin");
    EXPECT_EQ(g_trayCalls.front().data.uCallbackMessage, static_cast<UINT>(WM_USER));
    bool balloon = false;
    for (const auto& call : g_trayCalls) {
        if (call.message == NIM_MODIFY && (call.data.uFlags & NIF_INFO)) {
            balloon = true;
            EXPECT_STREQ(call.data.szInfo, L"1 of 2 files ok.");
            EXPECT_STREQ(call.data.szInfoTitle, L"Operation complete");
        }
    }
    EXPECT_TRUE(balloon);
    EXPECT_EQ(g_trayCalls.back().message, static_cast<DWORD>(NIM_DELETE));
}

} // namespace

namespace {

// Fills in the Create dialog once it is up: drops the paths, types the SFV path, presses Create
// (or Cancel when sfvPath is empty).
void FillCreateDialogLater(std::vector<std::wstring> drops, std::wstring sfvPath, bool* seen,
                           RECT* placed = nullptr)
{
    test::RunLater(30, [drops, sfvPath, seen, placed] {
        const HWND create = test::FindOwnDialog(L"Create SFV file");
        if (!create || !::IsWindowVisible(create))
            return false;
        *seen = true;
        if (placed)
            ::GetWindowRect(create, placed);
        if (sfvPath.empty()) {
            ::PostMessageW(create, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        }
        ::SendMessageW(::GetDlgItem(create, IDC_FILES), WM_DROPFILES,
                       reinterpret_cast<WPARAM>(test::MakeDrop(drops)), 0);
        ::SetDlgItemTextW(create, IDC_SFV_PATH, sfvPath.c_str());
        ::PostMessageW(create, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    });
}

TEST_F(MainWindowTest, CreatedSetVerifiesIntactAndASuccessEndsTheProgram)
{
    test::WriteFileBytes(folder / L"set\\a.txt", "a");
    test::WriteFileBytes(folder / L"set\\sub\\b.bin", std::string(70000, 'b'));
    test::WriteFileBytes(folder / L"set\\.hidden", "dot");
    test::WriteFileBytes(folder / L"other\\c.dat", "c");
    const std::wstring sfv = folder / L"set\\set.sfv";
    test::CMessageBoxAnswerer answerer(IDOK);
    bool createSeen = false, hiddenMeanwhile = false;
    CKavrinDlg creator;
    const INT_PTR result = test::RunDialog(creator, [&](HWND hwnd) {
        FillCreateDialogLater({folder / L"set", folder / L"other\\c.dat"}, sfv, &createSeen);
        test::RunLater(40, [&] {
            hiddenMeanwhile = hiddenMeanwhile || !::IsWindowVisible(hwnd);
            return true;
        });
        Command(hwnd, ID_FILE_CREATESFV);
    });
    EXPECT_TRUE(createSeen);
    EXPECT_TRUE(hiddenMeanwhile) << "the main window hides while the Create dialog is open";
    EXPECT_EQ(result, IDCANCEL) << "after a successful creation the program ends";
    const auto boxes = answerer.Seen();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"The SFV file was created successfully.");

    // The round trip: the new list verifies every file as intact.
    Snapshot s = LoadAndVerify(sfv);
    EXPECT_EQ(s.names, (std::vector<std::wstring>{L"..\\other\\c.dat", L".\\sub\\b.bin", L".hidden", L"a.txt"}));
    for (const auto& name : s.names)
        EXPECT_EQ(s.rows[name].image, ImageOk) << std::string(name.begin(), name.end());
    EXPECT_EQ(s.totalLabel, L"Total progress (4 of 4 files)");
}

TEST_F(MainWindowTest, NamesInCyrillicGreekCjkAndAnEmojiRoundTripFromCreateToVerify)
{
    const std::wstring set = folder / L"\u0421\u0435\u0442";
    const std::wstring files[] = {
        L"\u0416\u0443\u0440\u043d\u0430\u043b.txt",
        L"\u0391\u03b8\u03ae\u03bd\u03b1.jpg",
        L"\u5199\u771f\\\u65e5\u672c\u306e\u5c71.png",
        L"\U0001F600 smile.txt",
    };
    for (const auto& file : files)
        test::WriteFileBytes(set + L"\\" + file, std::string(70000, static_cast<char>(file.size())));
    CKavrinCreate creator;
    const std::wstring sfv = set + L"\\\u5217\u8868.sfv";
    const auto created = test::CreateSfv(creator, {set}, sfv.c_str());
    ASSERT_FALSE(created.boxes.empty());
    EXPECT_EQ(created.boxes.back().text, L"The SFV file was created successfully.");

    Snapshot s = LoadAndVerify(sfv);
    ASSERT_EQ(s.names.size(), std::size(files));
    for (const auto& file : files) {
        // The bare name beside the SFV file, a relative path below it.
        const std::wstring listed = file.find(L'\\') == std::wstring::npos ? file : L".\\" + file;
        EXPECT_EQ(s.rows[listed].image, ImageOk) << s.rows.count(listed);
        EXPECT_EQ(s.rows[listed].size, L"69 kB");
    }
    EXPECT_EQ(s.totalLabel, L"Total progress (4 of 4 files)");
}

TEST_F(MainWindowTest, CancelledCreateBringsTheWindowBack)
{
    bool createSeen = false;
    bool visibleAfter = false;
    RECT placed{};
    CKavrinDlg dialog;
    const INT_PTR result = test::RunDialog(dialog, [&](HWND hwnd) {
        FillCreateDialogLater({}, L"", &createSeen, &placed);
        Command(hwnd, ID_FILE_CREATESFV);
        visibleAfter = ::IsWindowVisible(hwnd) != FALSE;
        Command(hwnd, IDCANCEL);
    });
    EXPECT_TRUE(createSeen);
    EXPECT_TRUE(visibleAfter);
    EXPECT_EQ(result, IDCANCEL);
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    ::GetMonitorInfoW(::MonitorFromRect(&placed, MONITOR_DEFAULTTOPRIMARY), &screen);
    EXPECT_NEAR((placed.left + placed.right) / 2, (screen.rcWork.left + screen.rcWork.right) / 2, 1)
        << "the Create dialog opens centred";
}

TEST_F(MainWindowTest, OnlyAPressOfTheSpaceBarOpensCreate)
{
    bool createSeen = false;
    CKavrinDlg dialog;
    bool openedByOthers = false;
    test::RunDialog(dialog, [&](HWND hwnd) {
        const HWND close = ::GetDlgItem(hwnd, IDC_CLOSE);
        // A mouse move with the first extra button held also carries 32 in its first parameter.
        ::PostMessageW(close, WM_MOUSEMOVE, MK_XBUTTON1, 0);
        ::PostMessageW(::GetDlgItem(hwnd, IDC_RESULTS), WM_MOUSEMOVE, MK_XBUTTON1, MAKELPARAM(5, 5));
        test::PumpUntil([] { return false; }, 200);
        openedByOthers = test::FindOwnDialog(L"Create SFV file") != nullptr;
        FillCreateDialogLater({}, L"", &createSeen);
        ::PostMessageW(close, WM_KEYDOWN, VK_SPACE, 0);
        ::PostMessageW(close, WM_KEYUP, VK_SPACE, 0xC0000001);
        test::RunLater(50, [&] {
            if (!createSeen || !::IsWindowVisible(hwnd))
                return false;
            ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        });
    });
    EXPECT_FALSE(openedByOthers);
    EXPECT_TRUE(createSeen) << "the space bar on the focused Close button opens the Create dialog";
}

TEST_F(MainWindowTest, CreateFromTheNotificationAreaLeavesTheWindowHidden)
{
    test::WriteFileBytes(folder / L"a.txt", "a");
    const PFN_SHELL_NOTIFY_ICON previous = CTrayIcon::SetShellNotifyFunction(RecordTrayCall);
    test::CMessageBoxAnswerer answerer(IDOK);
    for (bool succeed : {true, false}) {
        bool createSeen = false, hiddenAfter = false;
        CKavrinDlg dialog;
        test::RunDialog(dialog, [&](HWND hwnd) {
            ::SendMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            FillCreateDialogLater({folder / L"a.txt"}, succeed ? folder / L"a.sfv" : L"", &createSeen);
            Command(hwnd, ID_FILE_CREATESFV);  // as the icon's menu sends it
            hiddenAfter = !::IsWindowVisible(hwnd);
            Command(hwnd, IDCANCEL);
        });
        EXPECT_TRUE(createSeen);
        EXPECT_TRUE(hiddenAfter) << (succeed ? "after a creation" : "after a cancel");
    }
    CTrayIcon::SetShellNotifyFunction(previous);
    EXPECT_EQ(test::ReadFileBytes(folder / L"a.sfv").substr(0, 30), "; This file were created with ");
}

} // namespace
