// The main window under load and bad timing: big lists, closing and reloading at any moment.
#include "app/KavrinDlg.h"

#include <gtest/gtest.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "create/CreateSupport.h"
#include "engine/CheckThread.h"
#include "engine/Crc32.h"
#include "res/resource.h"
#include "win/Handle.h"
#include "win/ListView.h"
#include "win/WideString.h"

namespace {

std::string Checksum(const std::string& data)
{
    const std::wstring text = kavrin::CrcText(kavrin::Crc32(data.data(), data.size()));
    return std::string(text.begin(), text.end());
}

// Memory this process has committed for itself.
SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters);
    return counters.PrivateUsage;
}

struct StressTest : ::testing::Test {
    test::CTempFolder folder;
    void SetUp() override
    {
        CAppArgs::Instance()->argv = nullptr;
        CAppArgs::Instance()->argc = 0;
    }
};

TEST_F(StressTest, AListOfAHundredThousandEntriesLoadsAndVerifies)
{
    // A thousand small files, each listed a hundred times, the list in reverse order.
    std::string sfv;
    sfv.reserve(100000 * 24);
    for (int f = 999; f >= 0; --f) {
        char name[32];
        snprintf(name, sizeof name, "f%03d.bin", f);
        const std::string content(static_cast<std::size_t>(f % 7), static_cast<char>('a' + f % 26));
        test::WriteFileBytes(folder / std::wstring(name, name + strlen(name)), content);
        const std::string line = std::string(name) + " " + Checksum(content) + "\r\n";
        for (int copy = 0; copy < 100; ++copy)
            sfv += line;
    }
    test::WriteFileBytes(folder / L"big.sfv", sfv);

    CKavrinDlg dialog;
    int rows = 0, intact = 0, totalPos = 0;
    bool ended = false;
    std::wstring first, last, totalLabel;
    DWORD loadTook = 0, runTook = 0;
    SIZE_T memoryBefore = 0, memoryLoaded = 0, memoryVerified = 0;
    const INT_PTR result = test::RunDialog(dialog, [&](HWND hwnd) {
        memoryBefore = PrivateBytes();
        const DWORD start = ::GetTickCount();
        dialog.LoadSfv(folder / L"big.sfv");
        loadTook = ::GetTickCount() - start;
        memoryLoaded = PrivateBytes();
        ended = test::PumpUntil([&] { return !dialog.HasCurrentRun(); }, 90000);
        runTook = ::GetTickCount() - start - loadTook;
        memoryVerified = PrivateBytes();
        const win::CListView list(::GetDlgItem(hwnd, IDC_RESULTS));
        rows = list.GetItemCount();
        first = list.GetItemText(0, 0);
        last = list.GetItemText(rows - 1, 0);
        for (int i = 0; i < rows; ++i)
            intact += list.GetItemImage(i) == ImageOk;
        totalLabel = win::GetWindowTextString(::GetDlgItem(hwnd, IDC_LABEL_TOTAL));
        totalPos = static_cast<int>(::SendMessageW(::GetDlgItem(hwnd, IDC_PROGRESS_TOTAL), PBM_GETPOS, 0, 0));
        ::SendMessageW(hwnd, WM_COMMAND, ID_FILE_EXIT, 0);
    }, 120000);
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_TRUE(ended) << "the run did not end";
    EXPECT_EQ(rows, 100000);
    EXPECT_EQ(first, L"f000.bin");
    EXPECT_EQ(last, L"f999.bin");
    EXPECT_EQ(intact, 100000);
    EXPECT_EQ(totalLabel, L"Total progress (100000 of 100000 files)");
    EXPECT_EQ(totalPos, 100000);
    // Memory goes with the rows (a few hundred bytes each), not with the files' sizes or more,
    // and the run adds nothing that stays.
    const auto grown = [&](SIZE_T to) { return to - std::min(to, memoryBefore); };
    EXPECT_LT(grown(memoryLoaded), static_cast<SIZE_T>(64) << 20) << grown(memoryLoaded) / 1024 << " KiB";
    EXPECT_LT(grown(memoryVerified), grown(memoryLoaded) + (static_cast<SIZE_T>(4) << 20))
        << grown(memoryVerified) / 1024 << " KiB after the run";
    std::printf("100,000 entries: loaded in %lu ms, verified in %lu ms\n", loadTook, runTook);
    EXPECT_EQ(g_pCheckThread.load(), nullptr);
}

