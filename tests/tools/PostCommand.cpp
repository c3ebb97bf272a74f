// Posts a command to a top-level window found by its caption, as a user's click would send it.
// Used to stage screenshots: post-command.exe CAPTION COMMAND_ID [DELAY_MS]
#include <windows.h>

#include <cwchar>
#include <cstdlib>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    if (argc > 3)
        ::Sleep(static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
    HWND window = nullptr;
    for (int i = 0; i < 200 && !window; ++i) {
        window = ::FindWindowW(L"#32770", argv[1]);
        if (!window)
            ::Sleep(50);
    }
    if (!window)
        return 1;
    const auto id = static_cast<WORD>(std::wcstoul(argv[2], nullptr, 10));
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    return 0;
}
