#include "engine/RelativePath.h"

#include <vector>

#include "engine/TextCase.h"

namespace kavrin {

namespace {

struct SplitPath {
    std::wstring_view root;  // "D:" or "\\server\share"; empty when the path has no root
    std::vector<std::wstring_view> components;
};

std::vector<std::wstring_view> Components(std::wstring_view rest)
{
    std::vector<std::wstring_view> parts;
    while (!rest.empty()) {
        const auto slash = rest.find(L'\\');
        const auto part = rest.substr(0, slash);
        if (!part.empty())
            parts.push_back(part);
        if (slash == std::wstring_view::npos)
            break;
        rest.remove_prefix(slash + 1);
    }
    return parts;
}

SplitPath Split(std::wstring_view path)
{
    SplitPath split;
    if (path.size() >= 2 && path[1] == L':') {
        split.root = path.substr(0, 2);
        split.components = Components(path.substr(2));
    } else if (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\') {
        auto parts = Components(path.substr(2));
        if (parts.size() < 2)
            return {};
        // The root runs from the leading backslashes to the end of the share's name.
        const auto shareEnd = static_cast<std::size_t>(parts[1].data() + parts[1].size() - path.data());
        split.root = path.substr(0, shareEnd);
        split.components.assign(parts.begin() + 2, parts.end());
    }
    return split;
}

} // namespace

std::optional<std::wstring> RelativeFolderPath(std::wstring_view from, std::wstring_view to)
{
    const SplitPath a = Split(from);
    const SplitPath b = Split(to);
    if (a.root.empty() || b.root.empty() || !EqualsNoCase(a.root, b.root))
        return std::nullopt;

    std::size_t common = 0;
    while (common < a.components.size() && common < b.components.size()
           && EqualsNoCase(a.components[common], b.components[common]))
        ++common;

    std::wstring result;
    if (common == a.components.size()) {
        result = L".";
    } else {
        for (std::size_t i = common; i < a.components.size(); ++i) {
            if (i > common)
                result += L'\\';
            result += L"..";
        }
    }
    for (std::size_t i = common; i < b.components.size(); ++i) {
        result += L'\\';
        result += b.components[i];
    }
    return result;
}

std::wstring SfvPathForm(std::wstring_view sfvFolder, std::wstring_view fileFolder,
                         std::wstring_view name)
{
    std::wstring path;
    if (EqualsNoCase(fileFolder, sfvFolder)) {
        // A line that begins with ";" reads back as a comment, and leading spaces are trimmed
        // away: such a name keeps its meaning behind ".\".
        if (!name.empty() && (name.front() == L';' || name.front() == L' '))
            path = L".\\";
        path += name;
        return path;
    }
    if (auto relative = RelativeFolderPath(sfvFolder, fileFolder))
        path = std::move(*relative);
    else
        path = fileFolder;
    // A drive root already ends with its backslash.
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    path += name;
    return path;
}

} // namespace kavrin
