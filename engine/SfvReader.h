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

// How the bytes of an SFV file are read.
enum class SfvEncoding {
    Latin1,   // one byte per character (ISO-8859-1)
    Utf8,     // marked by EF BB BF, or unmarked, valid and with a multi-byte sequence
    Utf16LE,  // marked by FF FE
    Utf16BE,  // marked by FE FF
};

// The encoding of bytes and the length of its byte-order mark (0 when unmarked). Without a mark,
// the text before the first 0x1A is UTF-8 when it is valid UTF-8 and holds at least one
// multi-byte sequence; anything else is one byte per character.
SfvEncoding DetectSfvEncoding(std::string_view bytes, std::size_t& markLength);

// Bytes to text in the detected encoding, the mark left out; CR LF becomes LF; U+001A ends the
// text. Invalid sequences in a marked UTF-8 text become U+FFFD; UTF-16 units pass unchanged.
std::wstring DecodeSfvBytes(std::string_view bytes);

// Splits decoded text into entries and comments.
SfvContent ParseSfvText(std::wstring_view text);

// DecodeSfvBytes then ParseSfvText.
SfvContent ReadSfv(std::string_view bytes);

// What is safe to read of a file whose reading failed part-way: the lines of bytes that end
// with a line feed; an unfinished last line is left out.
SfvContent ReadSfvCompleteLines(std::string_view bytes);

} // namespace kavrin
