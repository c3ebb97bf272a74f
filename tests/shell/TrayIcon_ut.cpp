// The notification-area icon: its calls of the system watched through the seam, its hooks on
// real windows, its popup menu driven by keys.
#include "shell/TrayIcon.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "res/TestResources.h"
#include "res/resource.h"
#include "win/Handle.h"
#include "win/WideString.h"

namespace {

// ---- The seam: every call of the system, with the record as the system would read it.

struct CNotifyCall {
    DWORD operation;
    NOTIFYICONDATAW data;  // the first cbSize bytes of the record given, the rest zero
    DWORD threadId;
};

std::vector<CNotifyCall> g_calls;
BOOL g_bAnswer = TRUE;

BOOL WINAPI RecordNotify(DWORD operation, PNOTIFYICONDATAW data)
{
    CNotifyCall call{operation, {}, ::GetCurrentThreadId()};
    std::memcpy(&call.data, data, std::min<std::size_t>(data->cbSize, sizeof call.data));
    g_calls.push_back(call);
    return g_bAnswer;
}

class CNotifyRecorder {
public:
    CNotifyRecorder() : m_pfnPrevious(CTrayIcon::SetShellNotifyFunction(RecordNotify))
    {
        g_calls.clear();
        g_bAnswer = TRUE;
    }
    ~CNotifyRecorder() { CTrayIcon::SetShellNotifyFunction(m_pfnPrevious); }

private:
    PFN_SHELL_NOTIFY_ICON m_pfnPrevious;
};

// ---- A notification window that logs what reaches its own procedure.

std::vector<std::wstring> g_windowLog;
std::function<void(UINT, WPARAM, LPARAM)> g_onMessage;  // runs after logging
bool g_bMenuWasBold = false;
std::vector<UINT> g_menuItems;

LRESULT CALLBACK NotifyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_USER:
        g_windowLog.push_back(win::Format(L"callback %u 0x%04x", static_cast<unsigned>(wParam),
                                          static_cast<unsigned>(lParam)));
        break;
    case WM_COMMAND:
        g_windowLog.push_back(win::Format(L"command %u", static_cast<unsigned>(LOWORD(wParam))));
        break;
    case WM_INITMENUPOPUP: {
        const HMENU popup = reinterpret_cast<HMENU>(wParam);
        g_windowLog.push_back(L"menu");
        g_bMenuWasBold = ::GetMenuDefaultItem(popup, TRUE, 0) == 0;
        g_menuItems.clear();
        for (int i = 0; i < ::GetMenuItemCount(popup); ++i)
            g_menuItems.push_back(::GetMenuItemID(popup, i));
        break;
    }
    default:
        if (message == CTrayIcon::TaskbarCreatedMessage())
            g_windowLog.push_back(L"taskbar created");
        break;
    }
    if (g_onMessage)
        g_onMessage(message, wParam, lParam);
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateNotifyWindow(HWND parent = nullptr)
{
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = NotifyWindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KavrinTrayTest";
        return ::RegisterClassW(&wc);
    }();
    const DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW;
    return ::CreateWindowExW(0, reinterpret_cast<LPCWSTR>(atom), L"", style, 0, 0, 100, 100, parent, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

WNDPROC ProcOf(HWND hwnd)
{
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
}

HICON AppIcon()
{
    return ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP));
}

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

std::wstring Letters(std::size_t count)
{
    std::wstring text;
    for (std::size_t i = 0; i < count; ++i)
        text += static_cast<wchar_t>(L'a' + i % 26);
    return text;
}

class TrayIcon : public testing::Test {
protected:
    void SetUp() override
    {
        g_windowLog.clear();
        g_onMessage = nullptr;
        g_bMenuWasBold = false;
        g_menuItems.clear();
        m_hWnd = CreateNotifyWindow();
        ASSERT_NE(m_hWnd, nullptr);
        m_pfnOriginal = ProcOf(m_hWnd);
    }
    void TearDown() override
    {
        g_onMessage = nullptr;
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
    }
    // Sends a mouse event over icon id to the window as the shell does.
    void Callback(LPARAM mouse, UINT id = IDR_MAINMENU) { ::SendMessageW(m_hWnd, WM_USER, id, mouse); }

