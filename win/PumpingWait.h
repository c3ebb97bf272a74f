// Waiting on the user-interface thread without blocking workers that send it messages.
#pragma once
#include <windows.h>

namespace win {

// Waits until handle is signalled or timeoutMs passes, meanwhile handling messages that other
// threads send to this thread (but no posted input, so no handler is re-entered by the user).
// True when the handle was signalled.
bool PumpingWait(HANDLE handle, DWORD timeoutMs);

} // namespace win
