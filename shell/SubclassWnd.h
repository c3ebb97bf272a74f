// Watching and handling the messages of a window without its cooperation, by replacing its
// window procedure. Any number of hooks can sit on one window: they form a chain, newest first,
// that ends in the window's own procedure. Hooks are attached, detached and called on the
// thread that owns their windows.
#pragma once
#include <windows.h>

#include <unordered_map>

class CSubclassWnd {
public:
    CSubclassWnd() = default;
    CSubclassWnd(const CSubclassWnd&) = delete;
    CSubclassWnd& operator=(const CSubclassWnd&) = delete;
    // Detaches the hook if it is attached.
    virtual ~CSubclassWnd();

    // With a window: detaches the hook from any window, then makes it the window's newest hook;
    // FALSE when the window cannot be subclassed (not a window of this process). With null:
    // detaches the hook, if attached; TRUE.
    BOOL AttachTo(HWND hwnd);
    // The hooked window, or null when detached.
    HWND GetHookedWindow() const { return m_hWndHooked; }

protected:
    // Sees each message of the hooked window before the older hooks and the window itself. The
    // base passes the message on and returns the result; a handler that returns without calling
    // it withholds the message. Whatever runs further down may detach or destroy this hook, so a
    // handler must not touch the object after the base call returns.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class CSubclassRegistry;
    friend LRESULT CALLBACK SubclassWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWndHooked = nullptr;       // null while detached
    WNDPROC m_pfnPrevProc = nullptr;   // the window's procedure from before its first hook
    CSubclassWnd* m_pNextHook = nullptr;  // the next older hook of the same window
};

// Maps each hooked window to its newest hook. A window is in the map exactly while hooks are
// attached to it, and exactly then its procedure is SubclassWndProc.
class CSubclassRegistry {
public:
    // The process's registry, created on first use and kept to the end of the process.
    static CSubclassRegistry& Instance();

    // The newest hook of hwnd, or null.
    CSubclassWnd* Lookup(HWND hwnd) const;
    // Makes the detached hook the newest of hwnd's chain, subclassing the window for its first
    // hook; false (nothing changed) when the window cannot be subclassed.
    bool Add(HWND hwnd, CSubclassWnd* hook);
    // Unlinks an attached hook from its chain; the last one out gives the window back its
    // procedure. The hook's fields are left for the caller to clear.
    void Remove(CSubclassWnd* hook);

private:
    CSubclassRegistry() = default;

    std::unordered_map<HWND, CSubclassWnd*> m_hooks;
};

// The window procedure of every hooked window: hands each message to the window's newest hook.
// On WM_NCDESTROY it detaches every hook and gives the message to the window's own procedure.
LRESULT CALLBACK SubclassWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
