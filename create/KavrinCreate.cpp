#include "create/KavrinCreate.h"

#include <commdlg.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <atomic>
#include <vector>

#include "create/KavrinProgress.h"
#include "engine/CreateThread.h"
#include "engine/FolderWalk.h"
#include "res/resource.h"
#include "win/FilePath.h"
#include "win/WindowPlacement.h"
#include "win/PumpingWait.h"
#include "win/WideString.h"

namespace {

constexpr COLORREF kBackground = RGB(246, 247, 250);
constexpr int kAborted = -100;
// Room for the folder and every name of a large multiple selection.
constexpr DWORD kSelectionBuffer = 1u << 18;

void SetText(HWND hwnd, const std::wstring& text)
{
    ::SetWindowTextW(hwnd, text.c_str());
}

} // namespace

CKavrinCreate::CKavrinCreate() : win::CDialog(IDD_CREATE_DIALOG)
{
    m_brush.Reset(::CreateSolidBrush(kBackground));
    m_pArgs = CAppArgs::Instance();
}

CKavrinCreate::~CKavrinCreate() = default;

SYSTEMTIME CKavrinCreate::Today() const
{
    if (m_fnToday)
        return m_fnToday();
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now;
}

BOOL CKavrinCreate::OnInitDialog()
{
    m_list.SubclassWindow(GetItem(IDC_FILES));
    m_editPath = GetItem(IDC_SFV_PATH);
    m_list.m_pDlg = this;
    m_list.AddExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    m_list.InsertColumn(0, L"Name", 200);
    m_list.InsertColumn(1, L"Path", 321);
    m_imageList = ::ImageList_Create(16, 16, ILC_COLOR8 | ILC_MASK, 8, 8);
    ::ImageList_SetBkColor(m_imageList, ::GetSysColor(COLOR_WINDOW));
    m_list.SetImageList(m_imageList, LVSIL_SMALL);
    DropFileConfig config;
    config.nFlags = DFL_FILES | DFL_FOLDERS | DFL_CALLBACK;
    config.pfnCallback = OnDroppedPath;
    m_list.SetConfig(config);
    // The main window is hidden meanwhile, so this centres on the screen.
    win::CenterWindow(m_hWnd);
    return TRUE;
}

bool CKavrinCreate::OnCommand(int id, int code, HWND control)
{
    switch (id) {
    case IDC_BROWSE:
        OnBrowse();
        return true;
    case IDC_ADD_FILE:
        OnAddFile();
        return true;
    case IDC_ADD_FOLDER:
        OnAddFolder();
        return true;
    case ID_FILES_DROPPED:
        OnFilesDropped();
        return true;
    case IDOK:
        OnCreateButton();
        return true;
    default:
        return win::CDialog::OnCommand(id, code, control);
    }
}

bool CKavrinCreate::OnNotify(NMHDR* header, LRESULT& result)
{
    if (header->idFrom != IDC_FILES || header->code != LVN_KEYDOWN)
        return false;
    OnListKeyDown(*reinterpret_cast<NMLVKEYDOWN*>(header));
    result = 0;
    return true;
}

HBRUSH CKavrinCreate::OnCtlColor(HDC dc, HWND, UINT message)
{
    if (message == WM_CTLCOLORSTATIC) {
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    }
    return static_cast<HBRUSH>(m_brush.Get());
}

