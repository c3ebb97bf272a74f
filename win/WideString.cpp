#include "win/WideString.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

namespace win {

std::wstring Format(const wchar_t* format, ...)
{
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        const int n = _vsnwprintf(buffer.data(), buffer.size() - 1, format, args);
        va_end(args);
        if (n >= 0 && static_cast<std::size_t>(n) < buffer.size() - 1)
            return std::wstring(buffer.data(), static_cast<std::size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring GetWindowTextString(HWND hwnd)
{
    const int length = ::GetWindowTextLengthW(hwnd);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

std::wstring ErrorText(DWORD error)
{
    wchar_t* message = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::wstring text = length ? std::wstring(message, length) : Format(L"Error %lu", error);
    if (message)
        ::LocalFree(message);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text;
}

} // namespace win
