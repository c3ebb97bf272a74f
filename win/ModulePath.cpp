#include "win/ModulePath.h"

namespace win {

std::wstring GetModulePath(HMODULE module)
{
    // GetModuleFileNameW cuts a long path to the buffer and says so only through the length.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
}

} // namespace win
