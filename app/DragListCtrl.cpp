#include "app/DragListCtrl.h"

#include <algorithm>
#include <string>

#include "app/CommandLineScan.h"
#include "app/KavrinDlg.h"
#include "win/DroppedFiles.h"

void CDragListCtrl::Attach(HWND list)
{
    win::CListView::Attach(list);
    m_dropHook.AttachTo(list);
}

void CDragListCtrl::OnDropFiles(HDROP drop)
{
    const UINT count = win::DroppedCount(drop);
    for (UINT i = 0; i < count; ++i) {
        const std::wstring path = win::DroppedPath(drop, i);
        if (kavrin::HasSfvExtension(path)) {
            if (m_pDlg)
                m_pDlg->LoadSfv(path);
            break;
        }
    }
    ::DragFinish(drop);
}

bool CDragListCtrl::NameBefore(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                            static_cast<int>(b.size()))
           == CSTR_LESS_THAN;
}

void CDragListCtrl::SetRows(std::vector<CResultRow> rows)
{
    // The control's sorted insertion searches the rows one by one and repaints as it goes, which
    // takes minutes for a list of many thousand rows. Rows sorted here the same way go in at the
    // end instead, with drawing held until all are in.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const CResultRow& a, const CResultRow& b) { return NameBefore(a.name, b.name); });
    const HWND list = GetSafeHwnd();
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    const LONG style = ::GetWindowLongW(list, GWL_STYLE);
    ::SetWindowLongW(list, GWL_STYLE, style & ~LVS_SORTASCENDING);
    DeleteAllItems();
    for (const CResultRow& row : rows) {
        const int index = InsertItem(GetItemCount(), row.name, row.image);
        if (!row.size.empty())
            SetItemText(index, 1, row.size);
        SetItemText(index, 2, row.checksum);
    }
    ::SetWindowLongW(list, GWL_STYLE, style);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}
