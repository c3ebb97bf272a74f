#include "engine/SfvReader.h"

#include "engine/UnicodeText.h"

namespace kavrin {

namespace {

// The text of bytes in a one-byte or UTF-8 encoding: everything before the first 0x1A.
std::string_view BeforeEndOfText(std::string_view bytes)
{
    return bytes.substr(0, bytes.find('\x1A'));
}

bool IsTrimmed(wchar_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0xA0;
}

std::wstring_view Trim(std::wstring_view line)
{
    while (!line.empty() && IsTrimmed(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && IsTrimmed(line.back()))
        line.remove_suffix(1);
    return line;
}

void AddLine(std::wstring_view raw, SfvContent& content)
{
    // A NUL ends the line's text.
    if (const auto nul = raw.find(L'\0'); nul != std::wstring_view::npos)
        raw = raw.substr(0, nul);
    const std::wstring_view line = Trim(raw);
    if (!line.empty() && line.front() == L';') {
        if (!content.comments.empty())
            content.comments += L"\r\n";
        content.comments += line;
        return;
    }
    SfvEntry entry;
    const auto space = line.rfind(L' ');
    if (space == std::wstring_view::npos) {
        entry.checksum = line;
    } else {
        entry.name = line.substr(0, space);
        entry.checksum = line.substr(space + 1);
    }
    content.entries.push_back(std::move(entry));
}

} // namespace

SfvEncoding DetectSfvEncoding(std::string_view bytes, std::size_t& markLength)
{
    markLength = 0;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        markLength = 3;
        return SfvEncoding::Utf8;
    }
    if (bytes.substr(0, 2) == "\xFF\xFE") {
        markLength = 2;
        return SfvEncoding::Utf16LE;
    }
    if (bytes.substr(0, 2) == "\xFE\xFF") {
        markLength = 2;
        return SfvEncoding::Utf16BE;
    }
    bytes = BeforeEndOfText(bytes);
    bool multiByte = false;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t start = at;
        char32_t cp = 0;
        if (!DecodeUtf8Sequence(bytes, at, cp))
            return SfvEncoding::Latin1;
        multiByte = multiByte || at - start > 1;
    }
    return multiByte ? SfvEncoding::Utf8 : SfvEncoding::Latin1;
}

std::wstring DecodeSfvBytes(std::string_view bytes)
{
    std::size_t markLength = 0;
    const SfvEncoding encoding = DetectSfvEncoding(bytes, markLength);
    bytes.remove_prefix(markLength);
    std::wstring text;
    switch (encoding) {
    case SfvEncoding::Latin1:
        bytes = BeforeEndOfText(bytes);
        text.reserve(bytes.size());
        for (const char byte : bytes)
            text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
        break;
    case SfvEncoding::Utf8:
        bytes = BeforeEndOfText(bytes);
        text.reserve(bytes.size());
        for (std::size_t at = 0; at < bytes.size();) {
            char32_t cp = 0;
            if (!DecodeUtf8Sequence(bytes, at, cp)) {
                cp = 0xFFFD;
                ++at;
            }
            AppendCodePoint(text, cp);
        }
        break;
    case SfvEncoding::Utf16LE:
    case SfvEncoding::Utf16BE: {
        const bool little = encoding == SfvEncoding::Utf16LE;
        std::u16string units;
        units.reserve(bytes.size() / 2);
        // An odd last byte is half a unit: there is no character in it.
        for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
            const auto first = static_cast<unsigned char>(bytes[at]);
            const auto second = static_cast<unsigned char>(bytes[at + 1]);
            units.push_back(static_cast<char16_t>(little ? first | (second << 8) : (first << 8) | second));
        }
        text = WideFromUtf16(units);
        const auto end = text.find(L'\x1A');
        if (end != std::wstring::npos)
            text.resize(end);
        break;
    }
    }
    // CR LF reads as one line feed.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
            continue;
        text[kept++] = text[i];
    }
    text.resize(kept);
    return text;
}

SfvContent ParseSfvText(std::wstring_view text)
{
    SfvContent content;
    while (!text.empty()) {
        const auto lf = text.find(L'\n');
        if (lf == std::wstring_view::npos) {
            AddLine(text, content);
            break;
        }
        AddLine(text.substr(0, lf), content);
        text.remove_prefix(lf + 1);
    }
    return content;
}

SfvContent ReadSfv(std::string_view bytes)
{
    return ParseSfvText(DecodeSfvBytes(bytes));
}

SfvContent ReadSfvCompleteLines(std::string_view bytes)
{
    std::size_t markLength = 0;
    const SfvEncoding encoding = DetectSfvEncoding(bytes, markLength);
    if (encoding == SfvEncoding::Utf16LE || encoding == SfvEncoding::Utf16BE) {
        // A byte 0x0A can be half of any UTF-16 unit: the lines are found in the text.
        std::wstring text = DecodeSfvBytes(bytes);
        const auto lf = text.rfind(L'\n');
        text.resize(lf == std::wstring::npos ? 0 : lf + 1);
        return ParseSfvText(text);
    }
    // In UTF-8 and one byte per character, 0x0A is always a line feed of its own; cutting there
    // first also keeps an unfinished UTF-8 sequence at the end from changing the encoding.
    const auto lf = bytes.rfind('\n');
    return ReadSfv(lf == std::string_view::npos ? std::string_view{} : bytes.substr(0, lf + 1));
}

} // namespace kavrin
