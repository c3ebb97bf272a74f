#include "win/FilePath.h"

#include "engine/PathText.h"

namespace win {

std::wstring FullPathName(const std::wstring& path)
{
    if (path.empty())
        return path;
    std::wstring full;
    DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    // The answer can grow between the two calls when another thread changes the current directory.
    for (int attempt = 0; attempt < 4 && needed > 0; ++attempt) {
        full.assign(needed, L'\0');
        const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
        if (length == 0)
            break;
        if (length < needed) {
            full.resize(length);
            return full;
        }
        needed = length;
    }
    return path;
}

std::wstring FileSystemPath(const std::wstring& path)
{
    // A "\\?\" path reaches the file system as it is, with no trailing spaces or dots dropped:
    // the full path has them dropped already.
    return kavrin::ExtendedLengthForm(FullPathName(path));
}

} // namespace win
