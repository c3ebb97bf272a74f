// The size text: digits in groups of three with single spaces, then " kB", worth the size in
// kibibytes rounded up.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/SizeText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint64_t raw = 0;
    std::memcpy(&raw, data, size < sizeof raw ? size : sizeof raw);
    const auto bytes = static_cast<std::int64_t>(raw >> 1);  // file sizes are never negative
    const std::wstring text = kavrin::FormatSizeText(bytes);
    if (text.size() < 4 || text.compare(text.size() - 3, 3, L" kB") != 0)
        std::abort();
    const std::wstring number = text.substr(0, text.size() - 3);
    std::uint64_t value = 0;
    std::size_t groupLength = 0;
    for (std::size_t i = 0; i < number.size(); ++i) {
        const wchar_t c = number[i];
        if (c == L' ') {
            // A space only ever follows a group: the first of one to three digits, then threes.
            if (groupLength == 0 || groupLength > 3 || (i > groupLength && groupLength != 3))
                std::abort();
            if (number.size() - i - 1 < 3 || (number.size() - i - 1) % 4 != 3)
                std::abort();
            groupLength = 0;
            continue;
        }
        if (c < L'0' || c > L'9')
            std::abort();
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
        ++groupLength;
    }
    const auto expected = static_cast<std::uint64_t>(bytes / 1024 + (bytes % 1024 != 0));
    if (value != expected || (groupLength != 3 && number.size() > 3))
        std::abort();
    return 0;
}
