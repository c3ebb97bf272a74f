#include "TestSupport.h"

#include <shlobj.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "win/Handle.h"
#include "win/WideString.h"

namespace test {

namespace {

std::atomic<int> g_nFolderCounter{0};

void DeleteTree(const std::wstring& path)
{
    WIN32_FIND_DATAW data;
    win::CFindHandle find(::FindFirstFileW((path + L"\\*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(child);
            else
                ::DeleteFileW(child.c_str());
        } while (::FindNextFileW(find.Get(), &data));
    }
    find.Reset();
    ::RemoveDirectoryW(path.c_str());
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

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    const auto slash = path.find_last_of(L'\\');
    if (slash != std::wstring::npos)
        ::SHCreateDirectoryExW(nullptr, path.substr(0, slash).c_str(), nullptr);
    win::CFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (file && !bytes.empty())
        ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadFileBytes(const std::wstring& path)
{
    win::CFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
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

// Answerers by the thread they watch; hook procedures run on that thread.
std::mutex g_answerersMutex;
std::vector<CMessageBoxAnswerer*> g_answerers;

} // namespace

CMessageBoxAnswerer::CMessageBoxAnswerer(int button, DWORD threadId) : m_nButton(button), m_dwThreadId(threadId)
{
    {
        std::lock_guard<std::mutex> lock(g_answerersMutex);
        g_answerers.push_back(this);
    }
    m_hHook = ::SetWindowsHookExW(WH_CBT, CbtProc, nullptr, threadId);
}

CMessageBoxAnswerer::~CMessageBoxAnswerer()
{
    if (m_hHook)
        ::UnhookWindowsHookEx(m_hHook);
    std::lock_guard<std::mutex> lock(g_answerersMutex);
    g_answerers.erase(std::remove(g_answerers.begin(), g_answerers.end(), this), g_answerers.end());
}

std::vector<CMessageBoxAnswerer::CSeenBox> CMessageBoxAnswerer::Seen() const
{
    std::lock_guard<std::mutex> lock(g_answerersMutex);
    return m_seen;
}

namespace {

// Which of the system's message-box icons a box shows, as its MB_ICON* flag.
UINT ShownIcon(HWND box)
{
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            continue;
        const HICON shown = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        if (shown == ::LoadIconW(nullptr, IDI_HAND))
            return MB_ICONERROR;
        if (shown == ::LoadIconW(nullptr, IDI_QUESTION))
            return MB_ICONQUESTION;
        if (shown == ::LoadIconW(nullptr, IDI_EXCLAMATION))
            return MB_ICONWARNING;
        if (shown == ::LoadIconW(nullptr, IDI_ASTERISK))
            return MB_ICONINFORMATION;
    }
    return 0;
}

} // namespace

LRESULT CALLBACK CMessageBoxAnswerer::CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        ::GetClassNameW(box, className, 16);
        // Held throughout, so that the answerer cannot be destroyed meanwhile.
        std::lock_guard<std::mutex> lock(g_answerersMutex);
        for (CMessageBoxAnswerer* answerer : g_answerers) {
            if (answerer->m_dwThreadId != ::GetCurrentThreadId() || std::wstring(className) != L"#32770"
                || win::CDialog::FromHandle(box) != nullptr)
                continue;
            // A box can be activated more than once; answer it once.
            if (std::find(answerer->m_answered.begin(), answerer->m_answered.end(), box) != answerer->m_answered.end())
                continue;
            answerer->m_answered.push_back(box);
            CSeenBox seen{win::GetWindowTextString(box), win::GetWindowTextString(::GetDlgItem(box, 0xFFFF)),
                          ::GetWindow(box, GW_OWNER), {}, ShownIcon(box)};
            for (int button : {IDOK, IDCANCEL, IDYES, IDNO})
                if (::GetDlgItem(box, button))
                    seen.buttons.push_back(button);
            answerer->m_seen.push_back(seen);
            ::PostMessageW(::GetDlgItem(box, answerer->m_nButton), BM_CLICK, 0, 0);
            break;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::wstring ProductPath()
{
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.resize(path.find_last_of(L'\\') + 1);
    return path + KAVRIN_EXE_NAME_W;
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
    auto* out = reinterpret_cast<wchar_t*>(drop + 1);
    for (const auto& p : paths) {
        std::copy(p.begin(), p.end(), out);
        out += p.size() + 1;
    }
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

} // namespace test
