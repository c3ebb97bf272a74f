// A list-view control that this object does not own: one message per method.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cassert>
#include <string>

namespace win {

class CListView {
public:
    CListView() = default;
    explicit CListView(HWND hwnd) : m_hWnd(hwnd) {}

    HWND GetSafeHwnd() const { return m_hWnd; }
    void Attach(HWND hwnd) { m_hWnd = hwnd; }

    // Adds the given extended styles; the others stay as they are.
    void AddExtendedStyle(DWORD styles) const
    {
        Send(LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles);
    }
    // Inserts a left-aligned text column; its index, or -1.
    int InsertColumn(int index, const wchar_t* title, int width) const
    {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = width;
        column.pszText = const_cast<wchar_t*>(title);
        column.iSubItem = index;
        return static_cast<int>(Send(LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column)));
    }
    // Sets the image list of the given kind (LVSIL_SMALL...); the list does not take ownership
    // unless the control has LVS_SHAREIMAGELISTS cleared and is destroyed with it.
    HIMAGELIST SetImageList(HIMAGELIST images, int kind) const
    {
        return reinterpret_cast<HIMAGELIST>(Send(LVM_SETIMAGELIST, kind, reinterpret_cast<LPARAM>(images)));
    }
    HIMAGELIST GetImageList(int kind) const
    {
        return reinterpret_cast<HIMAGELIST>(Send(LVM_GETIMAGELIST, kind, 0));
    }
    int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT, 0, 0)); }
    int GetSelectedCount() const { return static_cast<int>(Send(LVM_GETSELECTEDCOUNT, 0, 0)); }
    // The next row after start (-1: from the top) with the given LVNI_* state, or -1.
    int GetNextItem(int start, UINT flags) const
    {
        return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
    }
    // Inserts a row; the index the control gave it (a sorted list chooses its own), or -1.
    int InsertItem(const LVITEMW& item) const
    {
        return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    bool SetItemText(int row, int column, const std::wstring& text) const
    {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        return Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
    }
    // The text of one cell (up to 32767 characters).
    std::wstring GetItemText(int row, int column) const
    {
        std::wstring text(32768, L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        const auto length = Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        // A copy of the right size: the buffer's capacity would stay with the text.
        return std::wstring(text.data(), static_cast<std::size_t>(length));
    }
    // The first row after start (-1: from the top) that matches, or -1.
    int FindItem(int start, const LVFINDINFOW& find) const
    {
        return static_cast<int>(Send(LVM_FINDITEMW, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(&find)));
    }
    bool DeleteItem(int row) const { return Send(LVM_DELETEITEM, static_cast<WPARAM>(row), 0) != 0; }
    bool SetItemState(int row, UINT state, UINT mask) const
    {
        LVITEMW item{};
        item.state = state;
        item.stateMask = mask;
        return Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
    }
    int GetColumnWidth(int column) const { return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, column, 0)); }
    bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS, 0, 0) != 0; }
    // Inserts a row with text and image; returns the index where a sorted list put it, or -1.
    int InsertItem(int index, const std::wstring& text, int image) const
    {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = index;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        item.iImage = image;
        return InsertItem(item);
    }
    bool SetItemImage(int row, int image) const
    {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        item.iImage = image;
        return Send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
    }
    // The image index of a row, or -1.
    int GetItemImage(int row) const
    {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        return Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.iImage : -1;
    }
    bool EnsureVisible(int row) const { return Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE) != 0; }

private:
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const
    {
        assert(::IsWindow(m_hWnd));
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
};

} // namespace win
