#include "create/DropFileListCtrl.h"

#include <ole2.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>

#include "engine/PathText.h"
#include "res/resource.h"
#include "win/Com.h"
#include "win/DroppedFiles.h"
#include "win/FilePath.h"

namespace {

// The longest path the file functions take, terminator included.
constexpr int kMaxPathLength = 32768;

} // namespace

CDropFileListCtrl::CDropFileListCtrl()
{
    if (SUCCEEDED(::OleInitialize(nullptr)))
        m_bOleInitialized = true;
    else
        ::MessageBoxW(nullptr,
                      L"OLE initialization failed.\n\nMake sure that the OLE libraries are the correct version.",
                      L"Kavrin", MB_OK);
}

CDropFileListCtrl::~CDropFileListCtrl()
{
    if (m_bOleInitialized)
        ::OleUninitialize();
}

bool CDropFileListCtrl::SubclassWindow(HWND list)
{
    if (!m_dropHook.AttachTo(list))
        return false;
    Attach(list);
    ::DragAcceptFiles(list, TRUE);
    return true;
}

bool CDropFileListCtrl::SetConfig(const DropFileConfig& config)
{
    if ((config.nFlags & DFL_CALLBACK) && !config.pfnCallback)
        return false;
    m_nFlags = config.nFlags;
    m_strExtension = config.strExtension;
    m_pfnCallback = config.pfnCallback;
    return true;
}

void CDropFileListCtrl::OnDropFiles(HDROP drop)
{
    const UINT count = win::DroppedCount(drop);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path = win::DroppedPath(drop, i);
        const std::wstring target = ResolveShortcut(path);
        if (!target.empty())
            path = target;
        int kind = 0;
        if (!AcceptPath(path, kind))
            continue;
        if (m_nFlags & DFL_CALLBACK) {
            if (m_pfnCallback)
                m_pfnCallback(*this, path, kind);
        } else {
            AddDroppedPath(path);
        }
    }
    ::DragFinish(drop);
    if (m_pDlg && m_pDlg->GetSafeHwnd())
        ::SendMessageW(m_pDlg->GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(ID_FILES_DROPPED, 0), 0);
}

std::wstring CDropFileListCtrl::ResolveShortcut(const std::wstring& path)
{
    if (path.empty())
        return {};
    win::CComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.Put())))
        return {};
    win::CComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.Put())))
        return {};
    if (FAILED(file->Load(path.c_str(), STGM_READ)))
        return {};
    // GetPath cuts the target to the buffer and does not say so: room for the longest path.
    std::wstring target(kMaxPathLength, L'\0');
    WIN32_FIND_DATAW data{};
    link->GetPath(target.data(), kMaxPathLength, &data, SLGP_UNCPRIORITY);
    target.resize(std::wcslen(target.c_str()));
    return target;
}

bool CDropFileListCtrl::AcceptPath(const std::wstring& path, int& kind) const
{
    // _wstat64 stops at MAX_PATH; the attributes answer at any length. A name with wildcards
    // names no one item.
    if (kavrin::WithoutExtendedPrefix(path).find_first_of(L"*?") != std::wstring::npos)
        return false;
    const DWORD attributes = ::GetFileAttributesW(win::FileSystemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool device = (attributes & FILE_ATTRIBUTE_DEVICE) != 0;
    if ((m_nFlags & DFL_FOLDERS) && folder) {
        kind = DFK_FOLDER;
        return true;
    }
    if (!(m_nFlags & DFL_FILES) || folder || device)
        return false;
    kind = DFK_FILE;
    if (!(m_nFlags & DFL_FILTEREXT))
        return true;
    return ::_wcsicmp(::PathFindExtensionW(path.c_str()), m_strExtension.c_str()) == 0;
}

int CDropFileListCtrl::AddDroppedPath(const std::wstring& path)
{
    if (!(m_nFlags & DFL_ALLOWDUPLICATES)) {
        LVFINDINFOW find{};
        find.flags = LVFI_STRING;
        find.psz = path.c_str();
        if (FindItem(-1, find) >= 0)
            return -1;
    }
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = 0;
    item.pszText = const_cast<wchar_t*>(path.c_str());
    return InsertItem(item);
}
