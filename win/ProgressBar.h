// A progress bar that this object does not own: one message per method.
#pragma once
#include <windows.h>
#include <commctrl.h>

namespace win {

class CProgressBar {
public:
    CProgressBar() = default;
    explicit CProgressBar(HWND hwnd) : m_hWnd(hwnd) {}

    HWND GetSafeHwnd() const { return m_hWnd; }
    void Attach(HWND hwnd) { m_hWnd = hwnd; }

    // Full 32-bit bounds (PBM_SETRANGE32).
    void SetRange32(int low, int high) const { Send(PBM_SETRANGE32, static_cast<WPARAM>(low), high); }
    void SetPos(int pos) const { Send(PBM_SETPOS, static_cast<WPARAM>(pos), 0); }
    int GetPos() const { return static_cast<int>(Send(PBM_GETPOS, 0, 0)); }
    int GetRangeHigh() const { return static_cast<int>(Send(PBM_GETRANGE, FALSE, 0)); }

private:
    // Sending to a window that is gone does nothing, which is what a closed dialog's bars need.
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
};

} // namespace win
