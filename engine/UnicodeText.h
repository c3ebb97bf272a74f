// Code points in wide strings and UTF-8 bytes, whatever the width of wchar_t (16 bits on Windows,
// where characters above U+FFFF take a surrogate pair; 32 bits elsewhere).
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace kavrin {

// Whether cp is a Unicode scalar value: at most U+10FFFF and not a surrogate.
constexpr bool IsScalarValue(char32_t cp)
{
    return cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
}

// Appends cp to text: one unit, or a surrogate pair where wchar_t has 16 bits.
void AppendCodePoint(std::wstring& text, char32_t cp);

// The code point that starts at text[at], and at moved past it. A surrogate that is not part of
// a pair is returned as it is (it is not a scalar value).
char32_t NextCodePoint(std::wstring_view text, std::size_t& at);

// UTF-16 units as a wide string: unchanged where wchar_t has 16 bits; elsewhere each surrogate
// pair becomes one character and a lone surrogate stays as it is.
std::wstring WideFromUtf16(std::u16string_view units);

// Decodes one well-formed UTF-8 sequence at bytes[at] into cp and moves at past it; false (at
// unchanged) when the bytes there are not one: a stray or missing continuation byte, an overlong
// form, a surrogate, or a value above U+10FFFF.
bool DecodeUtf8Sequence(std::string_view bytes, std::size_t& at, char32_t& cp);

// Appends the UTF-8 form of the scalar value cp to out.
void AppendUtf8(std::string& out, char32_t cp);

} // namespace kavrin
