#include "engine/SfvWriter.h"

#include <cwchar>

#include "engine/Crc32.h"
#include "engine/UnicodeText.h"

namespace kavrin {

std::wstring SfvHeaderLine(int year, int month, int day)
{
    wchar_t line[96];
    std::swprintf(line, sizeof line / sizeof line[0],
                  L"; This file were created with %ls on %.4d-%.2d-%.2d\n", L"Kavrin", year, month,
                  day);
    return line;
}

std::wstring SfvEntryLine(std::wstring_view pathForm, std::uint32_t crc)
{
    std::wstring line(pathForm);
    line += L' ';
    line += CrcText(crc);
    line += L'\n';
    return line;
}

bool IsSfvEncodable(std::wstring_view text)
{
    for (std::size_t at = 0; at < text.size();)
        if (!IsScalarValue(NextCodePoint(text, at)))
            return false;
    return true;
}

bool EncodeSfvText(std::wstring_view text, std::string& out)
{
    out.clear();
    out.reserve(text.size() + text.size() / 16);
    bool oneByte = true;
    for (const wchar_t c : text)
        oneByte = oneByte && static_cast<std::uint32_t>(c) <= 0xFF;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t cp = NextCodePoint(text, at);
        if (cp == U'\n')
            out.push_back('\r');
        if (oneByte) {
            out.push_back(static_cast<char>(static_cast<unsigned char>(cp)));
        } else {
            if (!IsScalarValue(cp))
                return false;
            AppendUtf8(out, cp);
        }
    }
    return true;
}

} // namespace kavrin
