#include "win/MessageWait.h"

namespace win {

bool WaitPumping(HANDLE handle, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    bool quit = false;
    int quitCode = 0;
    bool signalled = false;
    for (;;) {
        DWORD wait = INFINITE;
        if (timeoutMs != INFINITE) {
            const DWORD elapsed = ::GetTickCount() - start;
            if (elapsed >= timeoutMs)
                break;
            wait = timeoutMs - elapsed;
        }
        const DWORD result = ::MsgWaitForMultipleObjects(1, &handle, FALSE, wait, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) {
            signalled = true;
            break;
        }
        if (result != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(msg.wParam);
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (quit)
        ::PostQuitMessage(quitCode);
    return signalled;
}

} // namespace win
