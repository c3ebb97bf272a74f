// Writing SFV text: one fixed layout, every line ended by CR LF.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace kavrin {

// "; This file were created with Kavrin on 2006-05-04\n"
std::wstring SfvHeaderLine(int year, int month, int day);

// "%s %.8x\n": the path in SFV form, one space, the checksum.
std::wstring SfvEntryLine(std::wstring_view pathForm, std::uint32_t crc);

// Text to file bytes, one byte per character, each LF written as CR LF. False (and out left
// incomplete) when a character above U+00FF cannot be written in this encoding.
bool EncodeSfvText(std::wstring_view text, std::string& out);

// True when every character of text can be written by EncodeSfvText.
bool IsSfvEncodable(std::wstring_view text);

} // namespace kavrin
