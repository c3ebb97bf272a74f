// The creation progress dialog driven in-process, its run side from a real second thread.
#include "create/KavrinProgress.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "create/CreateSupport.h"
#include "res/resource.h"
#include "win/Handle.h"
#include "win/WideString.h"

namespace {

bool IsSignalled(const wchar_t* name)
{
    const win::CHandle event(::OpenEventW(SYNCHRONIZE, FALSE, name));
    return event && ::WaitForSingleObject(event.Get(), 0) == WAIT_OBJECT_0;
}

int BarHigh(HWND dialog, int id)
{
    return static_cast<int>(::SendDlgItemMessageW(dialog, id, PBM_GETRANGE, FALSE, 0));
}

int BarPos(HWND dialog, int id)
{
    return static_cast<int>(::SendDlgItemMessageW(dialog, id, PBM_GETPOS, 0, 0));
}

struct TotalCase {
    int total;
    int finished;
    std::vector<std::wstring> labels;  // after SetFileCount, then after each FileFinished
};

class ProgressTotals : public ::testing::TestWithParam<TotalCase> {};

TEST_P(ProgressTotals, LabelsAndBarFollowTheRunAndOnlyTheRunEndClosesIt)
{
    const TotalCase& c = GetParam();
    CKavrinProgress progress;
    std::atomic<bool> abort{false};
    progress.SetAbortFlag(&abort);
    std::vector<std::wstring> labels;
    int barHigh = 0, barPos = 0;
    bool openAtTotal = false;
    std::atomic<bool> done{false};
    std::thread run;
    progress.SetOnReady([&] {
        run = std::thread([&] {
            const HWND hwnd = progress.GetSafeHwnd();
            progress.SetFileCount(c.total);
            labels.push_back(test::ItemText(hwnd, IDC_LABEL_TOTAL));
            for (int i = 0; i < c.finished; ++i) {
                progress.FileFinished();
                labels.push_back(test::ItemText(hwnd, IDC_LABEL_TOTAL));
            }
            barHigh = BarHigh(hwnd, IDC_PROGRESS_TOTAL);
            barPos = BarPos(hwnd, IDC_PROGRESS_TOTAL);
            ::Sleep(100);
            openAtTotal = ::IsWindowVisible(hwnd) != FALSE;
            progress.PostClose();
            done = true;
        });
    });
    const INT_PTR result = progress.DoModal(nullptr);
    ASSERT_TRUE(test::PumpUntil([&] { return done.load(); }));
    run.join();
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(labels, c.labels);
    EXPECT_EQ(barHigh, c.total) << "the bar's range is not cut to 16 bits";
    EXPECT_EQ(barPos, c.finished);
    EXPECT_TRUE(openAtTotal) << "the dialog waits for the run's end, not for the last file";
    EXPECT_FALSE(abort);
}

INSTANTIATE_TEST_SUITE_P(
    Totals, ProgressTotals,
    ::testing::Values(TotalCase{3, 3,
                                {L"Total progress (0 of 3 files)", L"Total progress (1 of 3 files)",
                                 L"Total progress (2 of 3 files)", L"Total progress (3 of 3 files)"}},
                      TotalCase{70000, 1, {L"Total progress (0 of 70000 files)", L"Total progress (1 of 70000 files)"}},
                      TotalCase{0, 0, {L"Total progress (0 of 0 files)"}}),
    [](const ::testing::TestParamInfo<TotalCase>& info) { return "Total" + std::to_string(info.param.total); });

TEST(KavrinProgress, SetUpShowsThePercentageAsGiven)
{
    CKavrinProgress progress;
    std::wstring label37, label100;
    int pos37 = 0, high = 0;
    const INT_PTR result = test::RunDialog(progress, [&](HWND hwnd) {
        EXPECT_EQ(test::ItemText(hwnd, IDC_LABEL_FILE), L"Current file");
        high = BarHigh(hwnd, IDC_PROGRESS_FILE);
        progress.SetFilePercent(37);
        label37 = test::ItemText(hwnd, IDC_LABEL_FILE);
        pos37 = BarPos(hwnd, IDC_PROGRESS_FILE);
        progress.SetFilePercent(100);
        label100 = test::ItemText(hwnd, IDC_LABEL_FILE);
        progress.PostClose();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(high, 100);
    EXPECT_EQ(label37, L"Current file (37%)");
    EXPECT_EQ(pos37, 37);
    EXPECT_EQ(label100, L"Current file (100%)");
}

// Counts the messages that change the current file's bar and label.
struct ShownCounter {
    static inline WNDPROC s_oldBar = nullptr, s_oldLabel = nullptr;
    static inline int s_nPositions = 0;
    static inline std::vector<std::wstring> s_texts;
    static LRESULT CALLBACK BarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg == PBM_SETPOS)
            ++s_nPositions;
        return ::CallWindowProcW(s_oldBar, hwnd, msg, wp, lp);
    }
    static LRESULT CALLBACK LabelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg == WM_SETTEXT)
            s_texts.emplace_back(reinterpret_cast<const wchar_t*>(lp));
        return ::CallWindowProcW(s_oldLabel, hwnd, msg, wp, lp);
    }
    static void Attach(HWND dialog)
    {
        s_nPositions = 0;
        s_texts.clear();
        s_oldBar = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
            ::GetDlgItem(dialog, IDC_PROGRESS_FILE), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BarProc)));
        s_oldLabel = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
            ::GetDlgItem(dialog, IDC_LABEL_FILE), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LabelProc)));
    }
};

