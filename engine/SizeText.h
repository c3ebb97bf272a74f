// The "File Size" column's text.
#pragma once
#include <cstdint>
#include <string>

namespace kavrin {

// Kibibytes rounded up, digits grouped by three from the right with single spaces, then " kB":
// 0 -> "0 kB", 1025 -> "2 kB", 1048576 -> "1 024 kB".
std::wstring FormatSizeText(std::int64_t size);

} // namespace kavrin
