#include "engine/CrcClmulCore.h"

namespace kavrin {

using namespace crcfold;

namespace {

#define KAVRIN_VPCLMUL512_INLINE inline __attribute__((always_inline, target(KAVRIN_VPCLMUL512_TARGET)))

KAVRIN_VPCLMUL512_INLINE __m512i Pair512(FoldPair k)
{
    return _mm512_set_epi64(static_cast<long long>(k.hi), static_cast<long long>(k.lo),
                            static_cast<long long>(k.hi), static_cast<long long>(k.lo),
                            static_cast<long long>(k.hi), static_cast<long long>(k.lo),
                            static_cast<long long>(k.hi), static_cast<long long>(k.lo));
}

KAVRIN_VPCLMUL512_INLINE __m512i Load512(const std::uint8_t* p)
{
    return _mm512_loadu_si512(p);
}

// Fold128 on all four 128-bit lanes; 0x96 makes the three-way exclusive or.
KAVRIN_VPCLMUL512_INLINE __m512i Fold512(__m512i z, __m512i k, __m512i data)
{
    return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(z, k, 0x00), _mm512_clmulepi64_epi128(z, k, 0x11),
                                     data, 0x96);
}

} // namespace

// Four 256-bit lanes over 128 bytes a step; shorter buffers take the 128-bit path.
__attribute__((target(KAVRIN_VPCLMUL256_TARGET))) KAVRIN_REALIGN_STACK std::uint32_t CrcUpdateVpclmul256(
    std::uint32_t state, const void* data, std::size_t len)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    if (len < 256)
        return Update128(state, p, len);
    __m256i y0 = _mm256_xor_si256(Load256(p), _mm256_set_epi32(0, 0, 0, 0, 0, 0, 0, static_cast<int>(state)));
    __m256i y1 = Load256(p + 32);
    __m256i y2 = Load256(p + 64);
    __m256i y3 = Load256(p + 96);
    p += 128;
    len -= 128;
    const __m256i k1024 = Pair256(kFold1024);
    for (; len >= 128; p += 128, len -= 128) {
        y0 = Fold256(y0, k1024, Load256(p));
        y1 = Fold256(y1, k1024, Load256(p + 32));
        y2 = Fold256(y2, k1024, Load256(p + 64));
        y3 = Fold256(y3, k1024, Load256(p + 96));
    }
    const __m256i k256 = Pair256(kFold256);
    __m256i y = Fold256(y0, k256, y1);
    y = Fold256(y, k256, y2);
    y = Fold256(y, k256, y3);
    for (; len >= 32; p += 32, len -= 32)
        y = Fold256(y, k256, Load256(p));
    const __m128i x = Narrow256(y);
    // Leave the 256-bit state clean before the 128-bit and table code that follows.
    _mm256_zeroupper();
    return Finish128(x, p, len);
}

// Four 512-bit lanes over 256 bytes a step; shorter buffers take the 256-bit path.
__attribute__((target(KAVRIN_VPCLMUL512_TARGET))) KAVRIN_REALIGN_STACK std::uint32_t CrcUpdateVpclmul512(
    std::uint32_t state, const void* data, std::size_t len)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    if (len < 512)
        return CrcUpdateVpclmul256(state, p, len);
    __m512i z0 = _mm512_xor_si512(Load512(p), _mm512_set_epi32(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                             static_cast<int>(state)));
    __m512i z1 = Load512(p + 64);
    __m512i z2 = Load512(p + 128);
    __m512i z3 = Load512(p + 192);
    p += 256;
    len -= 256;
    const __m512i k2048 = Pair512(kFold2048);
    for (; len >= 256; p += 256, len -= 256) {
        z0 = Fold512(z0, k2048, Load512(p));
        z1 = Fold512(z1, k2048, Load512(p + 64));
        z2 = Fold512(z2, k2048, Load512(p + 128));
        z3 = Fold512(z3, k2048, Load512(p + 192));
    }
    const __m512i k512 = Pair512(kFold512);
    __m512i z = Fold512(z0, k512, z1);
    z = Fold512(z, k512, z2);
    z = Fold512(z, k512, z3);
    for (; len >= 64; p += 64, len -= 64)
        z = Fold512(z, k512, Load512(p));
    // The first 256 bits moved by 256 onto the second half, then down to 128 bits.
    const __m256i y = Fold256(_mm512_castsi512_si256(z), Pair256(kFold256), _mm512_extracti64x4_epi64(z, 1));
    const __m128i x = Narrow256(y);
    _mm256_zeroupper();
    return Finish128(x, p, len);
}

} // namespace kavrin
