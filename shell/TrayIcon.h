// One icon in the taskbar's notification area, reporting its mouse events to a window of the
// program, with a popup menu, a default command on double-click, balloon texts, and its return
// after the taskbar is re-created.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "shell/SubclassWnd.h"

class CTrayIcon;

// The icon's hook on a window: passes the icon's callbacks and the taskbar's re-creation to the
// icon, then on to the window.
class CTrayNotifyHook : public CSubclassWnd {
public:
    explicit CTrayNotifyHook(CTrayIcon* icon) : m_pIcon(icon) {}
    ~CTrayNotifyHook() override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // One per callback being handled (they can nest): the handling may destroy the icon.
    struct CDestroyGuard {
        bool bDestroyed;
        CDestroyGuard* pOuter;
    };

    CTrayIcon* m_pIcon;
    CDestroyGuard* m_pGuard = nullptr;
};

// The system call that adds, changes and removes notification-area icons.
using PFN_SHELL_NOTIFY_ICON = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);

// An icon in the notification area. Used on the thread that owns its notification window; other
// threads show balloons through ShowInfoBalloonOn.
class CTrayIcon {
public:
    // The record's size: with the balloon fields, without the identifying GUID.
    static constexpr DWORD kRecordSize = 936;

    // id numbers the icon and its popup menu's resource; the tip starts as the string resource
    // id, if there is one. Nothing is shown yet.
    explicit CTrayIcon(UINT id);
    // Removes a shown icon and detaches from the notification window.
    virtual ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Creates an icon for hwnd with the icon resource iconId and tip, and shows it; null when the
    // notification area refused it (there may be none).
    static std::unique_ptr<CTrayIcon> Add(HWND hwnd, UINT id, UINT callbackMessage, UINT iconId,
                                          const wchar_t* tip);

    // Sends the icon's mouse events to hwnd as callbackMessage (wParam the id, lParam the mouse
    // message) after the icon has seen them; null stops that.
    void SetNotifyTarget(HWND hwnd, UINT callbackMessage);
    // Adds the icon, changes it, or (icon null) removes it; a tip not null replaces the tip.
    // FALSE when the system refused, and the icon is then not shown.
    BOOL SetIconHandle(HICON icon, const wchar_t* tip);
    // SetIconHandle with the program's icon resource iconId (0 or none: removes), the tip reset
    // to the string resource iconId first.
    BOOL SetIconResource(UINT iconId, const wchar_t* tip);
    // Shows a balloon over the shown icon; FALSE when no icon is shown or the system refused.
    // timeout and flags (NIIF_INFO...) go to the system unchanged.
    BOOL ShowInfoBalloon(const wchar_t* text, const wchar_t* title, UINT timeout, DWORD flags);
    // From any thread: has the icon id of window hwnd show a balloon, on hwnd's thread. FALSE
    // when that window has no such icon (any more). Never touches an icon being destroyed.
    static BOOL ShowInfoBalloonOn(HWND hwnd, UINT id, const wchar_t* text, const wchar_t* title, UINT timeout,
                                  DWORD flags);

    // A mouse event over the icon: the popup menu on right-button release, the menu's first
    // command on double-click. 1 when it acted.
    virtual LRESULT OnIconNotify(WPARAM id, LPARAM mouseMessage);
    // The taskbar was re-created: a shown icon is added again. Returns 0.
    virtual LRESULT OnTaskbarRestart(WPARAM wParam, LPARAM lParam);

    // True while the icon is in the notification area.
    bool IsShown() const { return m_iconData.hIcon != nullptr; }
    // The record as last given to the system.
    const NOTIFYICONDATAW& IconData() const { return m_iconData; }

    // The number of the shell's "TaskbarCreated" broadcast.
    static UINT TaskbarCreatedMessage();
    // Replaces the system call for every icon (tests watch the calls); returns the one before.
    static PFN_SHELL_NOTIFY_ICON SetShellNotifyFunction(PFN_SHELL_NOTIFY_ICON function);

private:
    friend class CTrayNotifyHook;

    BOOL Notify(DWORD operation);

    NOTIFYICONDATAW m_iconData;
    CTrayNotifyHook m_hookTarget;    // on the notification window
    CTrayNotifyHook m_hookTopLevel;  // on its top-level window, when that is another one
};
