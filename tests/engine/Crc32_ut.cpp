#include "engine/Crc32.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace kavrin {
namespace {

// Bitwise CRC-32 written independently of the table, as an oracle.
std::uint32_t BitwiseCrc(const std::vector<std::uint8_t>& data)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

TEST(Crc32, TableMatchesKnownEntries)
{
    EXPECT_EQ(CrcTable[0], 0x00000000u);
    EXPECT_EQ(CrcTable[1], 0x77073096u);
    EXPECT_EQ(CrcTable[128], 0xEDB88320u);
    EXPECT_EQ(CrcTable[255], 0x2D02EF8Du);
}

TEST(Crc32, KnownChecksumsAndTheirText)
{
    struct Case { std::string data; const wchar_t* text; };
    const Case cases[] = {
        {"", L"00000000"},
        {"a", L"e8b7be43"},
        {"123456789", L"cbf43926"},
        {"The quick brown fox jumps over the lazy dog", L"414fa339"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CrcText(Crc32(c.data.data(), c.data.size())), c.text) << c.data;
}

TEST(Crc32, TextHasLeadingZerosAndLowerCase)
{
    EXPECT_EQ(CrcText(0x0000abcdu), L"0000abcd");
    EXPECT_EQ(CrcText(0xFFFFFFFFu), L"ffffffff");
    EXPECT_EQ(CrcText(0), L"00000000");
}

TEST(Crc32, AgreesWithBitwiseOracleAroundChunkSizes)
{
    std::mt19937 rng(1234);
    for (std::size_t len : {std::size_t{1}, std::size_t{7}, std::size_t{65535}, std::size_t{65536},
                            std::size_t{65537}, std::size_t{131072 + 13}}) {
        std::vector<std::uint8_t> data(len);
        for (auto& b : data)
            b = static_cast<std::uint8_t>(rng());
        EXPECT_EQ(Crc32(data.data(), data.size()), BitwiseCrc(data)) << len;
    }
}

TEST(Crc32, UpdateInPiecesEqualsWhole)
{
    std::vector<std::uint8_t> data(100000);
    std::mt19937 rng(99);
    for (auto& b : data)
        b = static_cast<std::uint8_t>(rng());
    std::uint32_t state = kCrcInitial;
    std::size_t pos = 0;
    for (std::size_t piece : {std::size_t{1}, std::size_t{65536}, std::size_t{3}, std::size_t{0}}) {
        state = CrcUpdate(state, data.data() + pos, piece);
        pos += piece;
    }
    state = CrcUpdate(state, data.data() + pos, data.size() - pos);
    EXPECT_EQ(CrcFinal(state), Crc32(data.data(), data.size()));
}

} // namespace
} // namespace kavrin
