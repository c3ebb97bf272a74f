#include "win/Dialog.h"

namespace win {

namespace {

// The dialog whose modal loop runs innermost on this thread, and the one message filter hook
// that serves all of this thread's nested modal loops.
thread_local CDialog* t_pInnermost = nullptr;
thread_local HHOOK t_hFilter = nullptr;
thread_local int t_nModalDepth = 0;

} // namespace

INT_PTR CDialog::DoModal(HWND parent)
{
    CDialog* outer = t_pInnermost;
    t_pInnermost = this;
    // WH_MSGFILTER sees every message the dialog manager's modal loop takes from the queue,
    // which is where keyboard pre-translation has to happen without a loop of our own.
    if (t_nModalDepth++ == 0)
        t_hFilter = ::SetWindowsHookExW(WH_MSGFILTER, MessageFilterProc, nullptr, ::GetCurrentThreadId());
    const INT_PTR result = ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId),
                                             parent, DialogProc, reinterpret_cast<LPARAM>(this));
    if (--t_nModalDepth == 0 && t_hFilter) {
        ::UnhookWindowsHookEx(t_hFilter);
        t_hFilter = nullptr;
    }
    t_pInnermost = outer;
    return result;
}

void CDialog::EndDialog(INT_PTR result)
{
    if (m_hWnd)
        ::EndDialog(m_hWnd, result);
}

CDialog* CDialog::FromHandle(HWND hwnd)
{
    if (::GetWindowLongPtrW(hwnd, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&CDialog::DialogProc))
        return nullptr;
    return reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
}

bool CDialog::OnCommand(int id, int, HWND)
{
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool CDialog::OnNotify(NMHDR*, LRESULT&) { return false; }

HBRUSH CDialog::OnCtlColor(HDC, HWND, UINT) { return nullptr; }

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool CDialog::PreTranslateMessage(MSG&) { return false; }

LRESULT CALLBACK CDialog::MessageFilterProc(int code, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog = t_pInnermost;
    if (code == MSGF_DIALOGBOX && dialog && dialog->m_hWnd) {
        MSG* msg = reinterpret_cast<MSG*>(lParam);
        if (msg->hwnd == dialog->m_hWnd || ::IsChild(dialog->m_hWnd, msg->hwnd)) {
            try {
                if (dialog->PreTranslateMessage(*msg))
                    return 1;
            } catch (...) {
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    } else {
        dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!dialog)
        return FALSE;
    INT_PTR handled = FALSE;
    try {
        handled = dialog->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // No C++ exception may unwind through the system's dialog manager.
        handled = FALSE;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
    }
    return handled;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (!OnNotify(reinterpret_cast<NMHDR*>(lParam), result))
            return FALSE;
        ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
        // The brush is the dialog procedure's return value for these messages.
        return reinterpret_cast<INT_PTR>(
            OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message));
    default: {
        LRESULT result = 0;
        if (!OnMessage(message, wParam, lParam, result))
            return FALSE;
        ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    }
}

} // namespace win
