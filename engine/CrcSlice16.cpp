#include <array>

#include "engine/Crc32.h"
#include "engine/CrcKernels.h"

namespace kavrin {

namespace {

// Table k holds the state change of a byte followed by k zero bytes, so sixteen lookups
// advance the state by sixteen bytes.
using SliceTables = std::array<std::array<std::uint32_t, 256>, 16>;

constexpr SliceTables MakeSliceTables()
{
    SliceTables tables{};
    tables[0] = CrcTable;
    for (std::size_t k = 1; k < 16; ++k)
        for (std::size_t i = 0; i < 256; ++i) {
            const std::uint32_t prev = tables[k - 1][i];
            tables[k][i] = (prev >> 8) ^ CrcTable[prev & 0xFFu];
        }
    return tables;
}

constexpr SliceTables kSlice = MakeSliceTables();

inline std::uint32_t LoadLe32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

inline std::uint32_t Lookup4(std::size_t first, std::uint32_t word)
{
    return kSlice[first][word & 0xFFu] ^ kSlice[first - 1][(word >> 8) & 0xFFu] ^
           kSlice[first - 2][(word >> 16) & 0xFFu] ^ kSlice[first - 3][word >> 24];
}

} // namespace

std::uint32_t CrcUpdateTable(std::uint32_t state, const void* data, std::size_t len)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < len; ++i)
        state = CrcStep(state, p[i]);
    return state;
}

std::uint32_t CrcUpdateSlice16(std::uint32_t state, const void* data, std::size_t len)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (; len >= 16; p += 16, len -= 16) {
        state = Lookup4(15, LoadLe32(p) ^ state) ^ Lookup4(11, LoadLe32(p + 4)) ^
                Lookup4(7, LoadLe32(p + 8)) ^ Lookup4(3, LoadLe32(p + 12));
    }
    return CrcUpdateTable(state, p, len);
}

} // namespace kavrin
