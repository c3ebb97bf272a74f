// A report list that takes files and folders dropped from the shell, shortcuts resolved.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "shell/DropHook.h"
#include "win/Dialog.h"
#include "win/ListView.h"

// Which dropped items the list takes and where they go.
enum : int {
    DFL_FILES = 0x01,            // regular files
    DFL_FOLDERS = 0x02,          // folders
    DFL_ALLOWDUPLICATES = 0x04,  // AddDroppedPath adds even when the text is already listed
    DFL_FILTEREXT = 0x10,        // files only with the configured extension
    DFL_CALLBACK = 0x20,         // accepted paths go to the callback, not to AddDroppedPath
};

// What AcceptPath found a path to be.
enum : int {
    DFK_FOLDER = 64,
    DFK_FILE = 128,
};

class CDropFileListCtrl;

// Receives each accepted path and its kind; the list ignores the result.
using DropFileCallback = int (*)(CDropFileListCtrl& list, std::wstring& path, int& kind);

struct DropFileConfig {
    int nFlags = DFL_FILES | DFL_FOLDERS;
    std::wstring strExtension;  // dot included, such as .sfv
    DropFileCallback pfnCallback = nullptr;
};

class CDropFileListCtrl : public win::CListView {
public:
    // Starts OLE on this thread unless that fails (then says so in a message box).
    CDropFileListCtrl();
    virtual ~CDropFileListCtrl();
    CDropFileListCtrl(const CDropFileListCtrl&) = delete;
    CDropFileListCtrl& operator=(const CDropFileListCtrl&) = delete;

    // Binds to a list window (from a dialog template), takes its drops and makes it accept files.
    bool SubclassWindow(HWND list);
    // Applies config; false, changing nothing, when it asks for a callback without giving one.
    bool SetConfig(const DropFileConfig& config);
    // Adds an accepted path as a row of its own text; its index, or -1 when nothing was added.
    virtual int AddDroppedPath(const std::wstring& path);
    // The file-system target of a shell shortcut file; empty for anything else.
    static std::wstring ResolveShortcut(const std::wstring& path);
    // Whether the configuration takes path; kind tells a folder from a regular file.
    bool AcceptPath(const std::wstring& path, int& kind) const;

    // The window told of the end of every drop (command ID_FILES_DROPPED); none when null.
    win::CDialog* m_pDlg = nullptr;

protected:
    // Takes every item of a drop in its order, then tells m_pDlg.
    void OnDropFiles(HDROP drop);

private:
    // The list's drops; a destroyed list leaves no handle behind.
    CDropHook m_dropHook{[this](HDROP drop) { OnDropFiles(drop); }, [this] { win::CListView::Attach(nullptr); }};

    int m_nFlags = DFL_FILES | DFL_FOLDERS;
    std::wstring m_strExtension;
    DropFileCallback m_pfnCallback = nullptr;
    bool m_bOleInitialized = false;
};
