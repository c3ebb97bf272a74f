#include "win/PumpingWait.h"

namespace win {

bool PumpingWait(HANDLE handle, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        const DWORD left = elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
        const DWORD result = ::MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0)
            return true;
        if (result != WAIT_OBJECT_0 + 1)
            return false;
        // Peeking delivers the pending sent messages; nothing is taken from the queue.
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace win
