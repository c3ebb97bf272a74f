// Non-owning wrappers of common controls: each method is one message to the control.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace win {

class CListView {
public:
    CListView() = default;
    explicit CListView(HWND hwnd) : m_hWnd(hwnd) {}
    HWND Handle() const { return m_hWnd; }

    int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT, 0, 0)); }
    bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS, 0, 0) != 0; }
    // Adds a column at index with a header text, width in pixels, left-aligned.
    int InsertColumn(int index, const wchar_t* header, int width) const
    {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = width;
        column.pszText = const_cast<wchar_t*>(header);
        column.iSubItem = index;
        return static_cast<int>(Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
    }
    // Inserts a row with text and image; returns the index where a sorted list put it, or -1.
    int InsertItem(int index, const std::wstring& text, int image) const
    {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = index;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        item.iImage = image;
        return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    bool SetItemText(int row, int column, const std::wstring& text) const
    {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        return Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
    }
    // The text of one cell, however long.
    std::wstring GetItemText(int row, int column) const;
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
    void AddExtendedStyle(DWORD style) const
    {
        Send(LVM_SETEXTENDEDLISTVIEWSTYLE, style, style);
    }
    HIMAGELIST SetSmallImageList(HIMAGELIST list) const
    {
        return reinterpret_cast<HIMAGELIST>(Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(list)));
    }

private:
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    HWND m_hWnd = nullptr;
};

class CProgressBar {
public:
    CProgressBar() = default;
    explicit CProgressBar(HWND hwnd) : m_hWnd(hwnd) {}
    HWND Handle() const { return m_hWnd; }
    // The full 32-bit range.
    void SetRange(int low, int high) const { ::SendMessageW(m_hWnd, PBM_SETRANGE32, static_cast<WPARAM>(low), high); }
    void SetPos(int pos) const { ::SendMessageW(m_hWnd, PBM_SETPOS, static_cast<WPARAM>(pos), 0); }
    int GetPos() const { return static_cast<int>(::SendMessageW(m_hWnd, PBM_GETPOS, 0, 0)); }
    int GetHigh() const { return static_cast<int>(::SendMessageW(m_hWnd, PBM_GETRANGE, FALSE, 0)); }

private:
    HWND m_hWnd = nullptr;
};

} // namespace win
