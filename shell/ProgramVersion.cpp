// The program's own version text, from its version resource.
#include <windows.h>

#include <vector>

#include "app/AppArgs.h"
#include "win/ModulePath.h"
#include "win/WideString.h"

std::wstring CAppArgs::GetProgramVersion()
{
    const std::wstring path = win::GetModulePath();
    if (path.empty())
        return {};
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return {};
    std::vector<BYTE> info(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, info.data()))
        return {};
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed || length == 0)
        return {};
    return win::Format(L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                       HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
}
