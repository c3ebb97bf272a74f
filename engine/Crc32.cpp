#include "engine/Crc32.h"

#include "engine/CrcPaths.h"

namespace kavrin {

static_assert(CrcTable[1] == 0x77073096u && CrcTable[255] == 0x2D02EF8Du);

std::uint32_t CrcUpdate(std::uint32_t state, const void* data, std::size_t len)
{
    static const CrcPath path = ActiveCrcPath();
    return CrcUpdateOn(path, state, data, len);
}

std::uint32_t Crc32(const void* data, std::size_t len)
{
    return CrcFinal(CrcUpdate(kCrcInitial, data, len));
}

std::wstring CrcText(std::uint32_t crc)
{
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text(8, L'0');
    for (int i = 7; i >= 0; --i, crc >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[crc & 0xFu];
    return text;
}

} // namespace kavrin
