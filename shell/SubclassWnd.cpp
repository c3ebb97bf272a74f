#include "shell/SubclassWnd.h"

CSubclassWnd::~CSubclassWnd()
{
    AttachTo(nullptr);
}

BOOL CSubclassWnd::AttachTo(HWND hwnd)
{
    if (m_hWndHooked) {
        CSubclassRegistry::Instance().Remove(this);
        m_hWndHooked = nullptr;
        m_pfnPrevProc = nullptr;
        m_pNextHook = nullptr;
    }
    if (!hwnd)
        return TRUE;
    if (!CSubclassRegistry::Instance().Add(hwnd, this))
        return FALSE;
    m_hWndHooked = hwnd;
    return TRUE;
}

LRESULT CSubclassWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pNextHook)
        return m_pNextHook->HandleMessage(message, wParam, lParam);
    return ::CallWindowProcW(m_pfnPrevProc, m_hWndHooked, message, wParam, lParam);
}

CSubclassRegistry& CSubclassRegistry::Instance()
{
    // Never destroyed: a hook that outlives the exit list must still find its registry.
    static CSubclassRegistry* registry = new CSubclassRegistry;
    return *registry;
}

CSubclassWnd* CSubclassRegistry::Lookup(HWND hwnd) const
{
    const auto found = m_hooks.find(hwnd);
    return found == m_hooks.end() ? nullptr : found->second;
}

bool CSubclassRegistry::Add(HWND hwnd, CSubclassWnd* hook)
{
    CSubclassWnd* older = Lookup(hwnd);
    if (older) {
        hook->m_pfnPrevProc = older->m_pfnPrevProc;
    } else {
        // The map is filled first: SubclassWndProc may run as soon as it is installed.
        m_hooks[hwnd] = hook;
        const LONG_PTR previous =
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassWndProc));
        if (!previous) {
            m_hooks.erase(hwnd);
            return false;
        }
        hook->m_pfnPrevProc = reinterpret_cast<WNDPROC>(previous);
    }
    hook->m_pNextHook = older;
    m_hooks[hwnd] = hook;
    return true;
}

void CSubclassRegistry::Remove(CSubclassWnd* hook)
{
    const HWND hwnd = hook->m_hWndHooked;
    CSubclassWnd* newest = Lookup(hwnd);
    if (newest == hook) {
        if (hook->m_pNextHook) {
            m_hooks[hwnd] = hook->m_pNextHook;
        } else {
            m_hooks.erase(hwnd);
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook->m_pfnPrevProc));
        }
        return;
    }
    for (CSubclassWnd* walk = newest; walk; walk = walk->m_pNextHook) {
        if (walk->m_pNextHook == hook) {
            walk->m_pNextHook = hook->m_pNextHook;
            return;
        }
    }
}

LRESULT CALLBACK SubclassWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        CSubclassRegistry& registry = CSubclassRegistry::Instance();
        CSubclassWnd* newest = registry.Lookup(hwnd);
        // Only when another party subclassed the window after us and still calls us after our
        // last hook left: the window's own procedure is unknown here.
        if (!newest)
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            const WNDPROC original = newest->m_pfnPrevProc;
            while (CSubclassWnd* hook = registry.Lookup(hwnd))
                hook->AttachTo(nullptr);
            return ::CallWindowProcW(original, hwnd, message, wParam, lParam);
        }
        return newest->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // No C++ exception may unwind into the system's message dispatch.
        return 0;
    }
}