TEST(KavrinProgress, APercentageAlreadyShownSendsNothing)
{
    CKavrinProgress progress;
    std::wstring label;
    int pos = 0;
    const INT_PTR result = test::RunDialog(progress, [&](HWND hwnd) {
        ShownCounter::Attach(hwnd);
        for (int percent : {0, 0, 0, 5, 5, 100, 100, 100, 0, 0})
            progress.SetFilePercent(percent);
        label = test::ItemText(hwnd, IDC_LABEL_FILE);
        pos = BarPos(hwnd, IDC_PROGRESS_FILE);
        progress.PostClose();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(ShownCounter::s_texts, (std::vector<std::wstring>{L"Current file (0%)", L"Current file (5%)",
                                                                L"Current file (100%)", L"Current file (0%)"}));
    EXPECT_EQ(ShownCounter::s_nPositions, 4);
    EXPECT_EQ(label, L"Current file (0%)");
    EXPECT_EQ(pos, 0);
}

TEST(KavrinProgress, PauseAndContinueHoldAndReleaseTheNamedEvent)
{
    const test::CPauseEventLock lock;
    CKavrinProgress progress;
    std::vector<std::wstring> buttons;
    std::vector<bool> signalled;
    bool signalledAtStart = false;
    const INT_PTR result = test::RunDialog(progress, [&](HWND hwnd) {
        signalledAtStart = IsSignalled(L"KavrinCreateEvent");
        const HWND pause = ::GetDlgItem(hwnd, IDOK);
        ::SendMessageW(pause, BM_CLICK, 0, 0);
        buttons.push_back(win::GetWindowTextString(pause));
        signalled.push_back(IsSignalled(L"KavrinCreateEvent"));
        ::SendMessageW(pause, BM_CLICK, 0, 0);
        buttons.push_back(win::GetWindowTextString(pause));
        signalled.push_back(IsSignalled(L"KavrinCreateEvent"));
        // Enter goes to the default button, Pause, through the dialog manager.
        ::SetFocus(pause);
        ::PostMessageW(pause, WM_KEYDOWN, VK_RETURN, 0);
        test::RunLater(50, [&, pause] {
            buttons.push_back(win::GetWindowTextString(pause));
            ::SendMessageW(pause, BM_CLICK, 0, 0);
            progress.PostClose();
            return true;
        });
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(signalledAtStart);
    EXPECT_EQ(buttons, std::vector<std::wstring>({L"Continue", L"Pause", L"Continue"}));
    EXPECT_EQ(signalled, std::vector<bool>({false, true}));
}

TEST(KavrinProgress, AbortEscapeAndTheCloseBoxOnlySetTheAbortFlag)
{
    using Press = void (*)(HWND);
    const std::pair<const char*, Press> ways[] = {
        {"Abort", [](HWND hwnd) { ::SendMessageW(::GetDlgItem(hwnd, IDC_ABORT), BM_CLICK, 0, 0); }},
        {"Escape", [](HWND hwnd) { ::PostMessageW(::GetDlgItem(hwnd, IDC_ABORT), WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"close box", [](HWND hwnd) { ::PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& [name, press] : ways) {
        SCOPED_TRACE(name);
        CKavrinProgress progress;
        std::atomic<bool> abort{false};
        progress.SetAbortFlag(&abort);
        bool stillOpen = false;
        const INT_PTR result = test::RunDialog(progress, [&](HWND hwnd) {
            press(hwnd);
            test::RunLater(100, [&, hwnd] {
                stillOpen = ::IsWindowVisible(hwnd) != FALSE;
                // The run sees the flag and ends; only then does the dialog close.
                progress.PostClose();
                return true;
            });
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_TRUE(abort);
        EXPECT_TRUE(stillOpen);
    }
}

} // namespace
