#include "TestSupport.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <ole2.h>

#include <atomic>
#include <map>
#include <vector>

#include "win/Com.h"
#include "win/FilePath.h"
#include "win/Handle.h"
#include "win/WideString.h"

namespace test {

namespace {

std::atomic<int> g_nFolderCounter{0};

void DeleteTree(const std::wstring& path)
{
    WIN32_FIND_DATAW data;
    win::CFindHandle find(::FindFirstFileW(win::FileSystemPath(path + L"\\*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            ::SetFileAttributesW(win::FileSystemPath(child).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(child);
            else
                ::DeleteFileW(win::FileSystemPath(child).c_str());
        } while (::FindNextFileW(find.Get(), &data));
    }
    find.Reset();
    ::RemoveDirectoryW(win::FileSystemPath(path).c_str());
}

} // namespace

CTempFolder::CTempFolder()
{
    wchar_t base[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH + 1, base);
    for (;;) {
        m_path = std::wstring(base) + L"kavrin-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-"
                 + std::to_wstring(g_nFolderCounter++);
        if (::CreateDirectoryW(m_path.c_str(), nullptr))
            break;
    }
    // Long form, so that comparisons with paths the program derives hold.
    wchar_t longPath[32768];
    if (::GetLongPathNameW(m_path.c_str(), longPath, 32768))
        m_path = longPath;
}

CTempFolder::~CTempFolder()
{
    DeleteTree(m_path);
}

void CreateFolders(const std::wstring& path)
{
    // One level at a time: SHCreateDirectoryExW stops at MAX_PATH.
    for (auto slash = path.find(L'\\', 3); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1))
        ::CreateDirectoryW(win::FileSystemPath(path.substr(0, slash)).c_str(), nullptr);
    ::CreateDirectoryW(win::FileSystemPath(path).c_str(), nullptr);
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    const auto slash = path.find_last_of(L'\\');
    if (slash != std::wstring::npos)
        CreateFolders(path.substr(0, slash));
    win::CFileHandle file(
        ::CreateFileW(win::FileSystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (file && !bytes.empty())
        ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadFileBytes(const std::wstring& path)
{
    win::CFileHandle file(::CreateFileW(win::FileSystemPath(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    if (!file)
        return bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

namespace {

struct DriveState {
    win::CDialog* dialog = nullptr;
    const std::function<void(HWND)>* drive = nullptr;
    bool started = false;
    bool timedOut = false;
    DWORD deadline = 0;
    UINT_PTR timer = 0;
};
thread_local DriveState* t_pDrive = nullptr;

void CALLBACK DriveTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    DriveState* state = t_pDrive;
    if (!state || id != state->timer)
        return;  // an outer dialog's timer firing inside a nested modal loop
    const HWND hwnd = state->dialog->GetSafeHwnd();
    if (!state->started && hwnd && ::IsWindowVisible(hwnd)) {
        state->started = true;
        (*state->drive)(hwnd);
        return;
    }
    if (static_cast<LONG>(::GetTickCount() - state->deadline) > 0 && hwnd) {
        ::KillTimer(nullptr, id);
        state->timedOut = true;
        state->dialog->EndDialog(IDABORT);
    }
}

} // namespace

INT_PTR RunDialog(win::CDialog& dialog, const std::function<void(HWND)>& drive, DWORD timeoutMs)
{
    DriveState state;
    state.dialog = &dialog;
    state.drive = &drive;
    state.deadline = ::GetTickCount() + timeoutMs;
    DriveState* outer = t_pDrive;
    t_pDrive = &state;
    state.timer = ::SetTimer(nullptr, 0, 20, DriveTimer);
    const INT_PTR result = dialog.DoModal(nullptr);
    ::KillTimer(nullptr, state.timer);
    t_pDrive = outer;
    return state.timedOut ? IDABORT : result;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

namespace {

thread_local std::map<UINT_PTR, std::pair<DWORD, std::function<bool()>>>* t_pLater = nullptr;

void CALLBACK LaterTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    if (!t_pLater)
        return;
    const auto it = t_pLater->find(id);
    if (it == t_pLater->end())
        return;
    auto entry = std::move(it->second);
    t_pLater->erase(it);
    if (!entry.second())
        (*t_pLater)[::SetTimer(nullptr, 0, entry.first, LaterTimer)] = std::move(entry);
}

} // namespace

void RunLater(DWORD delayMs, std::function<bool()> fn)
{
    if (!t_pLater)
        t_pLater = new std::map<UINT_PTR, std::pair<DWORD, std::function<bool()>>>;
    (*t_pLater)[::SetTimer(nullptr, 0, delayMs, LaterTimer)] = {delayMs, std::move(fn)};
}

std::wstring ProductPath()
{
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.resize(path.find_last_of(L'\\') + 1);
    return path + KAVRIN_EXE_NAME_W;
}

namespace {

thread_local CMessageBoxAnswerer* t_pAnswerer = nullptr;

bool IsMessageBox(HWND hwnd)
{
    wchar_t cls[16] = {};
    ::GetClassNameW(hwnd, cls, 16);
    // A message box has its text in control 0xFFFF; common dialogs share the class, not that.
    return std::wstring(cls) == L"#32770" && ::GetDlgItem(hwnd, 0xFFFF) != nullptr
           && win::CDialog::FromHandle(hwnd) == nullptr;
}

BOOL CALLBACK FindIconChild(HWND child, LPARAM param)
{
    wchar_t cls[16] = {};
    ::GetClassNameW(child, cls, 16);
    if (_wcsicmp(cls, L"Static") == 0 && (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HICON*>(param) = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

} // namespace

CMessageBoxAnswerer::CMessageBoxAnswerer(int button, bool otherThreadsToo) : m_nButton(button)
{
    ::InitializeCriticalSection(&m_lock);
    t_pAnswerer = this;
    m_hHook = ::SetWindowsHookExW(WH_CBT, CbtProc, nullptr, ::GetCurrentThreadId());
    if (otherThreadsToo) {
        m_hStop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_hPoller = ::CreateThread(nullptr, 0, PollProc, this, 0, nullptr);
    }
}

CMessageBoxAnswerer::~CMessageBoxAnswerer()
{
    if (m_hPoller) {
        ::SetEvent(m_hStop);
        ::WaitForSingleObject(m_hPoller, INFINITE);
        ::CloseHandle(m_hPoller);
        ::CloseHandle(m_hStop);
    }
    ::UnhookWindowsHookEx(m_hHook);
    t_pAnswerer = nullptr;
    ::DeleteCriticalSection(&m_lock);
}

std::vector<MessageBoxSeen> CMessageBoxAnswerer::Seen() const
{
    ::EnterCriticalSection(&m_lock);
    std::vector<MessageBoxSeen> copy = m_seen;
    ::LeaveCriticalSection(&m_lock);
    return copy;
}

LRESULT CALLBACK CMessageBoxAnswerer::CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    CMessageBoxAnswerer* self = t_pAnswerer;
    if (code == HCBT_ACTIVATE && self && IsMessageBox(reinterpret_cast<HWND>(wParam)))
        self->Answer(reinterpret_cast<HWND>(wParam));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void CMessageBoxAnswerer::Answer(HWND box)
{
    MessageBoxSeen seen;
    ::EnterCriticalSection(&m_lock);
    bool known = false;
    for (HWND h : m_answered)
        known = known || h == box;
    if (!known) {
        m_answered.push_back(box);
        seen.caption = win::GetWindowTextString(box);
        seen.text = win::GetWindowTextString(::GetDlgItem(box, 0xFFFF));
        ::EnumChildWindows(box, FindIconChild, reinterpret_cast<LPARAM>(&seen.icon));
        seen.owner = ::GetWindow(box, GW_OWNER);
        seen.threadId = ::GetWindowThreadProcessId(box, nullptr);
        for (int button : {IDOK, IDCANCEL, IDYES, IDNO})
            if (::GetDlgItem(box, button))
                seen.buttons.push_back(button);
        m_seen.push_back(seen);
    }
    ::LeaveCriticalSection(&m_lock);
    if (known)
        return;
    ::PostMessageW(::GetDlgItem(box, m_nButton), BM_CLICK, 0, 0);
    if (onShown && seen.threadId == ::GetCurrentThreadId())
        onShown(seen);
}

DWORD WINAPI CMessageBoxAnswerer::PollProc(void* param)
{
    auto* self = static_cast<CMessageBoxAnswerer*>(param);
    const DWORD pid = ::GetCurrentProcessId();
    while (::WaitForSingleObject(self->m_hStop, 20) == WAIT_TIMEOUT) {
        for (HWND h = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); h;
             h = ::FindWindowExW(nullptr, h, L"#32770", nullptr)) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(h, &owner);
            if (owner == pid && ::IsWindowVisible(h) && IsMessageBox(h))
                self->Answer(h);
        }
    }
    return 0;
}

HDROP MakeDrop(const std::vector<std::wstring>& paths)
{
    std::size_t chars = 1;
    for (const auto& p : paths)
        chars += p.size() + 1;
    const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(drop + 1);
    for (const auto& p : paths) {
        p.copy(text, p.size());
        text += p.size() + 1;
    }
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

bool MakeShortcut(const std::wstring& linkPath, const std::wstring& target)
{
    const win::COleInit ole;
    win::CComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.Put())))
        return false;
    if (FAILED(link->SetPath(target.c_str())))
        return false;
    win::CComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.Put())))
        return false;
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

std::wstring DeepFolder(const std::wstring& base, std::size_t length)
{
    std::wstring path = base;
    for (int level = 0; path.size() < length; ++level)
        path += L"\\" + std::to_wstring(level) + L" a folder name of some length to go deep quickly";
    return path;
}

bool MakeLinkInfoShortcut(const std::wstring& linkPath, const std::string& target)
{
    // The shell-link file format: a header, then a link-info block holding a volume record and
    // the target as a local base path, with an empty common path suffix.
    std::string link;
    const auto put = [&link](DWORD value) { link.append(reinterpret_cast<const char*>(&value), sizeof value); };
    const DWORD hasLinkInfo = 0x02, isUnicode = 0x80;
    put(0x4C);
    link.append(reinterpret_cast<const char*>(&CLSID_ShellLink), sizeof CLSID_ShellLink);
    put(hasLinkInfo | isUnicode);
    put(FILE_ATTRIBUTE_NORMAL);
    for (int i = 0; i < 7; ++i)
        put(0);  // three times, two DWORDs each, then the file size
    put(0);      // icon index
    put(SW_SHOWNORMAL);
    put(0);  // hot key and two reserved WORDs
    put(0);
    put(0);
    std::string volume;
    volume.append("\x11\0\0\0", 4);  // its size
    volume.append("\x03\0\0\0", 4);  // DRIVE_FIXED
    volume.append("\x34\x12\0\0", 4);  // serial number
    volume.append("\x10\0\0\0", 4);  // label offset
    volume.push_back('\0');           // empty label
    const DWORD headerSize = 0x1C;
    const DWORD pathOffset = headerSize + static_cast<DWORD>(volume.size());
    const DWORD suffixOffset = pathOffset + static_cast<DWORD>(target.size()) + 1;
    put(suffixOffset + 1);  // the block's size
    put(headerSize);
    put(1);  // VolumeIDAndLocalBasePath
    put(headerSize);
    put(pathOffset);
    put(0);  // no network location
    put(suffixOffset);
    link += volume;
    link += target;
    link.push_back('\0');
    link.push_back('\0');  // the empty suffix
    put(0);                 // no extra data
    WriteFileBytes(linkPath, link);
    return ReadFileBytes(linkPath) == link;
}

HWND FindOwnDialog(const wchar_t* caption)
{
    const DWORD pid = ::GetCurrentProcessId();
    for (HWND h = ::FindWindowExW(nullptr, nullptr, L"#32770", caption); h;
         h = ::FindWindowExW(nullptr, h, L"#32770", caption)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(h, &owner);
        if (owner == pid && ::IsWindowVisible(h))
            return h;
    }
    return nullptr;
}

std::wstring ItemText(HWND dialog, int id)
{
    return win::GetWindowTextString(::GetDlgItem(dialog, id));
}

} // namespace test
