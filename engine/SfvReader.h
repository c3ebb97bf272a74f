// Reading SFV text: lenient, line based.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kavrin {

struct SfvEntry {
    std::wstring name;      // everything before the last space; empty when the line has none
    std::wstring checksum;  // everything after the last space, kept as text
};

struct SfvContent {
    std::vector<SfvEntry> entries;  // in file order
    std::wstring comments;          // comment lines joined by CR LF
};

// Bytes to text, one byte per character (ISO-8859-1); CR LF becomes LF; 0x1A ends the text.
std::wstring DecodeSfvBytes(std::string_view bytes);

// Splits decoded text into entries and comments.
SfvContent ParseSfvText(std::wstring_view text);

// DecodeSfvBytes then ParseSfvText.
SfvContent ReadSfv(std::string_view bytes);

// The part of bytes that ends with the last line feed: what is safe to read when the rest of
// the file could not be.
std::string_view CompleteLines(std::string_view bytes);

} // namespace kavrin
