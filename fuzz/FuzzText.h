// Turning fuzzer bytes into the texts the targets take.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// Splits the input at 0xFF bytes into up to `count` wide texts (each byte one character, with
// 0xFE standing for a backslash so that paths come up often).
inline std::vector<std::wstring> SplitTexts(const std::uint8_t* data, std::size_t size, std::size_t count)
{
    std::vector<std::wstring> texts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && texts.size() < count) {
            texts.emplace_back();
            continue;
        }
        texts.back().push_back(data[i] == 0xFE ? L'\\' : static_cast<wchar_t>(data[i]));
    }
    texts.resize(count);
    return texts;
}

} // namespace fuzz
