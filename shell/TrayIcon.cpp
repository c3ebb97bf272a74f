#include "shell/TrayIcon.h"

#include <cstring>

namespace {

static_assert(NOTIFYICONDATAW_V2_SIZE == CTrayIcon::kRecordSize, "the 936-byte record of the balloon era");

PFN_SHELL_NOTIFY_ICON g_pfnShellNotifyIcon = &::Shell_NotifyIconW;

// Asks the window's thread to show a balloon on one of the window's icons; wParam: the icon's
// id, lParam: a CBalloonRequest. Answered by the icon's hook, or 0 by the window itself.
UINT BalloonRequestMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"KavrinTrayBalloon");
    return message;
}

struct CBalloonRequest {
    const wchar_t* text;
    const wchar_t* title;
    UINT timeout;
    DWORD flags;
};

// Copies at most N - 1 units of text (length units, or up to its NUL when length is -1) into
// field and ends it with a NUL; never keeps the first half of a cut surrogate pair.
template <std::size_t N>
void CopyCut(wchar_t (&field)[N], const wchar_t* text, int length = -1)
{
    std::size_t count = 0;
    if (text) {
        while (count < N - 1 && (length < 0 ? text[count] != L'\0' : count < static_cast<std::size_t>(length)))
            ++count;
        const bool cut = length < 0 ? text[count] != L'\0' : count < static_cast<std::size_t>(length);
        if (cut && count > 0 && IS_HIGH_SURROGATE(text[count - 1]))
            --count;
        std::memcpy(field, text, count * sizeof(wchar_t));
    }
    field[count] = L'\0';
}

// True when owner is owner, or an owner of an owner..., of window.
bool IsOwnedBy(HWND window, HWND owner)
{
    for (HWND walk = ::GetWindow(window, GW_OWNER); walk; walk = ::GetWindow(walk, GW_OWNER))
        if (walk == owner)
            return true;
    return false;
}

struct CForwardSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindEnabledOwnedWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<CForwardSearch*>(param);
    if (::IsWindowVisible(window) && ::IsWindowEnabled(window) && IsOwnedBy(window, search->owner)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Brings forward the modal dialog (or message box) that keeps owner disabled, if it has one.
void BringModalWindowForward(HWND owner)
{
    CForwardSearch search{owner, nullptr};
    ::EnumThreadWindows(::GetWindowThreadProcessId(owner, nullptr), FindEnabledOwnedWindow,
                        reinterpret_cast<LPARAM>(&search));
    if (search.found)
        ::SetForegroundWindow(search.found);
}

} // namespace

CTrayNotifyHook::~CTrayNotifyHook()
{
    for (CDestroyGuard* guard = m_pGuard; guard; guard = guard->pOuter)
        guard->bDestroyed = true;
}

LRESULT CTrayNotifyHook::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    CTrayIcon* icon = m_pIcon;
    const HWND hwnd = GetHookedWindow();
    const NOTIFYICONDATAW& data = icon->m_iconData;
    const bool onTarget = hwnd == data.hWnd;
    if (message == BalloonRequestMessage()) {
        if (onTarget && wParam == data.uID) {
            const auto* request = reinterpret_cast<const CBalloonRequest*>(lParam);
            return icon->ShowInfoBalloon(request->text, request->title, request->timeout, request->flags);
        }
    } else if (message == data.uCallbackMessage && message != 0 && onTarget) {
        if (wParam == data.uID && !::IsWindowEnabled(hwnd)) {
            // A modal dialog or message box is open over the window: neither the menu nor the
            // window's own handling (restore) may run under it. Show the dialog instead.
            if (lParam == WM_LBUTTONUP || lParam == WM_RBUTTONUP || lParam == WM_LBUTTONDBLCLK)
                BringModalWindowForward(hwnd);
            return 0;
        }
        CDestroyGuard guard{false, m_pGuard};
        m_pGuard = &guard;
        icon->OnIconNotify(wParam, lParam);
        if (guard.bDestroyed) {
            // The menu's command removed the icon and this hook with it: the window still gets
            // the message, through whatever procedure it has now.
            return ::SendMessageW(hwnd, message, wParam, lParam);
        }
        m_pGuard = guard.pOuter;
    } else if (message == CTrayIcon::TaskbarCreatedMessage()) {
        icon->OnTaskbarRestart(wParam, lParam);
    }
    return CSubclassWnd::HandleMessage(message, wParam, lParam);
}

CTrayIcon::CTrayIcon(UINT id) : m_iconData{}, m_hookTarget(this), m_hookTopLevel(this)
{
    m_iconData.cbSize = kRecordSize;
    m_iconData.uID = id;
    const wchar_t* resource = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&resource), 0);
    CopyCut(m_iconData.szTip, length > 0 ? resource : nullptr, length);
}

CTrayIcon::~CTrayIcon()
{
    if (IsShown()) {
        Notify(NIM_DELETE);
        m_iconData.hIcon = nullptr;
    }
}

std::unique_ptr<CTrayIcon> CTrayIcon::Add(HWND hwnd, UINT id, UINT callbackMessage, UINT iconId, const wchar_t* tip)
{
    auto icon = std::make_unique<CTrayIcon>(id);
    icon->SetNotifyTarget(hwnd, callbackMessage);
    if (!icon->SetIconResource(iconId, tip))
        return nullptr;
    return icon;
}

