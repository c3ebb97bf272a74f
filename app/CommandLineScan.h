// Which command-line argument names the SFV file to verify.
#pragma once
#include <string_view>

namespace kavrin {

// True when the last four characters (the whole text when shorter) are ".sfv", any case.
bool HasSfvExtension(std::wstring_view path);

// Index of the first argument, program path included, that HasSfvExtension; -1 when none or
// when argv is null.
int FindSfvArgument(const wchar_t* const* argv, int argc);

} // namespace kavrin