TEST_F(StressTest, ClosingReloadingAndAbortingAtAnyMomentNeverHangsOrCrashes)
{
    for (const wchar_t* name : {L"a.bin", L"b.bin", L"c.bin"})
        test::WriteFileBytes(folder / name, std::string(1 << 20, 'x'));
    const std::string line = " " + Checksum(std::string(1 << 20, 'x')) + "\r\n";
    test::WriteFileBytes(folder / L"one.sfv", "a.bin" + line + "b.bin" + line + "c.bin" + line);
    test::WriteFileBytes(folder / L"two.sfv", "c.bin" + line + "b.bin" + line);
    std::mt19937 random(20261211);
    int closedInTime = 0, rounds = 0;
    for (int round = 0; round < 40; ++round, ++rounds) {
        CKavrinDlg dialog;
        const int action = static_cast<int>(random() % 5);
        const DWORD delay = random() % 25;
        DWORD took = 0;
        const INT_PTR result = test::RunDialog(dialog, [&](HWND hwnd) {
            dialog.LoadSfv(folder / L"one.sfv");
            test::PumpUntil([] { return false; }, delay);
            if (action == 3) {
                dialog.LoadSfv(folder / L"two.sfv");  // reload during the run
                test::PumpUntil([] { return false; }, delay);
            } else if (action == 4) {
                ::SendMessageW(hwnd, WM_COMMAND, IDC_PAUSE, 0);
                ::SendMessageW(hwnd, WM_COMMAND, IDC_CLOSE, 0);  // abort while paused
                ::SendMessageW(hwnd, WM_COMMAND, IDC_PAUSE, 0);
                // The run has ended; the Close button below then closes the window.
                EXPECT_TRUE(test::PumpUntil([&] { return !dialog.HasCurrentRun(); }, 5000));
            }
            const int close[] = {ID_FILE_EXIT, IDCANCEL, IDOK, ID_FILE_EXIT, IDC_CLOSE};
            const DWORD start = ::GetTickCount();
            ::SendMessageW(hwnd, WM_COMMAND, close[action], 0);
            took = ::GetTickCount() - start;
        }, 20000);
        // IDABORT would mean the test had to end the window itself: the close did not take.
        EXPECT_NE(result, IDABORT) << "round " << round << ", action " << action;
        closedInTime += took < 2500;
        ASSERT_EQ(g_pCheckThread.load(), nullptr) << "round " << round;
    }
    EXPECT_EQ(closedInTime, rounds);
    ::Sleep(100);  // any run still winding down ends without a window to touch
}

