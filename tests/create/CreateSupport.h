// Driving the Create dialog through whole creation runs.
#pragma once
#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "create/KavrinCreate.h"

namespace test {

struct Row {
    std::wstring name, folder;
    bool operator==(const Row&) const = default;
};
void PrintTo(const Row& row, std::ostream* out);

// 4 May 2006, the date every run under test writes.
SYSTEMTIME May4th2006();

// The header line of that date, as bytes.
extern const char kHeader[];

// The rows of the Create dialog's list, top to bottom.
std::vector<Row> Rows(HWND dialog);

// Drops the paths on the Create dialog's list as the shell does.
void Drop(HWND dialog, const std::vector<std::wstring>& paths);

// What a Create press came to.
struct CreateOutcome {
    INT_PTR result = 0;
    std::vector<MessageBoxSeen> boxes;
    std::vector<Row> rows;  // after the run, when the dialog stayed open
    std::wstring path;      // the path field after the run
    bool sawProgress = false;
};

// Runs the Create dialog: drops the paths, sets the path field (unless null), presses Create and
// answers every message box; onProgress runs once on the progress dialog when it is up.
// A dialog still open afterwards is cancelled.
CreateOutcome CreateSfv(CKavrinCreate& dialog, const std::vector<std::wstring>& drops, const wchar_t* sfvPath,
                        const std::function<void(HWND progress, HWND create)>& onProgress = {});

// Owns, across the test processes that CTest runs side by side, the right to pause and release
// the shared pause event "KavrinCreateEvent", so one test's Continue never releases another's hold.
class CPauseEventLock {
public:
    CPauseEventLock();
    ~CPauseEventLock();
    CPauseEventLock(const CPauseEventLock&) = delete;
    CPauseEventLock& operator=(const CPauseEventLock&) = delete;

private:
    HANDLE m_hMutex;
};

// Holds every creation run at its next read through the shared pause event until released.
class CHoldRuns {
public:
    CHoldRuns();
    ~CHoldRuns();
    void Release();

private:
    CPauseEventLock m_lock;
    HANDLE m_hEvent;
};

// Calls onText(control, text) on this thread for every text set on a control of this thread.
class CTextWatcher {
public:
    explicit CTextWatcher(std::function<void(HWND, const std::wstring&)> onText);
    ~CTextWatcher();

private:
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam);
    HHOOK m_hHook;
    std::function<void(HWND, const std::wstring&)> m_onText;
};

} // namespace test
