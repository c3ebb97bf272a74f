// The results list: one row per listed file, and a drop target for SFV files.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "shell/DropHook.h"
#include "win/ListView.h"
#include "win/ProgressBar.h"

class CKavrinDlg;

// Result images, by index in the list's image list.
enum ResultImage { ImageOk = 0, ImageBad = 1, ImagePending = 2, ImageMissing = 3 };

// One row of the results list.
struct CResultRow {
    std::wstring name;      // column 0, the entry's name as listed
    std::wstring size;      // column 1
    std::wstring checksum;  // column 2, the listed checksum text
    int image = ImageMissing;
};

class CDragListCtrl : public win::CListView {
public:
    CDragListCtrl() = default;
    CDragListCtrl(const CDragListCtrl&) = delete;
    CDragListCtrl& operator=(const CDragListCtrl&) = delete;

    // Binds to the list control and starts receiving its dropped files.
    void Attach(HWND list);
    // Loads the first dropped item whose name ends in ".sfv" into m_pDlg; always releases drop.
    void OnDropFiles(HDROP drop);
    // Replaces the rows, in the list's ascending order of names.
    void SetRows(std::vector<CResultRow> rows);
    // The list's own order of two names (case-insensitive, as its sorted insertion compares).
    static bool NameBefore(const std::wstring& a, const std::wstring& b);

    CKavrinDlg* m_pDlg = nullptr;  // receives dropped SFV files; not owned

private:
    // The list's drops; a destroyed list leaves no handle behind.
    CDropHook m_dropHook{[this](HDROP drop) { OnDropFiles(drop); }, [this] { win::CListView::Attach(nullptr); }};
};
