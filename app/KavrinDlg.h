// The main (verification) window.
#pragma once
#include <windows.h>

#include <string>

#include "app/AppArgs.h"
#include "win/Dialog.h"
#include "win/Handle.h"

class CKavrinDlg : public win::CDialog {
public:
    CKavrinDlg();
    ~CKavrinDlg() override;

    // Reads an SFV file into the results list and starts verifying it.
    void LoadSfv(const std::wstring& path);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT message) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnPaint();

    HICON m_hIcon = nullptr;
    win::CGdiObject m_brush;
    CAppArgs* m_pArgs = nullptr;
};
