#include "shell/DropHook.h"

LRESULT CDropHook::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY && m_onDestroy)
        m_onDestroy();
    if (message != WM_DROPFILES)
        return CSubclassWnd::HandleMessage(message, wParam, lParam);
    try {
        m_onDrop(reinterpret_cast<HDROP>(wParam));
    } catch (...) {
        // No C++ exception may unwind through a window procedure.
    }
    return 0;
}
