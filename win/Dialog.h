// Modal dialogs from resource templates, with messages unpacked into virtual handlers.
#pragma once
#include <windows.h>

namespace win {

class CDialog {
public:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    virtual ~CDialog() = default;

    // Runs the dialog modally; returns the code given to EndDialog, or -1 when it failed to open.
    INT_PTR DoModal(HWND parent);
    // Ends the modal loop with the given result.
    void EndDialog(INT_PTR result);

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The dialog object behind a window of this layer, or null for any other window.
    static CDialog* FromHandle(HWND hwnd);
    HWND GetItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    UINT TemplateId() const { return m_templateId; }

protected:
    // The window exists and its controls too; return TRUE to let the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // WM_COMMAND; return true when handled. By default IDOK and IDCANCEL end the dialog.
    virtual bool OnCommand(int id, int code, HWND control);
    // WM_NOTIFY; return true when handled, with the result in result.
    virtual bool OnNotify(NMHDR* header, LRESULT& result);
    // WM_CTLCOLOR*: a brush, or null for the default colours.
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT message);
    // Every other message; return true when handled, with the result in result.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Called before the dialog manager sees a message of this dialog's thread for this dialog or
    // its controls; return true to consume it.
    virtual bool PreTranslateMessage(MSG& msg);

    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MessageFilterProc(int code, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
};

} // namespace win
