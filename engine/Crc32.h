// CRC-32 (IEEE 802.3 / ZIP / PNG): reflected, polynomial 0xEDB88320.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kavrin {

inline constexpr std::uint32_t kCrcPolynomial = 0xEDB88320u;
inline constexpr std::uint32_t kCrcInitial = 0xFFFFFFFFu;

// Entry i: eight rounds of "shift right, XOR the polynomial when the low bit was set".
constexpr std::array<std::uint32_t, 256> MakeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t v = i;
        for (int round = 0; round < 8; ++round)
            v = (v & 1u) ? (v >> 1) ^ kCrcPolynomial : v >> 1;
        table[i] = v;
    }
    return table;
}

inline constexpr std::array<std::uint32_t, 256> CrcTable = MakeCrcTable();

// One byte through the table: the definition every faster path must equal.
constexpr std::uint32_t CrcStep(std::uint32_t state, std::uint8_t byte)
{
    return CrcTable[(state ^ byte) & 0xFFu] ^ (state >> 8);
}

// Feeds len bytes into a running state (start from kCrcInitial), on the fastest path this
// processor offers (see CrcPaths.h); the result is always that of CrcStep byte by byte.
std::uint32_t CrcUpdate(std::uint32_t state, const void* data, std::size_t len);

// The checksum of a finished state.
constexpr std::uint32_t CrcFinal(std::uint32_t state) { return state ^ 0xFFFFFFFFu; }

// CRC-32 of a whole buffer.
std::uint32_t Crc32(const void* data, std::size_t len);

// Text form: "%.8x", eight lower-case hexadecimal digits with leading zeros.
std::wstring CrcText(std::uint32_t crc);

} // namespace kavrin
