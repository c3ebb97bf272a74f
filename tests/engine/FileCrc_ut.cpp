#include "engine/FileCrc.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "TestSupport.h"
#include "engine/Crc32.h"
#include "win/Handle.h"
#include "win/WideString.h"

namespace kavrin {
namespace {

// A label whose every text change is recorded, and a progress bar whose range and position
// messages are counted, in a hidden window.
class CProgressWindow {
public:
    CProgressWindow()
    {
        m_hParent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                                      nullptr, nullptr);
        m_hBar = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, 200, 10, m_hParent,
                                   nullptr, nullptr, nullptr);
        m_hLabel = ::CreateWindowExW(0, L"STATIC", L"Current file", WS_CHILD, 0, 20, 200, 10,
                                     m_hParent, nullptr, nullptr, nullptr);
        ::SetWindowLongPtrW(m_hLabel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_oldProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(m_hLabel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LabelProc)));
        ::SetWindowLongPtrW(m_hBar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_oldBarProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(m_hBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BarProc)));
    }
    ~CProgressWindow() { ::DestroyWindow(m_hParent); }
    static LRESULT CALLBACK LabelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        auto* self = reinterpret_cast<CProgressWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_SETTEXT)
            self->m_texts.emplace_back(reinterpret_cast<const wchar_t*>(lp));
        return ::CallWindowProcW(self->m_oldProc, hwnd, msg, wp, lp);
    }
    static LRESULT CALLBACK BarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        auto* self = reinterpret_cast<CProgressWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == PBM_SETRANGE32)
            ++self->m_nRanges;
        if (msg == PBM_SETPOS)
            ++self->m_nPositions;
        return ::CallWindowProcW(self->m_oldBarProc, hwnd, msg, wp, lp);
    }
    int BarPos() const { return static_cast<int>(::SendMessageW(m_hBar, PBM_GETPOS, 0, 0)); }
    int BarMax() const { return static_cast<int>(::SendMessageW(m_hBar, PBM_GETRANGE, FALSE, 0)); }

    HWND m_hParent, m_hBar, m_hLabel;
    WNDPROC m_oldProc, m_oldBarProc;
    std::vector<std::wstring> m_texts;
    int m_nRanges = 0, m_nPositions = 0;
};

class CRecordingSink : public IFilePercentSink {
public:
    void SetFilePercent(int percent) override { m_percents.push_back(percent); }
    std::vector<int> m_percents;
};

struct FileCrcTest : ::testing::Test {
    test::CTempFolder folder;
    std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(kChunkSize);
    std::atomic<bool> abort{false};
    win::CHandle pause{::CreateEventW(nullptr, TRUE, TRUE, nullptr)};
    CRunControl control{abort, pause.Get(), nullptr};
};

TEST_F(FileCrcTest, CheckRunPushesOnlyChangedPercentages)
{
    const std::wstring path = folder / L"ten.bin";
    test::WriteFileBytes(path, std::string(655360, 'x'));
    CProgressWindow window;
    CCheckHashObserver observer(control, window.m_hBar, window.m_hLabel);
    const HashOutcome outcome = ComputeFileCrc(path, FILE_SHARE_READ, observer, buffer.data());
    ASSERT_EQ(outcome.status, HashStatus::Ok);
    EXPECT_EQ(CrcText(outcome.crc), CrcText(Crc32(std::string(655360, 'x').data(), 655360)));
    const std::vector<std::wstring> expected = {
        L"Current file (10%)", L"Current file (20%)", L"Current file (30%)", L"Current file (40%)",
        L"Current file (50%)", L"Current file (60%)", L"Current file (70%)", L"Current file (80%)",
        L"Current file (90%)", L"Current file (100%)"};
    // The closing 100 would show what the empty read's 100 already shows: it sends nothing.
    EXPECT_EQ(window.m_texts, expected);
    EXPECT_EQ(window.m_nPositions, 10);
    EXPECT_EQ(window.m_nRanges, 1);
    EXPECT_EQ(window.BarPos(), 100);
    EXPECT_EQ(window.BarMax(), 100);
}

TEST_F(FileCrcTest, CheckRunSendsNothingThatLeavesTheBarAndLabelAsTheyAre)
{
    test::WriteFileBytes(folder / L"ten.bin", std::string(655360, 'x'));
    test::WriteFileBytes(folder / L"small.bin", std::string(4096, 's'));
    CProgressWindow window;
    CFileProgressShown shown;
    const auto hash = [&](const std::wstring& name) {
        CCheckHashObserver observer(control, window.m_hBar, window.m_hLabel, &shown);
        return ComputeFileCrc(folder / name, FILE_SHARE_READ, observer, buffer.data()).status;
    };
    ASSERT_EQ(hash(L"ten.bin"), HashStatus::Ok);
    const std::size_t afterFirst = window.m_texts.size();
    const int positionsAfterFirst = window.m_nPositions;
    // A small file reaches 100 while the bar already shows the previous file's 100.
    ASSERT_EQ(hash(L"small.bin"), HashStatus::Ok);
    ASSERT_EQ(hash(L"small.bin"), HashStatus::Ok);
    EXPECT_EQ(window.m_texts.size(), afterFirst);
    EXPECT_EQ(window.m_nPositions, positionsAfterFirst);
    // A large file after them shows its own percentages again, from 10 up.
    ASSERT_EQ(hash(L"ten.bin"), HashStatus::Ok);
    ASSERT_EQ(window.m_texts.size(), afterFirst + 10);
    EXPECT_EQ(window.m_texts[afterFirst], L"Current file (10%)");
    EXPECT_EQ(window.m_texts.back(), L"Current file (100%)");
    EXPECT_EQ(window.m_nRanges, 1) << "the range stays 0..100 for the whole run";
    EXPECT_EQ(window.BarPos(), 100);
}

