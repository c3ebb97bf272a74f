// Waiting on the user-interface thread without blocking the messages a worker may send it.
#pragma once
#include <windows.h>

namespace win {

// Waits until handle is signalled or timeoutMs has passed, dispatching this thread's messages
// meanwhile (sent messages included). True when the handle was signalled. A WM_QUIT taken from
// the queue is posted again for the caller's loop.
bool WaitPumping(HANDLE handle, DWORD timeoutMs = INFINITE);

} // namespace win
