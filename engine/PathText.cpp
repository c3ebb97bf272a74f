#include "engine/PathText.h"

namespace kavrin {

std::wstring FolderOfPath(std::wstring_view path)
{
    const auto slash = path.rfind(L'\\');
    if (slash == std::wstring_view::npos)
        return {};
    std::wstring folder(path.substr(0, slash));
    if (!folder.empty() && folder.back() == L':')
        folder += L'\\';
    return folder;
}

std::wstring ResolveListedName(std::wstring_view folder, std::wstring_view name)
{
    if (name.empty())
        return {};
    const bool hasDrive = name.size() >= 2 && name[1] == L':';
    const bool isUnc = name.size() >= 2 && name[0] == L'\\' && name[1] == L'\\';
    if (hasDrive || isUnc || folder.empty())
        return std::wstring(name);
    if (name[0] == L'\\') {
        // Rooted on the folder's drive.
        if (folder.size() >= 2 && folder[1] == L':')
            return std::wstring(folder.substr(0, 2)) + std::wstring(name);
        return std::wstring(name);
    }
    std::wstring path(folder);
    if (path.back() != L'\\')
        path += L'\\';
    path += name;
    return path;
}

} // namespace kavrin