    CNotifyRecorder m_recorder;
    HWND m_hWnd = nullptr;
    WNDPROC m_pfnOriginal = nullptr;
};

using Log = std::vector<std::wstring>;

TEST_F(TrayIcon, StartsEmptyWithItsTipFromTheStringResource)
{
    static_assert(sizeof(NOTIFYICONDATAW) >= CTrayIcon::kRecordSize);
    struct Case { UINT id; std::wstring tip; };
    const Case cases[] = {
        {IDR_MAINMENU, L""},
        {IDS_TEST_TIP, L"Tip from the resources"},
        {IDS_TEST_LONG_TIP, Letters(127)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        CTrayIcon icon(c.id);
        const NOTIFYICONDATAW& data = icon.IconData();
        EXPECT_EQ(data.cbSize, 936u);
        EXPECT_EQ(data.uID, c.id);
        EXPECT_EQ(data.szTip, c.tip);
        EXPECT_EQ(data.hWnd, nullptr);
        EXPECT_EQ(data.hIcon, nullptr);
        EXPECT_EQ(data.uFlags, 0u);
        EXPECT_FALSE(icon.IsShown());
    }
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(TrayIcon, AddChangeRemoveAndNothingMore)
{
    CTrayIcon icon(IDR_MAINMENU);
    icon.SetNotifyTarget(m_hWnd, WM_USER);
    const HICON first = AppIcon();
    const HICON second = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_OK));

    EXPECT_TRUE(icon.SetIconHandle(first, L"Kavrin"));
    EXPECT_TRUE(icon.SetIconHandle(second, nullptr));
    EXPECT_TRUE(icon.SetIconHandle(nullptr, nullptr));
    EXPECT_TRUE(icon.SetIconHandle(nullptr, L"ignored"));

    ASSERT_EQ(g_calls.size(), 3u);
    const DWORD all = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    struct Expected { DWORD operation; HICON icon; DWORD flags; };
    const Expected expected[] = {{NIM_ADD, first, all}, {NIM_MODIFY, second, all}, {NIM_DELETE, second, NIF_TIP | NIF_MESSAGE}};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const NOTIFYICONDATAW& data = g_calls[i].data;
        EXPECT_EQ(g_calls[i].operation, expected[i].operation);
        EXPECT_EQ(data.cbSize, 936u);
        EXPECT_EQ(data.hWnd, m_hWnd);
        EXPECT_EQ(data.uID, static_cast<UINT>(IDR_MAINMENU));
        EXPECT_EQ(data.uCallbackMessage, static_cast<UINT>(WM_USER));
        EXPECT_EQ(data.hIcon, expected[i].icon);
        EXPECT_EQ(data.uFlags, expected[i].flags);
        EXPECT_STREQ(data.szTip, L"Kavrin");
        EXPECT_EQ(data.dwState, 0u);
        EXPECT_EQ(data.dwStateMask, 0u);
    }
    EXPECT_FALSE(icon.IsShown());
}