bool CKavrinCreate::AddPathToList(CDropFileListCtrl& list, const std::wstring& path)
{
    // PathFileExistsW stops at MAX_PATH; the attributes answer at any length.
    const DWORD attributes = ::GetFileAttributesW(win::FileSystemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    std::wstring name, folder;
    CAppArgs::SplitLongPath(path, name, folder);

    // Rows of one name sit together in the sorted list: look at them all.
    LVFINDINFOW find{};
    find.flags = LVFI_STRING;
    find.psz = name.c_str();
    const int count = list.GetItemCount();
    for (int row = list.FindItem(-1, find); row >= 0 && row < count && list.GetItemText(row, 0) == name; ++row) {
        if (list.GetItemText(row, 1) == folder)
            return false;
    }

    SHFILEINFOW info{};
    const UINT iconFlags = SHGFI_ICON | SHGFI_SMALLICON;
    if (!::SHGetFileInfoW(path.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, iconFlags)) {
        // The shell finds no item for a path longer than MAX_PATH: the icon of its kind will do.
        const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        ::SHGetFileInfoW(name.c_str(), isFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                         iconFlags | SHGFI_USEFILEATTRIBUTES);
    }
    const win::CIcon icon(info.hIcon);

    // A drive root has no entry of its own (and no name).
    WIN32_FIND_DATAW data;
    if (!win::CFindHandle(::FindFirstFileW(win::FileSystemPath(path).c_str(), &data)))
        return false;

    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = 0;
    item.pszText = const_cast<wchar_t*>(name.c_str());
    item.iImage = ::ImageList_ReplaceIcon(list.GetImageList(LVSIL_SMALL), -1, icon.Get());
    const int row = list.InsertItem(item);
    if (row < 0)
        return false;
    list.SetItemText(row, 1, folder);
    return true;
}

int CKavrinCreate::OnDroppedPath(CDropFileListCtrl& list, std::wstring& path, int&)
{
    AddPathToList(list, std::wstring(path));
    return 0;
}

std::wstring CKavrinCreate::GetDefaultSfvName() const
{
    const std::wstring name = m_list.GetItemText(0, 0);
    const auto dot = name.find_last_of(L'.');
    return m_list.GetItemText(0, 1) + L"\\" + name.substr(0, dot) + L".sfv";
}

void CKavrinCreate::OnFilesDropped()
{
    if (!win::GetWindowTextString(m_editPath).empty())
        return;
    const int count = m_list.GetItemCount();
    if (count == 0)
        return;
    const std::wstring folder = m_list.GetItemText(0, 1);
    for (int row = 1; row < count; ++row) {
        if (::_wcsicmp(m_list.GetItemText(row, 1).c_str(), folder.c_str()) != 0) {
            SetText(m_editPath, GetDefaultSfvName());
            return;
        }
    }
    const std::wstring last = folder.substr(folder.find_last_of(L'\\') + 1);
    // All in a drive root: the root has no name to give the file, so the first row gives one.
    if (count == 1 || last.empty())
        SetText(m_editPath, GetDefaultSfvName());
    else
        SetText(m_editPath, folder + L"\\" + last + L".sfv");
}

void CKavrinCreate::OnListKeyDown(const NMLVKEYDOWN& key)
{
    if (key.wVKey != VK_DELETE && key.wVKey != VK_BACK)
        return;
    while (m_list.GetSelectedCount() > 0) {
        const int row = m_list.GetNextItem(-1, LVNI_SELECTED);
        if (row < 0 || !m_list.DeleteItem(row))
            break;
    }
}

void CKavrinCreate::OnAddFile()
{
    std::vector<wchar_t> buffer(kSelectionBuffer, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = L"All Files (*.*)\0*.*\0";
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = kSelectionBuffer;
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_PATHMUSTEXIST;
    if (!::GetOpenFileNameW(&ofn))
        return;
    // One file: its full path. Several: the folder, then each name, each ended by a NUL.
    const std::wstring first = buffer.data();
    const wchar_t* next = buffer.data() + first.size() + 1;
    if (*next == L'\0') {
        AddPathToList(m_list, first);
        return;
    }
    for (; *next; next += std::wcslen(next) + 1)
        AddPathToList(m_list, kavrin::JoinPath(first, next));
}

void CKavrinCreate::OnAddFolder()
{
    BROWSEINFOW info{};
    PIDLIST_ABSOLUTE item = ::SHBrowseForFolderW(&info);
    if (!item)
        return;
    // SHGetPathFromIDListW writes at most MAX_PATH characters; this name has no limit, and there
    // is none for an item outside the file system.
    wchar_t* path = nullptr;
    if (SUCCEEDED(::SHGetNameFromIDList(item, SIGDN_FILESYSPATH, &path)) && path && path[0])
        AddPathToList(m_list, path);
    ::CoTaskMemFree(path);
    ::CoTaskMemFree(item);
}

void CKavrinCreate::OnBrowse()
{
    std::vector<wchar_t> buffer(32768, L'\0');
    const std::wstring current = win::GetWindowTextString(m_editPath);
    if (!current.empty()) {
        std::wstring name, folder;
        m_pArgs->SplitLongPath(current, name, folder);
        name.copy(buffer.data(), buffer.size() - 1);
    }
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = L"Simple File Verificator (*.sfv)\0*.sfv\0All Files (*.*)\0*.*\0";
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrDefExt = L"sfv";
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (::GetSaveFileNameW(&ofn))
        SetText(m_editPath, buffer.data());
}

void CKavrinCreate::OnCreateButton()
{
    if (m_list.GetItemCount() == 0)
        return;
    if (win::GetWindowTextString(m_editPath).empty()) {
        ::MessageBoxW(m_hWnd, L"Please enter a file name for the SFV file", L"Kavrin", MB_OK);
        return;
    }
    const int result = RunCreation();
    if (result == 0) {
        ::MessageBoxW(m_hWnd, L"The SFV file was created successfully.", L"Kavrin", MB_OK);
        EndDialog(IDOK);
    } else if (result != kAborted) {
        ::MessageBoxW(m_hWnd,
                      L"An error occured while creating the SFV file!\n"
                      L"SFV may be corrupt or checksum for file may be missing.",
                      L"Kavrin", MB_OK | MB_ICONERROR);
    }
}

int CKavrinCreate::RunCreation()
{
    // The flag and the release event outlive both the run and the progress dialog: this frame
    // returns only after the run's thread has ended and the dialog is gone.
    std::atomic<bool> abort{false};
    const win::CHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CKavrinProgress progress;
    auto* run = new CCreateThread(this, &progress, abort, release.Get());
    if (!run->CreateThread()) {
        delete run;
        m_nRunResult = 1;
        return m_nRunResult;
    }
    const win::CHandle thread(run->DuplicateThreadHandle());
    bool started = false;
    // The run starts once the dialog's window and pause event exist, so nothing it reports is lost.
    progress.SetOnReady([&] {
        if (!started) {
            started = true;
            run->Resume();
        }
    });
    progress.DoModal(m_hWnd);
    if (!started) {
        abort = true;
        run->Resume();
    }
    if (::WaitForSingleObject(thread.Get(), 0) != WAIT_OBJECT_0) {
        // The dialog ended before the run did: stop the run, even a paused one.
        abort = true;
        ::SetEvent(release.Get());
    }
    win::PumpingWait(thread.Get(), INFINITE);
    return m_nRunResult;
}
