// The constants of the carry-less-multiply CRC-32 kernels, derived at compile time from the same
// polynomial as CrcTable. Register convention of the kernels (the reflected bit order of the
// byte stream): bit j of a 128-bit register loaded from 16 message bytes is the coefficient of
// x^(127-j), so the first bit of the stream is the highest power.
#pragma once
#include <cstdint>

#include "engine/Crc32.h"

namespace kavrin::crcfold {

// Bits 0..31 reversed.
constexpr std::uint32_t Reverse32(std::uint32_t v)
{
    std::uint32_t r = 0;
    for (int i = 0; i < 32; ++i)
        r |= ((v >> i) & 1u) << (31 - i);
    return r;
}

// The generator in ordinary bit order, x^32 included (0x104C11DB7).
inline constexpr std::uint64_t kPolyNormal = (std::uint64_t{1} << 32) | Reverse32(kCrcPolynomial);

// (a * b) mod P for a and b of degree below 32, ordinary bit order.
constexpr std::uint32_t MulMod(std::uint32_t a, std::uint32_t b)
{
    std::uint64_t product = 0;
    for (int i = 0; i < 32; ++i)
        if ((b >> i) & 1u)
            product ^= std::uint64_t{a} << i;
    for (int bit = 63; bit >= 32; --bit)
        if ((product >> bit) & 1u)
            product ^= kPolyNormal << (bit - 32);
    return static_cast<std::uint32_t>(product);
}

// x^n mod P by square-and-multiply, returned in the reflected form of CRC states (bit i is the
// coefficient of x^(31-i)).
constexpr std::uint32_t XPowMod(unsigned n)
{
    std::uint32_t result = 1;  // x^0
    std::uint32_t square = 2;  // x^1
    for (; n != 0; n >>= 1) {
        if (n & 1u)
            result = MulMod(result, square);
        square = MulMod(square, square);
    }
    return Reverse32(result);
}

// A multiplier for PCLMULQDQ: x^n mod P in a 33-bit reflected field (bit i is the coefficient of
// x^(32-i)). Multiplying a 64-bit half of a register by it gives that half times x^(n-32), laid
// out again as a register.
constexpr std::uint64_t FoldConstant(unsigned n)
{
    return std::uint64_t{XPowMod(n)} << 1;
}

// Multipliers that move a 128-bit register forward by `distance` bits: low half, high half.
struct FoldPair {
    std::uint64_t lo;
    std::uint64_t hi;
};
constexpr FoldPair FoldBy(unsigned distance)
{
    return {FoldConstant(distance + 32), FoldConstant(distance - 32)};
}

// floor(x^64 / P) by long division, ordinary bit order (33 bits).
constexpr std::uint64_t BarrettQuotientNormal()
{
    // Dividend x^64 as bits 64..0: remainder kept in 65 bits via a two-word shift.
    std::uint64_t quotient = 0;
    std::uint64_t rem = 0;  // holds the top 33 bits of the running remainder
    for (int bit = 64; bit >= 0; --bit) {
        rem = (rem << 1) | (bit == 64 ? 1u : 0u);
        quotient <<= 1;
        if ((rem >> 32) & 1u) {
            rem ^= kPolyNormal;
            quotient |= 1u;
        }
    }
    return quotient;
}

// A 33-bit value in reflected order (bit i becomes bit 32-i).
constexpr std::uint64_t Reverse33(std::uint64_t v)
{
    std::uint64_t r = 0;
    for (int i = 0; i < 33; ++i)
        r |= ((v >> i) & 1u) << (32 - i);
    return r;
}

// Barrett reduction of a 64-bit remainder: the quotient floor(x^64 / P) and P itself, both as
// 33-bit reflected fields.
inline constexpr std::uint64_t kBarrettMu = Reverse33(BarrettQuotientNormal());
inline constexpr std::uint64_t kPolyReflected33 = Reverse33(kPolyNormal);

// Folding distances used by the kernels, in bits.
inline constexpr FoldPair kFold128 = FoldBy(128);    // one 16-byte block
inline constexpr FoldPair kFold256 = FoldBy(256);    // one 32-byte block
inline constexpr FoldPair kFold512 = FoldBy(512);    // four 16-byte lanes, or one 64-byte block
inline constexpr FoldPair kFold1024 = FoldBy(1024);  // four 32-byte lanes
inline constexpr FoldPair kFold2048 = FoldBy(2048);  // four 64-byte lanes
// The last two reduction steps: 128 bits to 96, then 96 to 64.
inline constexpr std::uint64_t kReduce96 = FoldConstant(96);
inline constexpr std::uint64_t kReduce64 = FoldConstant(64);

} // namespace kavrin::crcfold
