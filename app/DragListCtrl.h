// The results list: one row per listed file, and a drop target for SFV files.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include "win/ListView.h"
#include "win/ProgressBar.h"

class CKavrinDlg;

// Result images, by index in the list's image list.
enum ResultImage { ImageOk = 0, ImageBad = 1, ImagePending = 2, ImageMissing = 3 };

class CDragListCtrl : public win::CListView {
public:
    CDragListCtrl() = default;
    ~CDragListCtrl();
    CDragListCtrl(const CDragListCtrl&) = delete;
    CDragListCtrl& operator=(const CDragListCtrl&) = delete;

    // Binds to the list control and starts receiving its dropped files.
    void Attach(HWND list);
    // Loads the first dropped item whose name ends in ".sfv" into m_pDlg; always releases drop.
    void OnDropFiles(HDROP drop);

    CKavrinDlg* m_pDlg = nullptr;  // receives dropped SFV files; not owned

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
};
