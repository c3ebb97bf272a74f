// The results list's order and its bulk filling.
#include "app/DragListCtrl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(DragListCtrl, RowsComeInTheOrderTheControlItselfSortsThem)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    const std::vector<std::wstring> names = {
        L"b.txt",  L"B.txt",    L"a.txt",     L"A.TXT",   L"..\\other\\x", L".\\sub\\y", L"",
        L"_under", L"-dash",    L"10.bin",    L"9.bin",   L"Zeta",         L"alpha",    L"\u00e9t\u00e9",
        L"eta",    L"e\u0301",  L"my file",   L"my_file", L"~tilde",       L"x y  ",    L"[b]",
    };
    const HWND sorted = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT | LVS_SORTASCENDING, 0, 0,
                                          300, 300, nullptr, nullptr, nullptr, nullptr);
    const HWND ours = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT | LVS_SORTASCENDING, 0, 0,
                                        300, 300, nullptr, nullptr, nullptr, nullptr);
    win::CListView control(sorted);
    control.InsertColumn(0, L"File", 100);
    std::vector<CResultRow> rows;
    for (const auto& name : names) {
        control.InsertItem(0, name, 0);
        rows.push_back({name, L"", L"00000000", ImagePending});
    }
    CDragListCtrl list;
    list.Attach(ours);
    list.InsertColumn(0, L"File", 100);
    list.InsertColumn(1, L"File Size", 70);
    list.InsertColumn(2, L"Checksum", 63);
    list.SetRows(rows);

    ASSERT_EQ(list.GetItemCount(), control.GetItemCount());
    for (int i = 0; i < control.GetItemCount(); ++i) {
        // Names equal but for case may stand either way round; everything else in one order.
        const std::wstring expected = control.GetItemText(i, 0);
        const std::wstring actual = list.GetItemText(i, 0);
        EXPECT_EQ(_wcsicmp(expected.c_str(), actual.c_str()), 0) << i;
    }
    EXPECT_EQ(list.GetItemText(0, 2), L"00000000");
    EXPECT_NE(::GetWindowLongW(ours, GWL_STYLE) & LVS_SORTASCENDING, 0) << "the list stays a sorted list";
    ::DestroyWindow(sorted);
    ::DestroyWindow(ours);
}

} // namespace
