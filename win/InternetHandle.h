// Move-only owner of WinINet handles (sessions, connections, requests).
#pragma once
#include <windows.h>
#include <wininet.h>

#include "win/Handle.h"

namespace win {

struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::InternetCloseHandle(h); }
};

// A WinINet handle; closing a session also closes what was opened through it.
using CInternetHandle = CUnique<InternetHandleTraits>;

} // namespace win
