#include "create/CreateSupport.h"

#include <memory>

#include "res/resource.h"
#include "win/ListView.h"
#include "win/WideString.h"

namespace test {

const char kHeader[] = "; This file were created with Kavrin on 2006-05-04\r\n";

SYSTEMTIME May4th2006()
{
    SYSTEMTIME date{};
    date.wYear = 2006;
    date.wMonth = 5;
    date.wDay = 4;
    return date;
}

void PrintTo(const Row& row, std::ostream* out)
{
    *out << std::string(row.name.begin(), row.name.end()) << " in " << std::string(row.folder.begin(), row.folder.end());
}

std::vector<Row> Rows(HWND dialog)
{
    const win::CListView list(::GetDlgItem(dialog, IDC_FILES));
    std::vector<Row> rows;
    for (int i = 0; i < list.GetItemCount(); ++i)
        rows.push_back({list.GetItemText(i, 0), list.GetItemText(i, 1)});
    return rows;
}

void Drop(HWND dialog, const std::vector<std::wstring>& paths)
{
    ::SendMessageW(::GetDlgItem(dialog, IDC_FILES), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
}

CreateOutcome CreateSfv(CKavrinCreate& dialog, const std::vector<std::wstring>& drops, const wchar_t* sfvPath,
                        const std::function<void(HWND, HWND)>& onProgress)
{
    dialog.SetDateSource(May4th2006);
    CreateOutcome outcome;
    // The progress poll may outlive this call when no progress dialog ever shows.
    const auto alive = std::make_shared<bool>(true);
    CMessageBoxAnswerer answerer(IDOK, true);
    outcome.result = RunDialog(
        dialog,
        [&](HWND hwnd) {
            if (!drops.empty())
                Drop(hwnd, drops);
            if (sfvPath)
                ::SetDlgItemTextW(hwnd, IDC_SFV_PATH, sfvPath);
            RunLater(10, [&outcome, &onProgress, alive, hwnd, tries = 0]() mutable {
                if (!*alive)
                    return true;
                const HWND progress = FindOwnDialog(L"Progress");
                if (progress) {
                    outcome.sawProgress = true;
                    if (onProgress)
                        onProgress(progress, hwnd);
                }
                return progress != nullptr || ++tries > 200;
            });
            // The click returns once the run has ended and its message has been answered.
            ::SendMessageW(::GetDlgItem(hwnd, IDOK), BM_CLICK, 0, 0);
            outcome.boxes = answerer.Seen();
            outcome.rows = Rows(hwnd);
            outcome.path = ItemText(hwnd, IDC_SFV_PATH);
            const bool succeeded = !outcome.boxes.empty()
                                   && outcome.boxes.back().text == L"The SFV file was created successfully.";
            if (!succeeded)
                ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        },
        30000);
    *alive = false;
    return outcome;
}

CPauseEventLock::CPauseEventLock() : m_hMutex(::CreateMutexW(nullptr, FALSE, L"KavrinTestsPauseEventLock"))
{
    // Taken before any run of this process has started: nothing can be waiting for this thread.
    ::WaitForSingleObject(m_hMutex, 60000);
}

CPauseEventLock::~CPauseEventLock()
{
    ::ReleaseMutex(m_hMutex);
    ::CloseHandle(m_hMutex);
}

CHoldRuns::CHoldRuns() : m_hEvent(::CreateEventW(nullptr, TRUE, TRUE, L"KavrinCreateEvent"))
{
    ::ResetEvent(m_hEvent);
}

CHoldRuns::~CHoldRuns()
{
    Release();
    ::CloseHandle(m_hEvent);
}

void CHoldRuns::Release()
{
    ::SetEvent(m_hEvent);
}

namespace {

thread_local CTextWatcher* t_pWatcher = nullptr;

} // namespace

CTextWatcher::CTextWatcher(std::function<void(HWND, const std::wstring&)> onText) : m_onText(std::move(onText))
{
    t_pWatcher = this;
    m_hHook = ::SetWindowsHookExW(WH_CALLWNDPROC, Proc, nullptr, ::GetCurrentThreadId());
}

CTextWatcher::~CTextWatcher()
{
    ::UnhookWindowsHookEx(m_hHook);
    t_pWatcher = nullptr;
}

LRESULT CALLBACK CTextWatcher::Proc(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && t_pWatcher && message->message == WM_SETTEXT && message->lParam)
        t_pWatcher->m_onText(message->hwnd, reinterpret_cast<const wchar_t*>(message->lParam));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace test
