// The "Create SFV file" dialog: collect files and folders, name the SFV file, run the creation.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "app/AppArgs.h"
#include "create/DropFileListCtrl.h"
#include "win/Dialog.h"
#include "win/Handle.h"

class CKavrinCreate : public win::CDialog {
public:
    CKavrinCreate();
    ~CKavrinCreate() override;

    // Runs a creation behind the progress dialog and returns once the run has ended: 0 created,
    // a positive number of files that could not be listed, -100 aborted.
    int RunCreation();
    // Adds a row for an existing file or folder unless it is listed already; false when refused.
    static bool AddPathToList(CDropFileListCtrl& list, const std::wstring& path);
    // The first row's folder and name, its extension replaced by .sfv.
    std::wstring GetDefaultSfvName() const;
    // The drop list's callback: every accepted dropped path goes to AddPathToList.
    static int OnDroppedPath(CDropFileListCtrl& list, std::wstring& path, int& kind);

    // Where runs take the date of their header line; the local date when none is set.
    void SetDateSource(std::function<SYSTEMTIME()> source) { m_fnToday = std::move(source); }
    // The date a run started now writes (called from the run's thread).
    SYSTEMTIME Today() const;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT message) override;

private:
    friend class CCreateThread;

    void OnBrowse();
    void OnAddFile();
    void OnAddFolder();
    void OnFilesDropped();
    void OnCreateButton();
    void OnListKeyDown(const NMLVKEYDOWN& key);

    CDropFileListCtrl m_list;
    HWND m_editPath = nullptr;
    int m_nRunResult = 0;
    win::CGdiObject m_brush;
    CAppArgs* m_pArgs = nullptr;
    // Owned by the list control, which destroys it with its window.
    HIMAGELIST m_imageList = nullptr;
    std::function<SYSTEMTIME()> m_fnToday;
};
