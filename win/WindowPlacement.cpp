#include "win/WindowPlacement.h"

namespace win {

void SetWindowWidth(HWND hwnd, int width)
{
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    ::MoveWindow(hwnd, rc.left, rc.top, width, rc.bottom - rc.top, TRUE);
}

void CenterWindow(HWND hwnd)
{
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    RECT area{};
    const HWND owner = ::GetWindow(hwnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        ::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &info);
        area = info.rcWork;
    }
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    const int x = area.left + ((area.right - area.left) - width) / 2;
    const int y = area.top + ((area.bottom - area.top) - height) / 2;
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace win