void CTrayIcon::SetNotifyTarget(HWND hwnd, UINT callbackMessage)
{
    m_iconData.hWnd = hwnd;
    m_iconData.uCallbackMessage = callbackMessage;
    if (!hwnd) {
        m_hookTarget.AttachTo(nullptr);
        return;
    }
    m_hookTarget.AttachTo(hwnd);
    // "TaskbarCreated" goes to top-level windows only.
    const HWND topLevel = ::GetAncestor(hwnd, GA_ROOT);
    m_hookTopLevel.AttachTo(topLevel && topLevel != hwnd ? topLevel : nullptr);
}

BOOL CTrayIcon::SetIconHandle(HICON icon, const wchar_t* tip)
{
    m_iconData.uFlags = 0;
    DWORD operation = NIM_ADD;
    if (icon) {
        operation = IsShown() ? NIM_MODIFY : NIM_ADD;
        m_iconData.hIcon = icon;
        m_iconData.uFlags = NIF_ICON;
    } else {
        if (!IsShown())
            return TRUE;
        operation = NIM_DELETE;
    }
    if (tip)
        CopyCut(m_iconData.szTip, tip);
    if (m_iconData.szTip[0] != L'\0')
        m_iconData.uFlags |= NIF_TIP;
    if (m_iconData.uCallbackMessage != 0 && m_iconData.hWnd)
        m_iconData.uFlags |= NIF_MESSAGE;
    const BOOL result = Notify(operation);
    if (operation == NIM_DELETE || !result)
        m_iconData.hIcon = nullptr;
    return result;
}

BOOL CTrayIcon::SetIconResource(UINT iconId, const wchar_t* tip)
{
    HICON icon = nullptr;
    if (iconId != 0) {
        const HINSTANCE module = ::GetModuleHandleW(nullptr);
        const wchar_t* resource = nullptr;
        const int length = ::LoadStringW(module, iconId, reinterpret_cast<LPWSTR>(&resource), 0);
        CopyCut(m_iconData.szTip, length > 0 ? resource : nullptr, length);
        icon = ::LoadIconW(module, MAKEINTRESOURCEW(iconId));
    }
    return SetIconHandle(icon, tip);
}

BOOL CTrayIcon::ShowInfoBalloon(const wchar_t* text, const wchar_t* title, UINT timeout, DWORD flags)
{
    if (!IsShown())
        return FALSE;
    m_iconData.cbSize = kRecordSize;
    m_iconData.uFlags = NIF_INFO;
    m_iconData.uTimeout = timeout;
    m_iconData.dwInfoFlags = flags;
    CopyCut(m_iconData.szInfo, text);
    CopyCut(m_iconData.szInfoTitle, title);
    return Notify(NIM_MODIFY);
}

BOOL CTrayIcon::ShowInfoBalloonOn(HWND hwnd, UINT id, const wchar_t* text, const wchar_t* title, UINT timeout,
                                  DWORD flags)
{
    // The icon lives on hwnd's thread, which may destroy it at any moment: only that thread
    // touches it. A window without the icon answers 0, a destroyed one makes the call fail.
    CBalloonRequest request{text, title, timeout, flags};
    return ::SendMessageW(hwnd, BalloonRequestMessage(), id, reinterpret_cast<LPARAM>(&request)) ? TRUE : FALSE;
}

LRESULT CTrayIcon::OnIconNotify(WPARAM id, LPARAM mouseMessage)
{
    if (id != m_iconData.uID)
        return 0;
    if (mouseMessage != WM_RBUTTONUP && mouseMessage != WM_LBUTTONDBLCLK)
        return 0;
    const HWND hwnd = m_iconData.hWnd;
    const HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_iconData.uID));
    if (!menu)
        return 0;
    const HMENU popup = ::GetSubMenu(menu, 0);
    if (!popup) {
        ::DestroyMenu(menu);
        return 0;
    }
    // The command may remove the icon: from here on only locals are used.
    if (mouseMessage == WM_RBUTTONUP) {
        ::SetMenuDefaultItem(popup, 0, TRUE);
        POINT cursor{};
        ::GetCursorPos(&cursor);
        // Without the foreground the menu would not close when the user clicks elsewhere, and
        // without the WM_NULL afterwards it would not open again at once.
        ::SetForegroundWindow(hwnd);
        ::TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, hwnd, nullptr);
        ::PostMessageW(hwnd, WM_NULL, 0, 0);
    } else {
        ::SendMessageW(hwnd, WM_COMMAND, ::GetMenuItemID(popup, 0), 0);
    }
    ::DestroyMenu(menu);
    return 1;
}

LRESULT CTrayIcon::OnTaskbarRestart(WPARAM, LPARAM)
{
    const HICON icon = m_iconData.hIcon;
    m_iconData.hIcon = nullptr;
    if (icon)
        SetIconHandle(icon, nullptr);
    return 0;
}

BOOL CTrayIcon::Notify(DWORD operation)
{
    return g_pfnShellNotifyIcon(operation, &m_iconData);
}

UINT CTrayIcon::TaskbarCreatedMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

PFN_SHELL_NOTIFY_ICON CTrayIcon::SetShellNotifyFunction(PFN_SHELL_NOTIFY_ICON function)
{
    const PFN_SHELL_NOTIFY_ICON previous = g_pfnShellNotifyIcon;
    g_pfnShellNotifyIcon = function;
    return previous;
}
