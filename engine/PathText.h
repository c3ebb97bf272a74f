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

// Paths shorter than this fit the file functions' classic buffers (MAX_PATH, terminator included).
inline constexpr std::size_t kClassicPathLimit = 260;

// The form of a full path that the file functions take at any length: unchanged when it is
// shorter than kClassicPathLimit; otherwise behind "\\?\" ("D:\x" as "\\?\D:\x", "\\srv\share\x"
// as "\\?\UNC\srv\share\x"). A path that has a prefix already, or is not full, stays as it is.
std::wstring ExtendedLengthForm(std::wstring_view fullPath);

// path without an extended-length prefix: "\\?\D:\x" gives "D:\x", "\\?\UNC\srv\x" gives "\\srv\x".
std::wstring WithoutExtendedPrefix(std::wstring_view path);

} // namespace kavrin
