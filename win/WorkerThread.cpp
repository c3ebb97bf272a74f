#include "win/WorkerThread.h"

namespace win {

CWorkerThread::~CWorkerThread()
{
    if (m_hThread)
        ::CloseHandle(m_hThread);
}

bool CWorkerThread::CreateThread()
{
    m_hThread = ::CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, nullptr);
    return m_hThread != nullptr;
}

HANDLE CWorkerThread::DuplicateThreadHandle() const
{
    HANDLE copy = nullptr;
    const HANDLE process = ::GetCurrentProcess();
    if (!::DuplicateHandle(process, m_hThread, process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return nullptr;
    return copy;
}

void CWorkerThread::Resume()
{
    ::ResumeThread(m_hThread);
}

DWORD WINAPI CWorkerThread::ThreadProc(void* param)
{
    auto* thread = static_cast<CWorkerThread*>(param);
    int code = 0;
    try {
        thread->InitInstance();
        code = thread->ExitInstance();
    } catch (...) {
        // Nothing may unwind out of a thread's start routine.
        code = -1;
    }
    delete thread;
    return static_cast<DWORD>(code);
}

} // namespace win
