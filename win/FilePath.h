// Paths as the file functions take them, at any length.
#pragma once
#include <windows.h>

#include <string>

namespace win {

// The full path of path (GetFullPathNameW: made absolute against the current directory, "." and
// ".." applied, trailing spaces and dots of the last component dropped); path itself when that
// fails.
std::wstring FullPathName(const std::wstring& path);

// FullPathName(path) as the file functions take it at any length: behind "\\?\" once it is too
// long for MAX_PATH, unchanged otherwise.
std::wstring FileSystemPath(const std::wstring& path);

} // namespace win