TEST_F(TrayIcon, FlagsFollowTheTipAndTheCallback)
{
    struct Case { HWND target; UINT callback; const wchar_t* tip; DWORD flags; };
    const Case cases[] = {
        {m_hWnd, WM_USER, L"tip", NIF_ICON | NIF_TIP | NIF_MESSAGE},
        {m_hWnd, WM_USER, L"", NIF_ICON | NIF_MESSAGE},
        {m_hWnd, 0, L"tip", NIF_ICON | NIF_TIP},
        {nullptr, WM_USER, L"tip", NIF_ICON | NIF_TIP},
        {nullptr, 0, nullptr, NIF_ICON},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        g_calls.clear();
        CTrayIcon icon(IDR_MAINMENU);
        icon.SetNotifyTarget(c.target, c.callback);
        EXPECT_TRUE(icon.SetIconHandle(AppIcon(), c.tip));
        ASSERT_EQ(g_calls.size(), 1u);
        EXPECT_EQ(g_calls[0].operation, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(g_calls[0].data.uFlags, c.flags);
    }
}

TEST_F(TrayIcon, ARefusedCallLeavesNoIconShown)
{
    CTrayIcon icon(IDR_MAINMENU);
    icon.SetNotifyTarget(m_hWnd, WM_USER);
    g_bAnswer = FALSE;
    EXPECT_FALSE(icon.SetIconHandle(AppIcon(), L"Kavrin"));
    EXPECT_FALSE(icon.IsShown());
    g_bAnswer = TRUE;
    EXPECT_TRUE(icon.SetIconHandle(AppIcon(), nullptr));  // added anew, not changed
    g_bAnswer = FALSE;
    EXPECT_FALSE(icon.SetIconHandle(AppIcon(), nullptr));  // a refused change loses it too
    EXPECT_FALSE(icon.IsShown());
    ASSERT_EQ(g_calls.size(), 3u);
    EXPECT_EQ(g_calls[0].operation, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(g_calls[1].operation, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(g_calls[2].operation, static_cast<DWORD>(NIM_MODIFY));
}

TEST_F(TrayIcon, TextsAreCutToTheirFields)
{
    const std::wstring emoji = L"\U0001F600";  // one character, two UTF-16 units
    struct Case { std::wstring given; std::wstring kept; };
    const Case tips[] = {
        {Letters(200), Letters(127)},
        {Letters(127), Letters(127)},
        {Letters(126) + emoji, Letters(126)},  // never half a character
        {Letters(125) + emoji, Letters(125) + emoji},
    };
    for (const auto& c : tips) {
        SCOPED_TRACE(c.given.size());
        CTrayIcon icon(IDR_MAINMENU);
        icon.SetIconHandle(AppIcon(), c.given.c_str());
        EXPECT_EQ(std::wstring(g_calls.back().data.szTip), c.kept);
    }

    CTrayIcon icon(IDR_MAINMENU);
    icon.SetIconHandle(AppIcon(), L"Kavrin");
    EXPECT_TRUE(icon.ShowInfoBalloon(Letters(300).c_str(), Letters(100).c_str(), 1, NIIF_INFO));
    EXPECT_EQ(std::wstring(g_calls.back().data.szInfo), Letters(255));
    EXPECT_EQ(std::wstring(g_calls.back().data.szInfoTitle), Letters(63));
    EXPECT_TRUE(icon.ShowInfoBalloon((Letters(254) + emoji).c_str(), (Letters(62) + emoji).c_str(), 1, NIIF_INFO));
    EXPECT_EQ(std::wstring(g_calls.back().data.szInfo), Letters(254));
    EXPECT_EQ(std::wstring(g_calls.back().data.szInfoTitle), Letters(62));
}

TEST_F(TrayIcon, BalloonIsShownOnceAndOnlyOnAShownIcon)
{
    CTrayIcon icon(IDR_MAINMENU);
    icon.SetNotifyTarget(m_hWnd, WM_USER);
    EXPECT_FALSE(icon.ShowInfoBalloon(L"7 of 9 files ok.", L"Operation complete", 1, NIIF_INFO));
    EXPECT_TRUE(g_calls.empty());

    icon.SetIconResource(IDI_APP, L"Kavrin");
    g_calls.clear();
    EXPECT_TRUE(icon.ShowInfoBalloon(L"7 of 9 files ok.", L"Operation complete", 1, NIIF_INFO));
    ASSERT_EQ(g_calls.size(), 1u);
    const NOTIFYICONDATAW& balloon = g_calls[0].data;
    EXPECT_EQ(g_calls[0].operation, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(balloon.cbSize, 936u);
    EXPECT_EQ(balloon.uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_STREQ(balloon.szInfo, L"7 of 9 files ok.");
    EXPECT_STREQ(balloon.szInfoTitle, L"Operation complete");
    EXPECT_EQ(balloon.uTimeout, 1u);
    EXPECT_EQ(balloon.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));

    EXPECT_TRUE(icon.ShowInfoBalloon(nullptr, nullptr, 5, NIIF_WARNING));
    EXPECT_STREQ(g_calls.back().data.szInfo, L"");
    EXPECT_STREQ(g_calls.back().data.szInfoTitle, L"");
    EXPECT_EQ(g_calls.back().data.dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));

    // A tip change afterwards does not bring the balloon back.
    EXPECT_TRUE(icon.SetIconHandle(AppIcon(), L"New tip"));
    EXPECT_EQ(g_calls.back().data.uFlags & NIF_INFO, 0u);
    EXPECT_STREQ(g_calls.back().data.szTip, L"New tip");
}

TEST_F(TrayIcon, IconResources)
{
    CTrayIcon icon(IDS_TEST_TIP);
    icon.SetNotifyTarget(m_hWnd, WM_USER);
    // The program's icon 128, with no tip of its own: the tip becomes string 128, which is none.
    EXPECT_TRUE(icon.SetIconResource(IDI_APP, nullptr));
    EXPECT_TRUE(icon.IsShown());
    EXPECT_EQ(g_calls.back().data.hIcon, AppIcon());
    EXPECT_STREQ(g_calls.back().data.szTip, L"");
    EXPECT_EQ(g_calls.back().data.uFlags, static_cast<UINT>(NIF_ICON | NIF_MESSAGE));
    // No icon resource with that number: removal.
    EXPECT_TRUE(icon.SetIconResource(IDS_TEST_TIP, nullptr));
    EXPECT_EQ(g_calls.back().operation, static_cast<DWORD>(NIM_DELETE));
    EXPECT_STREQ(g_calls.back().data.szTip, L"Tip from the resources");
    EXPECT_FALSE(icon.IsShown());
    EXPECT_TRUE(icon.SetIconResource(IDI_APP, L"Kavrin"));
    EXPECT_STREQ(g_calls.back().data.szTip, L"Kavrin");
    EXPECT_TRUE(icon.SetIconResource(0, nullptr));
    EXPECT_EQ(g_calls.back().operation, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(TrayIcon, DestructionRemovesAShownIconAndItsHooks)
{
    {
        CTrayIcon hidden(IDR_MAINMENU);
        hidden.SetNotifyTarget(m_hWnd, WM_USER);
        EXPECT_EQ(ProcOf(m_hWnd), &SubclassWndProc);
    }
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(ProcOf(m_hWnd), m_pfnOriginal);
    {
        CTrayIcon shown(IDR_MAINMENU);
        shown.SetNotifyTarget(m_hWnd, WM_USER);
        shown.SetIconResource(IDI_APP, L"Kavrin");
    }
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[1].operation, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(g_calls[1].data.uID, static_cast<UINT>(IDR_MAINMENU));
    EXPECT_EQ(ProcOf(m_hWnd), m_pfnOriginal);
}

TEST_F(TrayIcon, RightButtonReleaseOpensTheMenuWithItsFirstItemBold)
{
    CTrayIcon icon(IDR_MAINMENU);
    icon.SetNotifyTarget(m_hWnd, WM_USER);
    icon.SetIconResource(IDI_APP, L"Kavrin");
    // Inside the menu's loop: the second item ("&Create SFV") is chosen by keys.
    g_onMessage = [&](UINT message, WPARAM, LPARAM) {
        if (message == WM_INITMENUPOPUP) {
            ::PostMessageW(m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
            ::PostMessageW(m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
            ::PostMessageW(m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
        }
    };
    Callback(WM_RBUTTONUP);
    Pump();
    EXPECT_TRUE(g_bMenuWasBold);
    EXPECT_EQ(g_menuItems, (std::vector<UINT>{ID_FILE_CHECKSFV, ID_FILE_CREATESFV, 0, ID_FILE_EXIT}));
    EXPECT_EQ(g_windowLog, (Log{L"menu", L"callback 131 0x0205", L"command 32772"}));
}

TEST_F(TrayIcon, DoubleClickSendsTheFirstCommandAndOtherEventsOnlyPassThrough)
{
    CTrayIcon icon(IDR_MAINMENU);
    icon.SetNotifyTarget(m_hWnd, WM_USER);
    icon.SetIconResource(IDI_APP, L"Kavrin");
    g_calls.clear();
    Callback(WM_LBUTTONDBLCLK);
    EXPECT_EQ(g_windowLog, (Log{L"command 57601", L"callback 131 0x0203"}));
    g_windowLog.clear();
    for (LPARAM mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE})
        Callback(mouse);
    Callback(WM_RBUTTONUP, 99);  // another icon's number
    Callback(WM_LBUTTONDBLCLK, 99);
    Pump();
    EXPECT_EQ(g_windowLog, (Log{L"callback 131 0x0201", L"callback 131 0x0202", L"callback 131 0x0204",
                                L"callback 131 0x0200", L"callback 99 0x0205", L"callback 99 0x0203"}));
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(TrayIcon, WithoutAMenuPopupTheIconDoesNothing)
{
    for (UINT id : {static_cast<UINT>(IDR_TEST_FLAT_MENU), static_cast<UINT>(IDS_TEST_TIP)}) {
        SCOPED_TRACE(id);
        g_windowLog.clear();
        CTrayIcon icon(id);
        icon.SetNotifyTarget(m_hWnd, WM_USER);
        icon.SetIconResource(IDI_APP, nullptr);
        Callback(WM_RBUTTONUP, id);
        Callback(WM_LBUTTONDBLCLK, id);
        Pump();
        EXPECT_EQ(g_windowLog, (Log{win::Format(L"callback %u 0x0205", id), win::Format(L"callback %u 0x0203", id)}));
        EXPECT_EQ(icon.OnIconNotify(id, WM_RBUTTONUP), 0);
    }
}

TEST_F(TrayIcon, TheWindowMayDestroyTheIconOnItsCallback)
{
    auto* icon = new CTrayIcon(IDR_MAINMENU);
    icon->SetNotifyTarget(m_hWnd, WM_USER);
    icon->SetIconResource(IDI_APP, L"Kavrin");
    g_onMessage = [&](UINT message, WPARAM, LPARAM lParam) {
        if (message == WM_USER && lParam == WM_LBUTTONUP) {
            delete icon;
            icon = nullptr;
        }
    };
    Callback(WM_LBUTTONUP);
    EXPECT_EQ(icon, nullptr);
    EXPECT_EQ(g_calls.back().operation, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(ProcOf(m_hWnd), m_pfnOriginal);
    EXPECT_EQ(g_windowLog, (Log{L"callback 131 0x0202"}));
}

TEST_F(TrayIcon, TheDefaultCommandMayDestroyTheIconAndTheWindowStillGetsTheCallback)
{
    auto* icon = new CTrayIcon(IDR_MAINMENU);
    icon->SetNotifyTarget(m_hWnd, WM_USER);
    icon->SetIconResource(IDI_APP, L"Kavrin");
    g_onMessage = [&](UINT message, WPARAM, LPARAM) {
        if (message == WM_COMMAND && icon) {
            delete icon;
            icon = nullptr;
        }
    };
    Callback(WM_LBUTTONDBLCLK);
    EXPECT_EQ(icon, nullptr);
    EXPECT_EQ(ProcOf(m_hWnd), m_pfnOriginal);
    EXPECT_EQ(g_windowLog, (Log{L"command 57601", L"callback 131 0x0203"}));
}

TEST_F(TrayIcon, TheIconComesBackWhenTheTaskbarIsCreatedAgain)
{
    // The notification window is a child: the broadcast reaches its top-level parent only.
    const HWND child = CreateNotifyWindow(m_hWnd);
    ASSERT_NE(child, nullptr);
    CTrayIcon icon(IDR_MAINMENU);
    icon.SetNotifyTarget(child, WM_USER);
    EXPECT_EQ(ProcOf(m_hWnd), &SubclassWndProc);
    icon.SetIconResource(IDI_APP, L"Kavrin");
    const NOTIFYICONDATAW added = g_calls.back().data;
    g_calls.clear();

    ::SendMessageW(m_hWnd, CTrayIcon::TaskbarCreatedMessage(), 0, 0);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].operation, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(std::memcmp(&g_calls[0].data, &added, CTrayIcon::kRecordSize), 0);
    EXPECT_TRUE(icon.IsShown());
    EXPECT_EQ(g_windowLog, (Log{L"taskbar created"}));

    // The callback reaches the icon through the child only, never through the parent.
    g_windowLog.clear();
    ::SendMessageW(m_hWnd, WM_USER, IDR_MAINMENU, WM_LBUTTONDBLCLK);
    EXPECT_EQ(g_windowLog, (Log{L"callback 131 0x0203"}));

    // Refused on the way back: no icon shown, and none to bring back next time.
    g_bAnswer = FALSE;
    ::SendMessageW(m_hWnd, CTrayIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_FALSE(icon.IsShown());
    g_calls.clear();
    ::SendMessageW(m_hWnd, CTrayIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(g_calls.empty());
    ::DestroyWindow(child);
}

TEST_F(TrayIcon, WindowDestroyedBeforeTheIconLeavesOnlyTheRemoval)
{
    auto icon = std::make_unique<CTrayIcon>(IDR_MAINMENU);
    icon->SetNotifyTarget(m_hWnd, WM_USER);
    icon->SetIconResource(IDI_APP, L"Kavrin");
    ::DestroyWindow(m_hWnd);
    EXPECT_EQ(CSubclassRegistry::Instance().Lookup(m_hWnd), nullptr);
    EXPECT_TRUE(icon->IsShown());
    g_calls.clear();
    icon.reset();
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].operation, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(g_calls[0].data.hWnd, m_hWnd);
}

std::function<void()> g_onTimer;

void CALLBACK RunOnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_onTimer)
        g_onTimer();
}

BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM param)
{
    wchar_t name[16] = {};
    ::GetClassNameW(hwnd, name, 16);
    if (std::wstring(name) == L"#32770" && ::IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(param) = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::vector<HWND> g_activated;

LRESULT CALLBACK RecordActivation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE)
        g_activated.push_back(reinterpret_cast<HWND>(wParam));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(TrayIcon, UnderAModalBoxTheIconBringsTheBoxForwardAndActsOnNothing)
{
    CTrayIcon icon(IDR_MAINMENU);
    icon.SetNotifyTarget(m_hWnd, WM_USER);
    icon.SetIconResource(IDI_APP, L"Kavrin");
    const HWND other = CreateNotifyWindow();
    HWND box = nullptr;
    Log logUnderTheBox;
    std::vector<HWND> activatedByTheIcon;
    // Activations on this thread, not the foreground: tests in other processes move that.
    const HHOOK hook = ::SetWindowsHookExW(WH_CBT, RecordActivation, nullptr, ::GetCurrentThreadId());
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, RunOnTimer);
    g_onTimer = [&] {
        if (box || (::EnumThreadWindows(::GetCurrentThreadId(), FindMessageBox, reinterpret_cast<LPARAM>(&box)), !box))
            return;
        ::ShowWindow(other, SW_SHOW);
        ::SetForegroundWindow(other);
        g_activated.clear();
        g_windowLog.clear();
        for (LPARAM mouse : {WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_MOUSEMOVE})
            Callback(mouse);
        activatedByTheIcon = g_activated;
        logUnderTheBox = g_windowLog;
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    };
    ::MessageBoxW(m_hWnd, L"Busy", L"Modal", MB_OK);
    ::KillTimer(nullptr, timer);
    ::UnhookWindowsHookEx(hook);
    g_onTimer = nullptr;

    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(logUnderTheBox.empty());  // no menu, no command, no callback for the window
    ASSERT_FALSE(activatedByTheIcon.empty());
    EXPECT_EQ(activatedByTheIcon[0], box);
    // With the box gone the window gets its callbacks again.
    g_windowLog.clear();
    Callback(WM_LBUTTONUP);
    EXPECT_EQ(g_windowLog, (Log{L"callback 131 0x0202"}));
    ::DestroyWindow(other);
}

} // namespace

namespace {

// A modal dialog of our layer as the notification window, as the main window will be.
class CLoggingDialog : public win::CDialog {
public:
    CLoggingDialog() : win::CDialog(IDD_PROGRESS_DIALOG) {}
    std::vector<std::wstring> m_log;

protected:
    bool OnCommand(int id, int code, HWND control) override
    {
        m_log.push_back(win::Format(L"command %d", id));
        return win::CDialog::OnCommand(id, code, control);
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (message != WM_USER)
            return false;
        m_log.push_back(win::Format(L"callback %u 0x%04x", static_cast<unsigned>(wParam),
                                    static_cast<unsigned>(lParam)));
        result = 0;
        return true;
    }
};

TEST(TrayIconOnADialog, ChainsWithTheDialogsProcedureAndOutlivesTheWindow)
{
    CNotifyRecorder recorder;
    CLoggingDialog dialog;
    std::unique_ptr<CTrayIcon> icon;
    WNDPROC dialogProc = nullptr;
    const INT_PTR result = test::RunDialog(dialog, [&](HWND hwnd) {
        dialogProc = ProcOf(hwnd);
        icon = CTrayIcon::Add(hwnd, IDR_MAINMENU, WM_USER, IDI_APP, L"Kavrin");
        ::SendMessageW(hwnd, WM_USER, IDR_MAINMENU, WM_LBUTTONDBLCLK);
        ::SendMessageW(hwnd, WM_USER, IDR_MAINMENU, WM_LBUTTONUP);
        ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(dialogProc, &SubclassWndProc);
    EXPECT_EQ(dialog.m_log, (Log{L"command 57601", L"callback 131 0x0203", L"callback 131 0x0202", L"command 2"}));
    // The dialog is gone with the hooks; the icon still has to leave the notification area.
    EXPECT_TRUE(icon->IsShown());
    g_calls.clear();
    icon.reset();
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].operation, static_cast<DWORD>(NIM_DELETE));
}

// True when Wine draws with its null driver, which has no notification area.
bool HasNullGraphicsDriver()
{
    wchar_t value[32] = {};
    DWORD bytes = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Drivers", L"Graphics", RRF_RT_REG_SZ, nullptr, value,
                       &bytes)
        != ERROR_SUCCESS)
        return false;
    return std::wstring(value) == L"null";
}

// The real Shell_NotifyIconW: refused under the null driver (test runs), accepted on an X
// display (scripts/tray-xvfb.sh).
TEST(TrayIconSystem, RealNotificationArea)
{
    const HWND window = CreateNotifyWindow();
    ASSERT_NE(window, nullptr);
    const WNDPROC original = ProcOf(window);
    auto icon = CTrayIcon::Add(window, IDR_MAINMENU, WM_USER, IDI_APP, L"Kavrin");
    if (HasNullGraphicsDriver()) {
        // No notification area: no icon, and the window keeps its own procedure, so its owner
        // can minimise normally instead of hiding itself for good.
        EXPECT_EQ(icon, nullptr);
        EXPECT_EQ(ProcOf(window), original);
    } else {
        ASSERT_NE(icon, nullptr);
        EXPECT_TRUE(icon->IsShown());
        EXPECT_EQ(ProcOf(window), &SubclassWndProc);
        const HICON other = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_OK));
        EXPECT_TRUE(icon->SetIconHandle(other, L"Changed"));
        EXPECT_TRUE(icon->ShowInfoBalloon(L"1 of 1 files ok.", L"Operation complete", 1, NIIF_INFO));
        EXPECT_TRUE(icon->SetIconHandle(nullptr, nullptr));
        EXPECT_FALSE(icon->IsShown());
        EXPECT_TRUE(icon->SetIconResource(IDI_APP, L"Kavrin"));
        EXPECT_TRUE(icon->IsShown());
        icon.reset();
        EXPECT_EQ(ProcOf(window), original);
    }
    ::DestroyWindow(window);
}

} // namespace
