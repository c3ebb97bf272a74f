#include "engine/CrcPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "engine/Crc32.h"
#include "engine/CrcFoldConstants.h"
#include "engine/CrcKernels.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace kavrin {
namespace {

// The rule every path must equal: one CrcStep per byte.
std::uint32_t ByteRule(std::uint32_t state, const std::uint8_t* p, std::size_t len)
{
    for (std::size_t i = 0; i < len; ++i)
        state = CrcStep(state, p[i]);
    return state;
}

std::vector<std::uint8_t> RandomBytes(std::size_t count, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> bytes(count);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(rng());
    return bytes;
}

std::string Names(const std::vector<CrcPath>& paths)
{
    std::string names;
    for (CrcPath path : paths)
        names += std::string(names.empty() ? "" : ", ") + CrcPathName(path);
    return names;
}

// x^n mod P the slow way: multiply by x one bit at a time, in the reflected order of CRC states.
std::uint32_t BitwiseXPowMod(unsigned n)
{
    std::uint32_t v = 0x80000000u;  // x^0
    for (unsigned i = 0; i < n; ++i)
        v = (v & 1u) ? (v >> 1) ^ kCrcPolynomial : v >> 1;
    return v;
}

// Carry-less product of two polynomials of degree below 64 and 33, as 128 bits (hi, lo).
void CarrylessMultiply(std::uint64_t a, std::uint64_t b, std::uint64_t& hi, std::uint64_t& lo)
{
    hi = lo = 0;
    for (int i = 0; i < 64; ++i)
        if ((b >> i) & 1u) {
            lo ^= a << i;
            hi ^= i == 0 ? 0 : a >> (64 - i);
        }
}

TEST(CrcPaths, TableAndSlicingAreAlwaysThereAndCrcUpdateUsesTheFastest)
{
    const std::vector<CrcPath> paths = AvailableCrcPaths();
    std::printf("CRC-32 paths here: %s; CrcUpdate uses %s\n", Names(paths).c_str(), CrcPathName(ActiveCrcPath()));
    ASSERT_GE(paths.size(), 2u);
    EXPECT_EQ(paths[0], CrcPath::Table);
    EXPECT_EQ(paths[1], CrcPath::Slice16);
    EXPECT_EQ(ActiveCrcPath(), paths.back());
}

TEST(CrcPaths, FoldConstantsEqualTheBitwiseDefinition)
{
    for (unsigned n = 0; n <= 2100; ++n)
        ASSERT_EQ(crcfold::XPowMod(n), BitwiseXPowMod(n)) << "x^" << n;
    // The multipliers the kernels load, each as x^n mod P moved into a 33-bit field.
    const struct { std::uint64_t value; unsigned power; } used[] = {
        {crcfold::kFold128.lo, 160},   {crcfold::kFold128.hi, 96},    {crcfold::kFold256.lo, 288},
        {crcfold::kFold256.hi, 224},   {crcfold::kFold512.lo, 544},   {crcfold::kFold512.hi, 480},
        {crcfold::kFold1024.lo, 1056}, {crcfold::kFold1024.hi, 992},  {crcfold::kFold2048.lo, 2080},
        {crcfold::kFold2048.hi, 2016}, {crcfold::kReduce96, 96},      {crcfold::kReduce64, 64},
    };
    for (const auto& u : used)
        EXPECT_EQ(u.value, std::uint64_t{BitwiseXPowMod(u.power)} << 1) << "x^" << u.power;
}

TEST(CrcPaths, BarrettConstantsAreThePolynomialAndItsQuotient)
{
    // Back to ordinary bit order: bit i of the 33-bit field is the coefficient of x^(32-i).
    const auto normal = [](std::uint64_t reflected) {
        std::uint64_t v = 0;
        for (int i = 0; i < 33; ++i)
            v |= ((reflected >> i) & 1u) << (32 - i);
        return v;
    };
    const std::uint64_t poly = normal(crcfold::kPolyReflected33);
    EXPECT_EQ(poly >> 32, 1u);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ((poly >> i) & 1u, (kCrcPolynomial >> (31 - i)) & 1u) << i;
    // mu * P = x^64 + r with r of degree below 32: mu is floor(x^64 / P).
    std::uint64_t hi = 0, lo = 0;
    CarrylessMultiply(normal(crcfold::kBarrettMu), poly, hi, lo);
    EXPECT_EQ(hi, 1u);
    EXPECT_EQ(lo >> 32, 0u);
}

TEST(CrcPaths, EveryPathEqualsTheByteRuleOnEveryShortLengthAndOffset)
{
    // Long enough to cross every threshold and loop of every kernel (64, 128, 256, 512 bytes).
    const std::vector<std::uint8_t> data = RandomBytes(1400 + 16, 7);
    for (CrcPath path : AvailableCrcPaths()) {
        for (std::size_t offset = 0; offset < 4; ++offset)
            for (std::size_t len = 0; len <= 1400; ++len) {
                const std::uint32_t state = static_cast<std::uint32_t>(len * 2654435761u + offset);
                ASSERT_EQ(CrcUpdateOn(path, state, data.data() + offset, len),
                          ByteRule(state, data.data() + offset, len))
                    << CrcPathName(path) << " offset " << offset << " length " << len;
            }
    }
}

TEST(CrcPaths, EveryPathEqualsTheByteRuleOnRandomLengthsOffsetsAndStates)
{
    const std::size_t maxLen = 3 * 65536 + 1000;
    const std::vector<std::uint8_t> data = RandomBytes(maxLen + 64, 11);
    std::mt19937 rng(2024);
    const std::vector<CrcPath> paths = AvailableCrcPaths();
    for (int round = 0; round < 200; ++round) {
        const std::size_t offset = rng() % 64;
        // Half the lengths near the kernels' thresholds, half up to three chunks and more.
        const std::size_t len = (round % 2) ? rng() % 1200 : rng() % (maxLen + 1);
        const std::uint32_t state = round % 5 == 0 ? kCrcInitial : static_cast<std::uint32_t>(rng());
        const std::uint32_t expected = ByteRule(state, data.data() + offset, len);
        for (CrcPath path : paths)
            ASSERT_EQ(CrcUpdateOn(path, state, data.data() + offset, len), expected)
                << CrcPathName(path) << " offset " << offset << " length " << len << " state " << state;
    }
}

TEST(CrcPaths, EveryPathCarriesItsStateAcrossPieces)
{
    const std::vector<std::uint8_t> data = RandomBytes(200000, 3);
    const std::uint32_t whole = ByteRule(kCrcInitial, data.data(), data.size());
    std::mt19937 rng(5);
    for (CrcPath path : AvailableCrcPaths()) {
        std::uint32_t state = kCrcInitial;
        std::size_t pos = 0;
        while (pos < data.size()) {
            const std::size_t piece = std::min<std::size_t>(data.size() - pos, rng() % 70000);
            state = CrcUpdateOn(path, state, data.data() + pos, piece);
            pos += piece;
        }
        EXPECT_EQ(state, whole) << CrcPathName(path);
        EXPECT_EQ(CrcText(CrcFinal(CrcUpdateOn(path, kCrcInitial, "123456789", 9))), L"cbf43926")
            << CrcPathName(path);
    }
}

#if defined(_WIN32) && defined(__i386__)

// Calls fn(state, data, len) with the stack pointer offset bytes past a 16-byte boundary at the
// call, as code that does not keep GCC's 16-byte stack alignment would (Windows itself keeps 4).
extern "C" std::uint32_t CallWithStackOffset(std::uint32_t (*fn)(std::uint32_t, const void*, std::size_t),
                                             std::uint32_t state, const void* data, std::size_t len,
                                             std::uint32_t offset);
__asm__(".text\n"
        ".globl _CallWithStackOffset\n"
        "_CallWithStackOffset:\n"
        "  pushl %ebp\n"
        "  movl %esp, %ebp\n"
        "  andl $-16, %esp\n"
        "  subl $16, %esp\n"
        "  subl 24(%ebp), %esp\n"
        "  movl 12(%ebp), %eax\n"
        "  movl %eax, (%esp)\n"
        "  movl 16(%ebp), %eax\n"
        "  movl %eax, 4(%esp)\n"
        "  movl 20(%ebp), %eax\n"
        "  movl %eax, 8(%esp)\n"
        "  call *8(%ebp)\n"
        "  movl %ebp, %esp\n"
        "  popl %ebp\n"
        "  ret\n");

TEST(CrcPaths, KernelsRunOnAStackWithoutSixteenByteAlignment)
{
    const std::vector<std::uint8_t> data = RandomBytes(70000, 13);
    const std::uint32_t expected = ByteRule(kCrcInitial, data.data(), data.size());
    using Fn = std::uint32_t (*)(std::uint32_t, const void*, std::size_t);
    for (CrcPath path : AvailableCrcPaths()) {
        Fn fn = CrcUpdateSlice16;
        if (path == CrcPath::Pclmul)
            fn = CrcUpdatePclmul;
        else if (path == CrcPath::Vpclmul256)
            fn = CrcUpdateVpclmul256;
        else if (path == CrcPath::Vpclmul512)
            fn = CrcUpdateVpclmul512;
        for (std::uint32_t offset : {0u, 4u, 8u, 12u})
            EXPECT_EQ(CallWithStackOffset(fn, kCrcInitial, data.data(), data.size(), offset), expected)
                << CrcPathName(path) << " offset " << offset;
    }
}

DWORD WINAPI HashOnThread(void* param)
{
    auto* data = static_cast<std::vector<std::uint8_t>*>(param);
    return CrcUpdate(kCrcInitial, data->data(), data->size());
}

TEST(CrcPaths, CrcUpdateWorksOnAThreadStartedByWindows)
{
    std::vector<std::uint8_t> data = RandomBytes(65536 * 2 + 5, 17);
    const HANDLE thread = ::CreateThread(nullptr, 0, HashOnThread, &data, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(::WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    DWORD result = 0;
    ::GetExitCodeThread(thread, &result);
    ::CloseHandle(thread);
    EXPECT_EQ(result, ByteRule(kCrcInitial, data.data(), data.size()));
}

#endif

} // namespace
} // namespace kavrin
