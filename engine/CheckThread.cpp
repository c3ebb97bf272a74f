#include "engine/CheckThread.h"

#include "app/AppMessages.h"
#include "engine/Crc32.h"
#include "engine/FileCrc.h"
#include "engine/PathText.h"
#include "engine/TextCase.h"
#include "win/ListView.h"
#include "win/ProgressBar.h"
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

bool CCheckThread::InitInstance()
{
    const win::CListView list(m_targets.hList);
    const win::CProgressBar totalBar(m_targets.hTotalBar);
    if (IsDetached())
        return true;
    SetTotalLabel(0, list.GetItemCount());
    if (list.GetItemCount() == 0)
        return true;

    const kavrin::CRunControl control(m_bAbort, m_hPause.Get(), m_hRelease.Get());
    kavrin::CFileProgressShown shown;
    for (int n = 0;; ++n) {
        if (m_bAbort.load(std::memory_order_relaxed) || IsDetached())
            break;
        const std::wstring name = list.GetItemText(n, 0);
        kavrin::CCheckHashObserver observer(control, m_targets.hFileBar, m_targets.hFileLabel, &shown);
        const kavrin::HashOutcome outcome = kavrin::ComputeFileCrc(
            kavrin::ResolveListedName(m_strFolder, name), FILE_SHARE_READ, observer, m_buffer.data());
        // A file that could not be read, or the abort, leaves the row as loading set it.
        if (outcome.status == kavrin::HashStatus::Ok && !IsDetached()) {
            const bool intact = kavrin::EqualsNoCase(kavrin::CrcText(outcome.crc), list.GetItemText(n, 2));
            list.SetItemImage(n, intact ? m_targets.nImageOk : m_targets.nImageBad);
            if (intact)
                ++m_nOkCount;
            SetTotalLabel(n + 1, list.GetItemCount());
            totalBar.SetPos(n + 1);
            list.EnsureVisible(n);
        }
        if (n + 1 >= list.GetItemCount())
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
