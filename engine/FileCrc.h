// Hashing one file from disk for either run.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

#include "engine/HashStream.h"

namespace kavrin {

// Opens path (made full, at any length; FILE_READ_DATA, the given share mode, OPEN_EXISTING) and
// hashes it. An open failure writes "Createfile failed" to the standard output and reports Failed
// without any progress.
HashOutcome ComputeFileCrc(const std::wstring& path, DWORD shareMode, IHashObserver& observer,
                           std::uint8_t* buffer);

// The parts of a run that every hashing observer needs: the run's abort flag, the pause event it
// waits on, and an optional release event that ends the wait without touching the shared pause
// event (so closing one window never resumes another program's paused run).
class CRunControl {
public:
    CRunControl(const std::atomic<bool>& abort, HANDLE pauseEvent, HANDLE releaseEvent)
        : m_abort(abort), m_hPause(pauseEvent), m_hRelease(releaseEvent) {}
    bool IsAbortRequested() const { return m_abort.load(std::memory_order_relaxed); }
    // Waits until the pause event or the release event is signalled.
    void WaitWhilePaused() const;

private:
    const std::atomic<bool>& m_abort;
    HANDLE m_hPause;
    HANDLE m_hRelease;
};

// What the per-file bar and label show as far as a verification run knows, kept by the run across
// its files: only the run writes them while it is active.
struct CFileProgressShown {
    bool bRangeSet = false;
    int nPercent = -1;  // not known yet
};

// Verification progress: bar 1003 and label 1005 of the main window, written directly; a value is
// pushed only when it differs from the last one pushed for this file (starting at 0). A push or a
// range that would leave the bar and label as they are shown sends nothing: every message costs
// a round trip to the window's thread.
class CCheckHashObserver : public IHashObserver {
public:
    // shown: the run's record of the bar and label; null keeps one for this file only.
    CCheckHashObserver(const CRunControl& control, HWND fileBar, HWND fileLabel, CFileProgressShown* shown = nullptr)
        : m_control(control), m_hBar(fileBar), m_hLabel(fileLabel), m_pShown(shown ? shown : &m_shownHere) {}
    bool IsAbortRequested() override { return m_control.IsAbortRequested(); }
    void WaitWhilePaused() override { m_control.WaitWhilePaused(); }
    void OnStart() override;
    void OnPercent(int percent) override;
    void OnFinished() override;

private:
    void Push(int percent);

    const CRunControl& m_control;
    HWND m_hBar;
    HWND m_hLabel;
    int m_nLast = 0;
    CFileProgressShown m_shownHere;
    CFileProgressShown* m_pShown;
};

// Where the creation run reports a file's percentage (the progress dialog).
class IFilePercentSink {
public:
    virtual ~IFilePercentSink() = default;
    virtual void SetFilePercent(int percent) = 0;
};

// Creation progress: every percentage goes to the sink, changed or not.
class CCreateHashObserver : public IHashObserver {
public:
    CCreateHashObserver(const CRunControl& control, IFilePercentSink& sink)
        : m_control(control), m_sink(sink) {}
    bool IsAbortRequested() override { return m_control.IsAbortRequested(); }
    void WaitWhilePaused() override { m_control.WaitWhilePaused(); }
    void OnPercent(int percent) override { m_sink.SetFilePercent(percent); }
    void OnFinished() override { m_sink.SetFilePercent(100); }

private:
    const CRunControl& m_control;
    IFilePercentSink& m_sink;
};

} // namespace kavrin
