// Building blocks of the carry-less-multiply kernels, shared by the 128-, 256- and 512-bit paths.
// Each block is compiled for the instructions named in its attribute and inlined into a kernel
// whose attribute includes them, so the rest of the program stays built for a baseline CPU.
#pragma once
// GCC 12 warns inside its own AVX-512 header about the bits its intrinsics leave undefined on
// purpose (_mm512_undefined_*), wherever they are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#else
#include <immintrin.h>
#endif

#include <cstddef>
#include <cstdint>

#include "engine/CrcFoldConstants.h"
#include "engine/CrcKernels.h"

#define KAVRIN_CLMUL_TARGET "sse2,sse4.1,pclmul"
#define KAVRIN_VPCLMUL256_TARGET KAVRIN_CLMUL_TARGET ",avx,avx2,vpclmulqdq"
#define KAVRIN_VPCLMUL512_TARGET KAVRIN_VPCLMUL256_TARGET ",avx512f"

#define KAVRIN_CLMUL_INLINE static inline __attribute__((always_inline, target(KAVRIN_CLMUL_TARGET)))
#define KAVRIN_VPCLMUL256_INLINE \
    static inline __attribute__((always_inline, target(KAVRIN_VPCLMUL256_TARGET)))

// Entry points of the kernels. On 32-bit Windows the stack is only 4-byte aligned on entry, while
// GCC assumes 16 bytes and spills vector registers with aligned moves: realign it on entry.
#if defined(__i386__)
#define KAVRIN_REALIGN_STACK __attribute__((force_align_arg_pointer))
#else
#define KAVRIN_REALIGN_STACK
#endif

namespace kavrin::crcfold {

KAVRIN_CLMUL_INLINE __m128i Pair128(std::uint64_t lo, std::uint64_t hi)
{
    return _mm_set_epi32(static_cast<int>(hi >> 32), static_cast<int>(hi), static_cast<int>(lo >> 32),
                         static_cast<int>(lo));
}

KAVRIN_CLMUL_INLINE __m128i Pair128(FoldPair k)
{
    return Pair128(k.lo, k.hi);
}

KAVRIN_CLMUL_INLINE __m128i Load128(const std::uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// x moved forward by the distance k was made for, plus the block found there.
KAVRIN_CLMUL_INLINE __m128i Fold128(__m128i x, __m128i k, __m128i data)
{
    const __m128i lo = _mm_clmulepi64_si128(x, k, 0x00);
    const __m128i hi = _mm_clmulepi64_si128(x, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(lo, hi), data);
}

// The CRC state of a message whose remaining bits, modulo P, are the register x: x * x^32 mod P.
KAVRIN_CLMUL_INLINE std::uint32_t Reduce128(__m128i x)
{
    const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);
    const __m128i k = Pair128(kReduce96, kReduce64);
    // 128 to 96 bits: the first half times x^96 mod P, plus the second half.
    const __m128i v = _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_srli_si128(x, 8));
    // 96 to 64 bits: the first 32 bits times x^64 mod P, plus the rest.
    const __m128i w = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(v, low32), k, 0x10), _mm_srli_si128(v, 4));
    // Barrett: q = floor(w / P) from the first 32 bits and floor(x^64 / P); the remainder w + q * P
    // is left in bits 32..63.
    const __m128i b = Pair128(kBarrettMu, kPolyReflected33);
    const __m128i q = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(w, low32), b, 0x00), low32);
    const __m128i r = _mm_xor_si128(_mm_clmulepi64_si128(q, b, 0x10), w);
    return static_cast<std::uint32_t>(_mm_extract_epi32(r, 1));
}

// Folds the remaining whole 16-byte blocks into x, reduces, and feeds the last bytes through the
// tables.
KAVRIN_CLMUL_INLINE std::uint32_t Finish128(__m128i x, const std::uint8_t* p, std::size_t len)
{
    const __m128i k128 = Pair128(kFold128);
    for (; len >= 16; p += 16, len -= 16)
        x = Fold128(x, k128, Load128(p));
    return CrcUpdateSlice16(Reduce128(x), p, len);
}

// Four 128-bit lanes over 64 bytes a step. Buffers shorter than one step go through the tables.
KAVRIN_CLMUL_INLINE std::uint32_t Update128(std::uint32_t state, const std::uint8_t* p, std::size_t len)
{
    if (len < 64)
        return CrcUpdateSlice16(state, p, len);
    // The state enters as the first 32 bits of the message.
    __m128i x0 = _mm_xor_si128(Load128(p), _mm_cvtsi32_si128(static_cast<int>(state)));
    __m128i x1 = Load128(p + 16);
    __m128i x2 = Load128(p + 32);
    __m128i x3 = Load128(p + 48);
    p += 64;
    len -= 64;
    const __m128i k512 = Pair128(kFold512);
    for (; len >= 64; p += 64, len -= 64) {
        x0 = Fold128(x0, k512, Load128(p));
        x1 = Fold128(x1, k512, Load128(p + 16));
        x2 = Fold128(x2, k512, Load128(p + 32));
        x3 = Fold128(x3, k512, Load128(p + 48));
    }
    const __m128i k128 = Pair128(kFold128);
    __m128i x = Fold128(x0, k128, x1);
    x = Fold128(x, k128, x2);
    x = Fold128(x, k128, x3);
    return Finish128(x, p, len);
}

KAVRIN_VPCLMUL256_INLINE __m256i Pair256(FoldPair k)
{
    return _mm256_broadcastsi128_si256(Pair128(k));
}

KAVRIN_VPCLMUL256_INLINE __m256i Load256(const std::uint8_t* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Fold128 on both 128-bit lanes at once.
KAVRIN_VPCLMUL256_INLINE __m256i Fold256(__m256i y, __m256i k, __m256i data)
{
    const __m256i lo = _mm256_clmulepi64_epi128(y, k, 0x00);
    const __m256i hi = _mm256_clmulepi64_epi128(y, k, 0x11);
    return _mm256_xor_si256(_mm256_xor_si256(lo, hi), data);
}

// The first lane of y moved by 128 bits onto the second.
KAVRIN_VPCLMUL256_INLINE __m128i Narrow256(__m256i y)
{
    return Fold128(_mm256_castsi256_si128(y), Pair128(kFold128), _mm256_extracti128_si256(y, 1));
}

} // namespace kavrin::crcfold
