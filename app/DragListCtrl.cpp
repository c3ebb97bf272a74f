#include "app/DragListCtrl.h"

#include <string>

#include "app/CommandLineScan.h"
#include "app/KavrinDlg.h"

CDragListCtrl::~CDragListCtrl()
{
    if (GetSafeHwnd())
        ::RemoveWindowSubclass(GetSafeHwnd(), SubclassProc, 0);
}

void CDragListCtrl::Attach(HWND list)
{
    win::CListView::Attach(list);
    ::SetWindowSubclass(list, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void CDragListCtrl::OnDropFiles(HDROP drop)
{
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // Ask for the length first, so no path is ever cut.
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(::DragQueryFileW(drop, i, path.data(), length + 1));
        if (kavrin::HasSfvExtension(path)) {
            if (m_pDlg)
                m_pDlg->LoadSfv(path);
            break;
        }
    }
    ::DragFinish(drop);
}

LRESULT CALLBACK CDragListCtrl::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR data)
{
    if (message == WM_DROPFILES) {
        try {
            reinterpret_cast<CDragListCtrl*>(data)->OnDropFiles(reinterpret_cast<HDROP>(wParam));
        } catch (...) {
        }
        return 0;
    }
    if (message == WM_NCDESTROY)
        ::RemoveWindowSubclass(hwnd, SubclassProc, 0);
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}