TEST_F(FileCrcTest, CheckRunEmptyFileShowsOnlyTheClosingHundred)
{
    const std::wstring path = folder / L"empty.bin";
    test::WriteFileBytes(path, "");
    CProgressWindow window;
    CCheckHashObserver observer(control, window.m_hBar, window.m_hLabel);
    const HashOutcome outcome = ComputeFileCrc(path, FILE_SHARE_READ, observer, buffer.data());
    ASSERT_EQ(outcome.status, HashStatus::Ok);
    EXPECT_EQ(outcome.crc, 0u);
    EXPECT_EQ(window.m_texts, std::vector<std::wstring>{L"Current file (100%)"});
}

TEST_F(FileCrcTest, CreateRunReportsEveryChunk)
{
    const std::wstring path = folder / L"hundred.bin";
    test::WriteFileBytes(path, std::string(100000, 'y'));
    CRecordingSink sink;
    CCreateHashObserver observer(control, sink);
    const HashOutcome outcome =
        ComputeFileCrc(path, FILE_SHARE_READ | FILE_SHARE_WRITE, observer, buffer.data());
    ASSERT_EQ(outcome.status, HashStatus::Ok);
    EXPECT_EQ(sink.m_percents, std::vector<int>({0, 100, 100, 100}));
}

TEST_F(FileCrcTest, OpenFailuresReportNoProgress)
{
    const std::wstring locked = folder / L"locked.bin";
    test::WriteFileBytes(locked, "data");
    // Another program holds the file open for writing without sharing it.
    win::CFileHandle writer(::CreateFileW(locked.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    for (const std::wstring& path : {folder / L"missing.bin", locked}) {
        CRecordingSink sink;
        CCreateHashObserver observer(control, sink);
        const HashOutcome outcome =
            ComputeFileCrc(path, FILE_SHARE_READ | FILE_SHARE_WRITE, observer, buffer.data());
        EXPECT_EQ(outcome.status, HashStatus::Failed);
        EXPECT_TRUE(sink.m_percents.empty());
    }
}

TEST_F(FileCrcTest, VerificationShareModeLetsOthersReadOnly)
{
    const std::wstring path = folder / L"shared.bin";
    test::WriteFileBytes(path, "abc");
    win::CFileHandle reader(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
    win::CFileHandle writer(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    ASSERT_TRUE(writer);
    CRecordingSink sink;
    CCreateHashObserver observer(control, sink);
    // Someone is writing: the verification run's share mode refuses, the creation run's accepts.
    EXPECT_EQ(ComputeFileCrc(path, FILE_SHARE_READ, observer, buffer.data()).status, HashStatus::Failed);
    EXPECT_EQ(ComputeFileCrc(path, FILE_SHARE_READ | FILE_SHARE_WRITE, observer, buffer.data()).status,
              HashStatus::Ok);
}

TEST_F(FileCrcTest, AbortWhilePausedWaitsForContinue)
{
    const std::wstring path = folder / L"big.bin";
    test::WriteFileBytes(path, std::string(4 * 65536, 'z'));
    ::ResetEvent(pause.Get());
    CRecordingSink sink;
    CCreateHashObserver observer(control, sink);
    std::atomic<bool> done{false};
    HashOutcome outcome;
    std::thread worker([&] {
        outcome = ComputeFileCrc(path, FILE_SHARE_READ, observer, buffer.data());
        done = true;
    });
    ::Sleep(100);
    abort = true;
    ::Sleep(150);
    EXPECT_FALSE(done) << "a paused run must not see the abort before it continues";
    ::SetEvent(pause.Get());
    worker.join();
    EXPECT_EQ(outcome.status, HashStatus::Aborted);
    // It read one block after Continue and then saw the abort.
    EXPECT_EQ(sink.m_percents, std::vector<int>({0}));
}

TEST_F(FileCrcTest, ReleaseEventEndsAPausedWaitWithoutTouchingThePauseEvent)
{
    const std::wstring path = folder / L"big.bin";
    test::WriteFileBytes(path, std::string(4 * 65536, 'z'));
    ::ResetEvent(pause.Get());
    win::CHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CRunControl releasable(abort, pause.Get(), release.Get());
    CRecordingSink sink;
    CCreateHashObserver observer(releasable, sink);
    HashOutcome outcome;
    std::thread worker([&] { outcome = ComputeFileCrc(path, FILE_SHARE_READ, observer, buffer.data()); });
    ::Sleep(50);
    abort = true;
    ::SetEvent(release.Get());
    worker.join();
    EXPECT_EQ(outcome.status, HashStatus::Aborted);
    EXPECT_EQ(::WaitForSingleObject(pause.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

} // namespace
} // namespace kavrin
