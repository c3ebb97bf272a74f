#include "app/KavrinDlg.h"

#include "app/CommandLineScan.h"
#include "res/resource.h"
#include "win/WindowPlacement.h"

namespace {

constexpr COLORREF kBackground = RGB(246, 247, 250);
constexpr int kNarrowWidth = 396;

} // namespace

CKavrinDlg::CKavrinDlg() : win::CDialog(IDD_KAVRIN_DIALOG)
{
    m_hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP));
    m_brush.Reset(::CreateSolidBrush(kBackground));
    m_pArgs = CAppArgs::Instance();
}

CKavrinDlg::~CKavrinDlg() = default;

BOOL CKavrinDlg::OnInitDialog()
{
    win::SetWindowWidth(m_hWnd, kNarrowWidth);
    win::CenterWindow(m_hWnd);
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    const int sfv = kavrin::FindSfvArgument(m_pArgs->argv, m_pArgs->argc);
    if (sfv >= 0)
        LoadSfv(m_pArgs->argv[sfv]);
    return TRUE;
}

void CKavrinDlg::LoadSfv(const std::wstring&)
{
}

bool CKavrinDlg::OnCommand(int id, int code, HWND control)
{
    switch (id) {
    case ID_FILE_EXIT:
    case IDC_CLOSE:
        OnCancel();
        return true;
    default:
        return win::CDialog::OnCommand(id, code, control);
    }
}

HBRUSH CKavrinDlg::OnCtlColor(HDC dc, HWND, UINT message)
{
    if (message == WM_CTLCOLORSTATIC) {
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, kBackground);
        ::SetBkMode(dc, OPAQUE);
    }
    return static_cast<HBRUSH>(m_brush.Get());
}

bool CKavrinDlg::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result)
{
    switch (message) {
    case WM_PAINT:
        if (!::IsIconic(m_hWnd))
            return false;
        OnPaint();
        result = 0;
        return true;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<LRESULT>(m_hIcon);
        return true;
    default:
        return false;
    }
}

void CKavrinDlg::OnPaint()
{
    PAINTSTRUCT ps;
    const HDC dc = ::BeginPaint(m_hWnd, &ps);
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    const int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &ps);
}
