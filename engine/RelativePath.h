// Paths of listed files as an SFV file writes them.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace kavrin {

// Relative path from folder `from` to folder `to`, both absolute, backslash-separated:
// D:\data -> D:\data\sub\deep gives ".\sub\deep"; D:\a\b -> D:\x\y gives "..\..\x\y".
// None when the two do not share a root (drive, or server and share); there is no length limit.
std::optional<std::wstring> RelativeFolderPath(std::wstring_view from, std::wstring_view to);

// The path of file `name` in folder `fileFolder` as written into an SFV file kept in `sfvFolder`:
// the bare name in the same folder (behind ".\" when it begins with ";" or a space), else a
// relative path, else the absolute folder.
std::wstring SfvPathForm(std::wstring_view sfvFolder, std::wstring_view fileFolder,
                         std::wstring_view name);

} // namespace kavrin
