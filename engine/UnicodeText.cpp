#include "engine/UnicodeText.h"

namespace kavrin {

namespace {

constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

} // namespace

void AppendCodePoint(std::wstring& text, char32_t cp)
{
    if (kWideIsUtf16 && cp > 0xFFFF) {
        cp -= 0x10000;
        text.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
        text.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
        return;
    }
    text.push_back(static_cast<wchar_t>(cp));
}

char32_t NextCodePoint(std::wstring_view text, std::size_t& at)
{
    const char32_t unit = static_cast<char32_t>(text[at++]) & (kWideIsUtf16 ? 0xFFFFu : 0xFFFFFFFFu);
    if (kWideIsUtf16 && IsHighSurrogate(unit) && at < text.size()) {
        const char32_t low = static_cast<char32_t>(text[at]) & 0xFFFFu;
        if (IsLowSurrogate(low)) {
            ++at;
            return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return unit;
}

std::wstring WideFromUtf16(std::u16string_view units)
{
    std::wstring text;
    text.reserve(units.size());
    for (std::size_t at = 0; at < units.size(); ++at) {
        char32_t cp = units[at];
        if (IsHighSurrogate(cp) && at + 1 < units.size() && IsLowSurrogate(units[at + 1]))
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[++at] - 0xDC00);
        AppendCodePoint(text, cp);
    }
    return text;
}

bool DecodeUtf8Sequence(std::string_view bytes, std::size_t& at, char32_t& cp)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        cp = lead;
        ++at;
        return true;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        smallest = 0x10000;
    } else {
        return false;
    }
    if (bytes.size() - at < length)
        return false;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(at + i);
        if ((next & 0xC0) != 0x80)
            return false;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < smallest || !IsScalarValue(value))
        return false;
    cp = value;
    at += length;
    return true;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    const auto put = [&](char32_t b) { out.push_back(static_cast<char>(static_cast<unsigned char>(b))); };
    if (cp < 0x80) {
        put(cp);
    } else if (cp < 0x800) {
        put(0xC0 | (cp >> 6));
        put(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        put(0xE0 | (cp >> 12));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    } else {
        put(0xF0 | (cp >> 18));
        put(0x80 | ((cp >> 12) & 0x3F));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    }
}

} // namespace kavrin
