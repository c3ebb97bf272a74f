// Case-insensitive comparison of file-system text without a locale.
#pragma once
#include <string_view>

namespace kavrin {

// Upper case of one UTF-16 unit for the ASCII and Latin-1 letters; others unchanged.
wchar_t FoldCase(wchar_t c);

// Equal ignoring case of ASCII and Latin-1 letters.
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);

} // namespace kavrin
