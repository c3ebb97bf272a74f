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

std::wstring ExtendedLengthForm(std::wstring_view fullPath)
{
    if (fullPath.size() < kClassicPathLimit)
        return std::wstring(fullPath);
    const bool hasDrive = fullPath.size() >= 3 && fullPath[1] == L':' && fullPath[2] == L'\\';
    const bool isUnc = fullPath.size() > 2 && fullPath[0] == L'\\' && fullPath[1] == L'\\'
                       && fullPath[2] != L'?' && fullPath[2] != L'.';
    if (hasDrive)
        return L"\\\\?\\" + std::wstring(fullPath);
    if (isUnc)
        return L"\\\\?\\UNC" + std::wstring(fullPath.substr(1));
    return std::wstring(fullPath);
}

std::wstring WithoutExtendedPrefix(std::wstring_view path)
{
    constexpr std::wstring_view kUnc = L"\\\\?\\UNC\\";
    constexpr std::wstring_view kPrefix = L"\\\\?\\";
    if (path.substr(0, kUnc.size()) == kUnc)
        return L"\\" + std::wstring(path.substr(kUnc.size() - 1));
    if (path.substr(0, kPrefix.size()) == kPrefix)
        return std::wstring(path.substr(kPrefix.size()));
    return std::wstring(path);
}

} // namespace kavrin
