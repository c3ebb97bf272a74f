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

TEST(SfvReader, AUtf8MarkIsNotTextSoAHeaderCommentStaysAComment)
{
    const SfvContent content = ReadSfv("\xEF\xBB\xBF; header\r\nx 1\r\n");
    ASSERT_EQ(content.entries.size(), 1u);
    EXPECT_EQ(content.entries[0].name, L"x");
    EXPECT_EQ(content.comments, L"; header");
}

// UTF-16 bytes of text, little or big end first, behind the mark.
std::string Utf16Bytes(std::u16string_view text, bool little)
{
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += little ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

TEST(SfvReader, EveryEncodingGivesTheSameEntriesAndComments)
{
    // Cyrillic, Greek, CJK, an emoji (a surrogate pair in UTF-16) and Latin-1, CR LF line ends.
    const std::string utf8 =
        "; \xD0\x9F\xD1\x80\xD0\xBE\xD0\xB2\xD0\xB5\xD1\x80\xD0\xBA\xD0\xB0 \xCE\xB1\xCE\xB2\r\n"
        "\xD0\x96\xD1\x83\xD0\xBA.txt 1a2b3c4d\r\n"
        "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1.bin 00000000\r\n"
        "\xE6\x97\xA5\xE6\x9C\xAC\\\xE5\x86\x99\xE7\x9C\x9F.jpg ffffffff\r\n"
        "\xF0\x9F\x98\x80 caf\xC3\xA9.txt 12345678\r\n";
    const std::u16string utf16 =
        u"; \u041f\u0440\u043e\u0432\u0435\u0440\u043a\u0430 \u03b1\u03b2\r\n"
        u"\u0416\u0443\u043a.txt 1a2b3c4d\r\n"
        u"\u03a9\u03bc\u03ad\u03b3\u03b1.bin 00000000\r\n"
        u"\u65e5\u672c\\\u5199\u771f.jpg ffffffff\r\n"
        u"\U0001F600 caf\u00e9.txt 12345678\r\n";
    const std::pair<const char*, std::string> files[] = {
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + utf8},
        {"UTF-8 without a mark", utf8},
        {"UTF-16 LE", Utf16Bytes(utf16, true)},
        {"UTF-16 BE", Utf16Bytes(utf16, false)},
    };
    for (const auto& [kind, bytes] : files) {
        SCOPED_TRACE(kind);
        const SfvContent content = ReadSfv(bytes);
        EXPECT_EQ(content.comments, L"; \u041f\u0440\u043e\u0432\u0435\u0440\u043a\u0430 \u03b1\u03b2");
        ASSERT_EQ(content.entries.size(), 4u);
        EXPECT_EQ(content.entries[0].name, L"\u0416\u0443\u043a.txt");
        EXPECT_EQ(content.entries[0].checksum, L"1a2b3c4d");
        EXPECT_EQ(content.entries[1].name, L"\u03a9\u03bc\u03ad\u03b3\u03b1.bin");
        EXPECT_EQ(content.entries[2].name, L"\u65e5\u672c\\\u5199\u771f.jpg");
        EXPECT_EQ(content.entries[3].name, L"\U0001F600 caf\u00e9.txt");
        EXPECT_EQ(content.entries[3].checksum, L"12345678");
    }
}

