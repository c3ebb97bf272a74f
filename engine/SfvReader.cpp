#include "engine/SfvReader.h"

namespace kavrin {

namespace {

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

std::wstring DecodeSfvBytes(std::string_view bytes)
{
    if (const auto eot = bytes.find('\x1A'); eot != std::string_view::npos)
        bytes = bytes.substr(0, eot);
    std::wstring text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        text.push_back(static_cast<wchar_t>(byte));
    }
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

std::string_view CompleteLines(std::string_view bytes)
{
    const auto lf = bytes.rfind('\n');
    return lf == std::string_view::npos ? std::string_view{} : bytes.substr(0, lf + 1);
}

} // namespace kavrin
