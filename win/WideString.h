// Wide-string helpers over the Win32 API.
#pragma once
#include <windows.h>

#include <string>

namespace win {

// printf-style formatting into a std::wstring; write wide strings as %ls.
std::wstring Format(const wchar_t* format, ...);

// The whole text of a window or control.
std::wstring GetWindowTextString(HWND hwnd);

// The system's message for an error code, without the trailing line break.
std::wstring ErrorText(DWORD error);

} // namespace win
