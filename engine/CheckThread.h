// The verification run: every row of the results list hashed and marked on a worker thread.
#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "engine/HashStream.h"
#include "win/Handle.h"
#include "win/WorkerThread.h"

class CKavrinDlg;
class CCheckThread;

// The current verification run, or null. Read and cleared on the user-interface thread.
extern std::atomic<CCheckThread*> g_pCheckThread;

// The window's controls and images a run works on. The run reaches them only through window
// messages, so a window that is gone costs a failed message, never a stale pointer.
struct CCheckTargets {
    HWND hDlg = nullptr;
    HWND hList = nullptr;
    HWND hFileBar = nullptr;
    HWND hFileLabel = nullptr;
    HWND hTotalLabel = nullptr;
    int nImageOk = 0;
    int nImageBad = 1;
};

// Rows handed to a run in one round trip to the window's thread: up to nMax rows from nFirst on,
// with the list's row count at that moment.
struct CCheckRowBatch {
    struct Row {
        std::wstring name;
        std::wstring checksum;
    };
    const CCheckTargets* pTargets = nullptr;
    int nFirst = 0;
    int nMax = 0;
    std::vector<Row> rows;
    int nCount = 0;
    bool bServed = false;
};

// A row the run has verified: its index and its new image.
struct CVerifiedRow {
    int nRow;
    int nImage;
};

class CCheckThread : public win::CWorkerThread {
public:
    // A run over the rows of dlg's list, resolving names against sfvFolder, waiting on a
    // duplicate of pauseEvent before every read.
    CCheckThread(CKavrinDlg* dlg, const CCheckTargets& targets, std::wstring sfvFolder, HANDLE pauseEvent);

    // Asks the run to stop before its next row or read.
    void SetAbort(bool value) { m_bAbort.store(value, std::memory_order_relaxed); }
    // Ends a wait on the pause event without setting that shared event.
    void Release() { ::SetEvent(m_hRelease.Get()); }
    // From now on the run sends nothing to the window; it only ends.
    void Detach();

    // The window's side of a row fetch, on the window's thread.
    static void ServeRows(CCheckRowBatch& batch);
    // The rows verified since the last call, in the order verified. The window takes them on a
    // timer and when the run ends, so what it shows never lags behind the run for long, whatever
    // the run is waiting for, and costs no round trip per row.
    std::vector<CVerifiedRow> TakeVerified();

    CKavrinDlg* m_pDlg;  // the window this run belongs to; compared on the UI thread only
    std::atomic<int> m_nOkCount{0};  // rows found intact; read by the window when the run ends

protected:
    bool InitInstance() override;
    int ExitInstance() override;

private:
    bool IsDetached() const { return m_bDetached.load(std::memory_order_acquire); }
    void SetTotalLabel(int done, int count) const;
    // Fetches the rows from first on; false when the window did not answer.
    bool FetchRows(CCheckRowBatch& batch, int first);

    CCheckTargets m_targets;
    std::wstring m_strFolder;
    win::CHandle m_hPause;
    win::CHandle m_hRelease;
    std::atomic<bool> m_bAbort{false};
    std::atomic<bool> m_bDetached{false};
    std::vector<std::uint8_t> m_buffer;
    std::mutex m_verifiedLock;  // guards m_verified
    std::vector<CVerifiedRow> m_verified;
};
