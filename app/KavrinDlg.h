// The main (verification) window.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/AppArgs.h"
#include "app/DragListCtrl.h"
#include "win/Dialog.h"
#include "win/Handle.h"

class CCheckThread;
struct CVerifiedRow;
class CTrayIcon;

class CKavrinDlg : public win::CDialog {
public:
    CKavrinDlg();
    ~CKavrinDlg() override;

    // Reads an SFV file into the results list and starts verifying it; any run of this window
    // is ended first. Failures are shown to the user.
    void LoadSfv(const std::wstring& path);
    // Starts a verification run over the rows now in the list.
    void StartCheckRun();

    // Whether a verification run of this window is active.
    bool HasCurrentRun() const;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT message) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool PreTranslateMessage(MSG& msg) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void SetUpResultsList();
    void OnPause();
    void OnCloseButton();
    void OnToggleComments();
    void OnCheckSfv();
    void OnCreateSfv();
    void OnPaint();
    // Finishes the run on the window's side (run null: a run that never started); cutOff also
    // cuts a run that has not ended off from the window.
    void OnCheckEnded(CCheckThread* run, bool cutOff = false);
    // Marks rows the run has verified and moves the total label, bar and scroll to the last.
    void ShowVerified(const std::vector<CVerifiedRow>& rows);
    void OnMinimize(WPARAM wParam, LPARAM lParam);
    void OnTrayNotify(LPARAM mouseMessage);
    // Aborts the current run, releases it if paused and waits (handling sent messages) until
    // it has ended; a run that does not end in time is cut off from the window.
    void EndCurrentRun();
    void ShowComments(bool show);
    int Message(const std::wstring& text, UINT type);

    HICON m_hIcon = nullptr;
    CDragListCtrl m_list;
    CTrayIcon* m_pTray = nullptr;  // the notification-area icon while minimised there
    int m_nImageOk = 0, m_nImageBad = 1, m_nImagePending = 2, m_nImageMissing = 3;
    HANDLE m_hPauseEvent = nullptr;
    win::CGdiObject m_brush;
    CAppArgs* m_pArgs = nullptr;
    HIMAGELIST m_imageList = nullptr;
    bool m_bPaused = false;
    std::wstring m_strComments;
    win::CHandle m_hRunThread;  // the current run's thread, for waiting on its end
    bool m_bEndingRun = false;
    std::wstring m_strSfvFolder;  // the loaded SFV file's folder, against which names resolve
};