TEST(SfvReader, WhichEncodingTheBytesAreReadIn)
{
    struct Case { const char* what; std::string bytes; SfvEncoding encoding; std::size_t mark; };
    const Case cases[] = {
        {"empty", "", SfvEncoding::Latin1, 0},
        {"all ASCII", "a.txt 00000000\r\n", SfvEncoding::Latin1, 0},
        {"Latin-1 e acute", "\xE9t\xE9.txt 1", SfvEncoding::Latin1, 0},
        {"UTF-8 mark", "\xEF\xBB\xBF" "a 1", SfvEncoding::Utf8, 3},
        {"UTF-8 mark on ASCII", "\xEF\xBB\xBF", SfvEncoding::Utf8, 3},
        {"UTF-16 LE mark", std::string("\xFF\xFE" "a\0", 4), SfvEncoding::Utf16LE, 2},
        {"UTF-16 BE mark", std::string("\xFE\xFF\0a", 4), SfvEncoding::Utf16BE, 2},
        {"valid UTF-8, two bytes", "\xC3\xA9 1", SfvEncoding::Utf8, 0},
        {"valid UTF-8, four bytes", "\xF0\x9F\x98\x80 1", SfvEncoding::Utf8, 0},
        {"UTF-8 then one Latin-1 byte", "\xC3\xA9 \xE9 1", SfvEncoding::Latin1, 0},
        {"overlong slash", "\xC0\xAF 1", SfvEncoding::Latin1, 0},
        {"encoded surrogate", "\xED\xA0\x80 1", SfvEncoding::Latin1, 0},
        {"above U+10FFFF", "\xF4\x90\x80\x80 1", SfvEncoding::Latin1, 0},
        {"unfinished sequence", "a 1\r\n\xC3", SfvEncoding::Latin1, 0},
        {"stray continuation", "\x80 1", SfvEncoding::Latin1, 0},
        {"only text before 0x1A counts", "\xC3\xA9 1\x1A\xFF", SfvEncoding::Utf8, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::size_t mark = 99;
        EXPECT_EQ(DetectSfvEncoding(c.bytes, mark), c.encoding);
        EXPECT_EQ(mark, c.mark);
    }
}

TEST(SfvReader, DecodingCornerCases)
{
    struct Case { const char* what; std::string bytes; std::wstring text; };
    const Case cases[] = {
        // Latin-1 text that happens to be valid UTF-8 is read as UTF-8.
        {"A tilde, copyright", "\xC3\xA9", L"\u00e9"},
        {"not UTF-8 as a whole", "\xC3\xA9\xE9", L"\u00c3\u00a9\u00e9"},
        {"marked UTF-8 with a bad byte", "\xEF\xBB\xBF" "a\xFF" "b", L"a\ufffdb"},
        {"UTF-8 CR LF and 0x1A", "\xC3\xA9\r\nx\x1Ay", L"\u00e9\nx"},
        {"UTF-16 LE: U+011A holds a byte 0x1A", Utf16Bytes(u"\u011a\u001ax", true), L"\u011a"},
        {"UTF-16 LE: U+010A holds a byte 0x0A", Utf16Bytes(u"\u010a\r\n", true), L"\u010a\n"},
        {"UTF-16: an odd last byte", Utf16Bytes(u"ab", false) + std::string(1, '\0'), L"ab"},
        {"UTF-16: a lone CR stays", Utf16Bytes(u"a\rb", true), L"a\rb"},
        {"UTF-16: a lone surrogate stays", Utf16Bytes(u"a\xD800" u"b", true),
         std::wstring{L'a', static_cast<wchar_t>(0xD800), L'b'}},
        {"UTF-16: only a mark", "\xFF\xFE", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DecodeSfvBytes(c.bytes), c.text);
    }
}

TEST(SfvReader, ANoBreakSpaceIsTrimmedInUtf8AsInLatin1)
{
    for (const std::string line : {"\xA0x 1\xA0", "\xC2\xA0x\xC3\xA9 1\xC2\xA0"}) {
        const SfvContent content = ReadSfv(line);
        ASSERT_EQ(content.entries.size(), 1u);
        EXPECT_EQ(content.entries[0].checksum, L"1");
        EXPECT_EQ(content.entries[0].name.substr(0, 1), L"x");
    }
}

TEST(SfvReader, EmptyTextAndBlankLines)
{
    EXPECT_TRUE(ReadSfv("").entries.empty());
    const SfvContent content = ReadSfv("\r\n\n");
    EXPECT_EQ(content.entries.size(), 2u);
}

TEST(SfvReader, AfterAReadErrorOnlyCompleteLinesCount)
{
    struct Case { const char* what; std::string bytes; std::vector<std::wstring> names; };
    const Case cases[] = {
        {"one byte per character", "a 1\r\nb 2\r\nc", {L"a", L"b"}},
        {"no line feed at all", "no line feed", {}},
        // The unfinished sequence after the last line feed must not make the rest Latin-1.
        {"UTF-8 cut inside a character", "\xC3\xA9 1\r\n\xC3", {L"\u00e9"}},
        // 0x0A inside U+010A is not a line feed.
        {"UTF-16 LE", Utf16Bytes(u"\u017e 1\r\n\u010a 2", true), {L"\u017e"}},
        {"UTF-16 BE", Utf16Bytes(u"a 1\nb 2\n", false), {L"a", L"b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::wstring> names;
        for (const SfvEntry& entry : ReadSfvCompleteLines(c.bytes).entries)
            names.push_back(entry.name);
        EXPECT_EQ(names, c.names);
    }
}

} // namespace
} // namespace kavrin