TEST_F(StressTest, CreationRunsStoppedAtAnyMomentWriteAllOrNothing)
{
    test::WriteFileBytes(folder / L"in\\a.bin", std::string(1 << 20, 'a'));
    test::WriteFileBytes(folder / L"in\\b.bin", std::string(1 << 20, 'b'));
    test::WriteFileBytes(folder / L"in\\sub\\c.bin", "c");
    const std::wstring sfv = folder / L"out.sfv";
    const std::string old = "; old list\r\n";
    std::mt19937 random(7);
    int aborted = 0, completed = 0;
    for (int round = 0; round < 15; ++round) {
        test::WriteFileBytes(sfv, old);
        const int way = static_cast<int>(random() % 3);
        const DWORD delay = random() % 20;
        CKavrinCreate dialog;
        const auto outcome = test::CreateSfv(dialog, {folder / L"in"}, sfv.c_str(), [&](HWND progress, HWND) {
            test::PumpUntil([] { return false; }, delay);
            if (!::IsWindow(progress))
                return;
            if (way == 0)
                ::SendDlgItemMessageW(progress, IDC_ABORT, BM_CLICK, 0, 0);
            else if (way == 1)
                ::SendMessageW(progress, WM_COMMAND, IDCANCEL, 0);
            else
                ::SendMessageW(progress, WM_CLOSE, 0, 0);
        });
        const std::string written = test::ReadFileBytes(sfv);
        if (outcome.result == IDOK) {
            ++completed;
            EXPECT_EQ(written.substr(0, std::strlen(test::kHeader)), test::kHeader);
            EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 4) << "header and three files";
        } else {
            ++aborted;
            EXPECT_TRUE(outcome.boxes.empty()) << "an abort shows no message";
            EXPECT_EQ(written, old) << "an aborted run leaves the old file as it was";
        }
    }
    EXPECT_EQ(aborted + completed, 15);
}

TEST_F(StressTest, AFileThatFailsMidReadIsNeverCountedAsIntact)
{
    // A pipe whose writer goes away after some data stands for a file that turns unreadable.
    const std::wstring pipePath = L"\\\\.\\pipe\\kavrin-breaks-" + std::to_wstring(::GetCurrentProcessId());
    std::vector<win::CHandle> instances;
    for (int i = 0; i < 2; ++i) {  // one for the look-up while loading, one for the run
        instances.emplace_back(::CreateNamedPipeW(pipePath.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                                  PIPE_TYPE_BYTE | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES, 65536,
                                                  65536, 0, nullptr));
        ASSERT_NE(instances.back().Get(), INVALID_HANDLE_VALUE);
    }
    const std::string data(70000, 'p');
    std::thread writer([&] {
        // Each instance: wait (bounded) for its reader, hand it the data, then go away.
        for (auto& pipe : instances) {
            win::CHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
            OVERLAPPED connect{};
            connect.hEvent = event.Get();
            if (!::ConnectNamedPipe(pipe.Get(), &connect) && ::GetLastError() == ERROR_IO_PENDING
                && ::WaitForSingleObject(event.Get(), 2000) != WAIT_OBJECT_0) {
                ::CancelIo(pipe.Get());
                continue;
            }
            OVERLAPPED write{};
            write.hEvent = event.Get();
            ::ResetEvent(event.Get());
            DWORD written = 0;
            if (!::WriteFile(pipe.Get(), data.data(), static_cast<DWORD>(data.size()), &written, &write)
                && ::GetLastError() == ERROR_IO_PENDING && ::WaitForSingleObject(event.Get(), 2000) != WAIT_OBJECT_0)
                ::CancelIo(pipe.Get());
            // Time for the reader to take every byte; its next read then fails.
            ::Sleep(300);
            ::DisconnectNamedPipe(pipe.Get());
        }
    });
    // Listed with the checksum of exactly the bytes the reader gets before the error.
    const std::string name(pipePath.begin(), pipePath.end());
    test::WriteFileBytes(folder / L"list.sfv", name + " " + Checksum(data) + "\r\n");
    CKavrinDlg dialog;
    int image = -1;
    std::wstring total;
    test::RunDialog(dialog, [&](HWND hwnd) {
        dialog.LoadSfv(folder / L"list.sfv");
        EXPECT_TRUE(test::PumpUntil([&] { return !dialog.HasCurrentRun(); }, 10000));
        image = win::CListView(::GetDlgItem(hwnd, IDC_RESULTS)).GetItemImage(0);
        total = win::GetWindowTextString(::GetDlgItem(hwnd, IDC_LABEL_TOTAL));
        ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
    writer.join();
    EXPECT_NE(image, ImageOk);
    EXPECT_EQ(total, L"Total progress (0 of 1 files)") << "the row is not counted";
}

} // namespace
