// Text rules for folders and listed names (no file-system access).
#pragma once
#include <string>
#include <string_view>

namespace kavrin {

// The folder of a full path: everything before its last backslash, with a backslash added
// after a drive's colon ("D:\x.sfv" -> "D:\"). Empty when the path has no backslash.
std::wstring FolderOfPath(std::wstring_view path);

// The path a name listed in an SFV file stands for: absolute names ("D:\...", "\\server\...")
// as they are, names rooted at "\" on the folder's drive, others inside the folder.
// An empty name stays empty (it names no file).
std::wstring ResolveListedName(std::wstring_view folder, std::wstring_view name);

} // namespace kavrin
