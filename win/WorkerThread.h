// Worker threads that run a start routine, then an end routine, then delete themselves.
#pragma once
#include <windows.h>

namespace win {

class CWorkerThread {
public:
    CWorkerThread() = default;
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Creates the thread suspended; false when that failed (the object is then still the
    // caller's to delete).
    bool CreateThread();
    // Lets the thread run. From then on the object belongs to its thread, which deletes it.
    void Resume();
    // A handle of the caller's own to the thread, for waiting on its end; take it before
    // Resume, since the object may be gone afterwards.
    HANDLE DuplicateThreadHandle() const;

protected:
    // Destroyed on the worker's own thread after ExitInstance.
    virtual ~CWorkerThread();
    // The thread's work. Its result is passed to ExitInstance.
    virtual bool InitInstance() = 0;
    // The end routine; its result becomes the thread's exit code.
    virtual int ExitInstance() { return 0; }

private:
    static DWORD WINAPI ThreadProc(void* param);

    HANDLE m_hThread = nullptr;
};

} // namespace win
