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

// Text to file bytes, each LF written as CR LF: one byte per character when every character is
// at most U+00FF, otherwise the whole text as UTF-8 without a byte-order mark. False (and out left
// incomplete) when the text holds a surrogate that is not part of a pair, which neither encoding
// can carry.
bool EncodeSfvText(std::wstring_view text, std::string& out);

// True when EncodeSfvText can write text: it holds no surrogate outside a pair.
bool IsSfvEncodable(std::wstring_view text);

} // namespace kavrin
