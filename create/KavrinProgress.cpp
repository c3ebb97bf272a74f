#include "create/KavrinProgress.h"

#include "res/resource.h"
#include "win/WideString.h"
#include "win/WindowPlacement.h"

namespace {

constexpr COLORREF kBackground = RGB(246, 247, 250);

} // namespace

CKavrinProgress::CKavrinProgress() : win::CDialog(IDD_PROGRESS_DIALOG)
{
    m_brush.Reset(::CreateSolidBrush(kBackground));
    m_pArgs = CAppArgs::Instance();
}

CKavrinProgress::~CKavrinProgress()
{
    // The event is shared by name: a pause left behind would hold another program's run.
    if (m_bPaused && m_hPauseEvent)
        ::SetEvent(m_hPauseEvent.Get());
}

void CKavrinProgress::SetAbortFlag(std::atomic<bool>* pAbort)
{
    m_pAbort = pAbort;
}

void CKavrinProgress::SetOnReady(std::function<void()> onReady)
{
    m_onReady = std::move(onReady);
}

BOOL CKavrinProgress::OnInitDialog()
{
    m_stcCurrent = GetItem(IDC_LABEL_FILE);
    m_stcTotal = GetItem(IDC_LABEL_TOTAL);
    m_progCurrent.Attach(GetItem(IDC_PROGRESS_FILE));
    m_progTotal.Attach(GetItem(IDC_PROGRESS_TOTAL));
    m_btnPause = GetItem(IDOK);

    m_progCurrent.SetRange32(0, 100);
    m_hPauseEvent.Reset(::CreateEventW(nullptr, TRUE, TRUE, L"KavrinCreateEvent"));
    win::CenterWindow(m_hWnd);
    if (m_onReady)
        m_onReady();
    return TRUE;
}

void CKavrinProgress::SetFileCount(int total)
{
    m_nFileCount = total;
    ::SetWindowTextW(m_stcTotal,
                     win::Format(L"Total progress (%d of %d files)", m_nFilesDone, total).c_str());
    m_progTotal.SetRange32(0, total);
}

void CKavrinProgress::FileFinished()
{
    ++m_nFilesDone;
    ::SetWindowTextW(m_stcTotal,
                     win::Format(L"Total progress (%d of %d files)", m_nFilesDone, m_nFileCount).c_str());
    m_progTotal.SetPos(m_nFilesDone);
}

void CKavrinProgress::SetFilePercent(int percent)
{
    // The run reports after every 64 KiB read, mostly the value already shown; each message is a
    // round trip to this dialog's thread, so a value equal to the shown one sends nothing.
    if (percent == m_nShownPercent)
        return;
    m_nShownPercent = percent;
    m_progCurrent.SetPos(percent);
    ::SetWindowTextW(m_stcCurrent, win::Format(L"Current file (%d%%)", percent).c_str());
}

void CKavrinProgress::PostClose()
{
    m_bCloseRequested = true;
    if (m_hWnd)
        ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

bool CKavrinProgress::OnCommand(int id, int, HWND)
{
    switch (id) {
    case IDOK:
        OnPause();
        return true;
    case IDC_ABORT:
    case IDCANCEL:  // Escape, and the close box through WM_CLOSE: the same as Abort
        OnAbort();
        return true;
    default:
        return false;
    }
}

bool CKavrinProgress::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result)
{
    if (message != WM_CLOSE || !m_bCloseRequested)
        return false;
    EndDialog(IDCANCEL);
    result = 0;
    return true;
}

void CKavrinProgress::OnPause()
{
    if (!m_hPauseEvent)
        return;
    if (m_bPaused) {
        ::SetEvent(m_hPauseEvent.Get());
        m_bPaused = false;
        ::SetWindowTextW(m_btnPause, L"Pause");
    } else {
        ::ResetEvent(m_hPauseEvent.Get());
        m_bPaused = true;
        ::SetWindowTextW(m_btnPause, L"Continue");
    }
}

void CKavrinProgress::OnAbort()
{
    if (m_pAbort)
        m_pAbort->store(true, std::memory_order_relaxed);
}

HBRUSH CKavrinProgress::OnCtlColor(HDC dc, HWND, UINT message)
{
    if (message == WM_CTLCOLORSTATIC) {
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, kBackground);
        ::SetBkMode(dc, OPAQUE);
    }
    return static_cast<HBRUSH>(m_brush.Get());
}
