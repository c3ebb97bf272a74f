#include "engine/SizeText.h"

#include <string>

namespace kavrin {

std::wstring FormatSizeText(std::int64_t size)
{
    std::int64_t kib = size / 1024;
    if (size % 1024 != 0)
        ++kib;
    const std::wstring digits = std::to_wstring(kib);

    std::wstring text;
    std::size_t pos = digits.size() % 3;
    if (pos != 0)
        text.append(digits, 0, pos).push_back(L' ');
    for (; pos < digits.size(); pos += 3)
        text.append(digits, pos, 3).push_back(L' ');
    text += L"kB";
    return text;
}

} // namespace kavrin
