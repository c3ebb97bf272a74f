#include "engine/SfvReader.h"

#include <gtest/gtest.h>

namespace kavrin {
namespace {

TEST(SfvReader, OneLineAtATime)
{
    struct Case { std::string line; bool comment; std::wstring name; std::wstring checksum; };
    const Case cases[] = {
        {"my file.txt 1a2b3c4d", false, L"my file.txt", L"1a2b3c4d"},
        {"file.txt   1A2B3C4D", false, L"file.txt  ", L"1A2B3C4D"},
        {"file.txt\t1a2b3c4d", false, L"", L"file.txt\t1a2b3c4d"},
        {"\r\n", false, L"", L""},
        {" \t \xA0", false, L"", L""},
        {"  ; note  ", true, L"", L""},
        {"x ; y", false, L"x ;", L"y"},
        {"name 0x1a2b3c4d", false, L"name", L"0x1a2b3c4d"},
        {"\xE9t\xE9.txt 00000000", false, L"\u00e9t\u00e9.txt", L"00000000"},
        {std::string("a\0b 12345678", 12), false, L"", L"a"},  // a NUL ends the line's text
        {"solo\r 1", false, L"solo\r", L"1"},
    };
    for (const auto& c : cases) {
        const SfvContent content = ReadSfv(c.line);
        SCOPED_TRACE(c.line);
        if (c.comment) {
            EXPECT_TRUE(content.entries.empty());
            EXPECT_EQ(content.comments, L"; note");
        } else {
            ASSERT_EQ(content.entries.size(), 1u);
            EXPECT_EQ(content.entries[0].name, c.name);
            EXPECT_EQ(content.entries[0].checksum, c.checksum);
            EXPECT_TRUE(content.comments.empty());
        }
    }
}

TEST(SfvReader, LineEndsCommentsAndEndOfText)
{
    const std::string text =
        "; a\r\n"
        "one.bin 00000001\n"
        ";b\r\n"
        "two.bin 00000002\r\r\n"
        "last.bin 00000003";  // no final line feed
    const SfvContent content = ReadSfv(text);
    ASSERT_EQ(content.entries.size(), 3u);
    EXPECT_EQ(content.entries[0].name, L"one.bin");
    EXPECT_EQ(content.entries[1].checksum, L"00000002");
    EXPECT_EQ(content.entries[2].name, L"last.bin");
    EXPECT_EQ(content.comments, L"; a\r\n;b");
}

TEST(SfvReader, EndOfTextCharacterHidesTheRest)
{
    const SfvContent content = ReadSfv(std::string("a.txt 1\r\nb.txt 2\x1A\r\nc.txt 3\r\n"));
    ASSERT_EQ(content.entries.size(), 2u);
    EXPECT_EQ(content.entries[1].name, L"b.txt");
    EXPECT_EQ(content.entries[1].checksum, L"2");
}

TEST(SfvReader, ByteOrderMarkIsOrdinaryText)
{
    const SfvContent content = ReadSfv("\xEF\xBB\xBF; header\r\nx 1\r\n");
    ASSERT_EQ(content.entries.size(), 2u);
    EXPECT_EQ(content.entries[0].name, L"\u00ef\u00bb\u00bf;");
    EXPECT_TRUE(content.comments.empty());
}

TEST(SfvReader, EmptyTextAndBlankLines)
{
    EXPECT_TRUE(ReadSfv("").entries.empty());
    const SfvContent content = ReadSfv("\r\n\n");
    EXPECT_EQ(content.entries.size(), 2u);
}

TEST(SfvReader, CompleteLinesDropsAnUnfinishedLastLine)
{
    EXPECT_EQ(CompleteLines("a 1\r\nb 2\r\nc"), "a 1\r\nb 2\r\n");
    EXPECT_EQ(CompleteLines("no line feed"), "");
}

} // namespace
} // namespace kavrin
