// The creation run's progress dialog: the current file, the files done, Pause/Continue, Abort.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>

#include "app/AppArgs.h"
#include "engine/FileCrc.h"
#include "win/Dialog.h"
#include "win/Handle.h"
#include "win/ProgressBar.h"

class CKavrinProgress : public win::CDialog, public kavrin::IFilePercentSink {
public:
    CKavrinProgress();
    ~CKavrinProgress() override;

    // The run's abort flag, which Abort, Escape and the close box set; it must outlive the dialog.
    void SetAbortFlag(std::atomic<bool>* pAbort);
    // Called on the dialog's thread once its window and pause event exist, before it is shown.
    void SetOnReady(std::function<void()> onReady);
    // The named pause event the run waits on; null before set-up or when it could not be made.
    HANDLE PauseEvent() const { return m_hPauseEvent.Get(); }

    // From the run's thread: the total number of files (label and the bar's 32-bit range).
    void SetFileCount(int total);
    // From the run's thread: one more file is done.
    void FileFinished();
    // From the run's thread: the current file's percentage, shown when it differs from the shown one.
    void SetFilePercent(int percent) override;
    // From the run's thread, once the run has ended: closes the dialog.
    void PostClose();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT message) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnPause();
    void OnAbort();

    win::CHandle m_hPauseEvent;
    win::CGdiObject m_brush;
    CAppArgs* m_pArgs = nullptr;
    HWND m_stcCurrent = nullptr;
    HWND m_stcTotal = nullptr;
    win::CProgressBar m_progCurrent;
    win::CProgressBar m_progTotal;
    HWND m_btnPause = nullptr;
    int m_nFilesDone = 0;
    int m_nFileCount = 0;
    int m_nShownPercent = -1;  // what the current file's bar and label show; run's thread only
    bool m_bPaused = false;
    std::atomic<bool>* m_pAbort = nullptr;
    std::atomic<bool> m_bCloseRequested{false};
    std::function<void()> m_onReady;
};
