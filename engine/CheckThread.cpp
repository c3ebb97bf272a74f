#include "engine/CheckThread.h"

#include "app/AppMessages.h"
#include "engine/Crc32.h"
#include "engine/FileCrc.h"
#include "engine/PathText.h"
#include "engine/TextCase.h"
#include "win/ListView.h"
#include "win/WideString.h"

std::atomic<CCheckThread*> g_pCheckThread{nullptr};

CCheckThread::CCheckThread(CKavrinDlg* dlg, const CCheckTargets& targets, std::wstring sfvFolder,
                           HANDLE pauseEvent)
    : m_pDlg(dlg),
      m_targets(targets),
      m_strFolder(std::move(sfvFolder)),
      m_hRelease(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_buffer(kavrin::kChunkSize)
{
    HANDLE copy = nullptr;
    const HANDLE process = ::GetCurrentProcess();
    if (pauseEvent && ::DuplicateHandle(process, pauseEvent, process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        m_hPause.Reset(copy);
}

void CCheckThread::Detach()
{
    m_bDetached.store(true, std::memory_order_release);
    SetAbort(true);
    Release();
}

void CCheckThread::SetTotalLabel(int done, int count) const
{
    ::SetWindowTextW(m_targets.hTotalLabel, win::Format(L"Total progress (%d of %d files)", done, count).c_str());
}

namespace {

// Rows fetched from the window in one round trip.
constexpr int kRowsPerFetch = 256;

} // namespace

void CCheckThread::ServeRows(CCheckRowBatch& batch)
{
    const win::CListView list(batch.pTargets->hList);
    batch.nCount = list.GetItemCount();
    batch.rows.clear();
    for (int n = batch.nFirst; n < batch.nCount && n < batch.nFirst + batch.nMax; ++n)
        batch.rows.push_back({list.GetItemText(n, 0), list.GetItemText(n, 2)});
    batch.bServed = true;
}

std::vector<CVerifiedRow> CCheckThread::TakeVerified()
{
    std::vector<CVerifiedRow> taken;
    const std::lock_guard<std::mutex> hold(m_verifiedLock);
    taken.swap(m_verified);
    return taken;
}

bool CCheckThread::FetchRows(CCheckRowBatch& batch, int first)
{
    batch.pTargets = &m_targets;
    batch.nFirst = first;
    batch.nMax = kRowsPerFetch;
    batch.bServed = false;
    if (IsDetached())
        return false;
    ::SendMessageW(m_targets.hDlg, kMsgCheckRows, 0, reinterpret_cast<LPARAM>(&batch));
    return batch.bServed;
}

bool CCheckThread::InitInstance()
{
    const win::CListView list(m_targets.hList);
    if (IsDetached())
        return true;
    SetTotalLabel(0, list.GetItemCount());
    CCheckRowBatch batch;
    if (!FetchRows(batch, 0) || batch.rows.empty())
        return true;

    const kavrin::CRunControl control(m_bAbort, m_hPause.Get(), m_hRelease.Get());
    kavrin::CFileProgressShown shown;
    for (int n = 0;; ++n) {
        if (m_bAbort.load(std::memory_order_relaxed) || IsDetached())
            break;
        if (n >= batch.nFirst + static_cast<int>(batch.rows.size()) && (!FetchRows(batch, n) || batch.rows.empty()))
            break;
        const CCheckRowBatch::Row& row = batch.rows[static_cast<std::size_t>(n - batch.nFirst)];
        kavrin::CCheckHashObserver observer(control, m_targets.hFileBar, m_targets.hFileLabel, &shown);
        const kavrin::HashOutcome outcome = kavrin::ComputeFileCrc(
            kavrin::ResolveListedName(m_strFolder, row.name), FILE_SHARE_READ, observer, m_buffer.data());
        // A file that could not be read, or the abort, leaves the row as loading set it.
        if (outcome.status == kavrin::HashStatus::Ok) {
            const bool intact = kavrin::EqualsNoCase(kavrin::CrcText(outcome.crc), row.checksum);
            if (intact)
                ++m_nOkCount;
            const std::lock_guard<std::mutex> hold(m_verifiedLock);
            m_verified.push_back({n, intact ? m_targets.nImageOk : m_targets.nImageBad});
        }
        if (n + 1 >= batch.nCount)
            break;
    }
    return true;
}

int CCheckThread::ExitInstance()
{
    // The window finishes the run on its own thread: buttons, the pause event, the summary.
    if (!IsDetached())
        ::SendMessageW(m_targets.hDlg, kMsgCheckEnded, 0, reinterpret_cast<LPARAM>(this));
    // If the window was gone before it could take note, nothing may point at this run.
    CCheckThread* self = this;
    g_pCheckThread.compare_exchange_strong(self, nullptr);
    return 0;
}
