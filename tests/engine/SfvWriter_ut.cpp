#include "engine/SfvWriter.h"

#include <gtest/gtest.h>

#include "engine/Crc32.h"
#include "engine/RelativePath.h"
#include "engine/SfvReader.h"

namespace kavrin {
namespace {

TEST(SfvWriter, ExampleFileByteForByte)
{
    std::wstring text = SfvHeaderLine(2006, 5, 4);
    text += SfvEntryLine(SfvPathForm(L"D:\\data", L"D:\\data", L"a.txt"), Crc32("a", 1));
    text += SfvEntryLine(SfvPathForm(L"D:\\data", L"D:\\data\\sub", L"b.bin"), Crc32("", 0));
    text += SfvEntryLine(SfvPathForm(L"D:\\data", L"D:\\data", L"x.dat"), 0xFFFFFFFFu);
    std::string bytes;
    ASSERT_TRUE(EncodeSfvText(text, bytes));
    EXPECT_EQ(bytes,
              "; This file were created with Kavrin on 2006-05-04\r\n"
              "a.txt e8b7be43\r\n"
              ".\\sub\\b.bin 00000000\r\n"
              "x.dat ffffffff\r\n");

    // Read back: the header is a comment, the lines are entries.
    const SfvContent back = ReadSfv(bytes);
    EXPECT_EQ(back.comments, L"; This file were created with Kavrin on 2006-05-04");
    ASSERT_EQ(back.entries.size(), 3u);
    EXPECT_EQ(back.entries[1].name, L".\\sub\\b.bin");
}

TEST(SfvWriter, HeaderPadsTheDate)
{
    EXPECT_EQ(SfvHeaderLine(987, 1, 9), L"; This file were created with Kavrin on 0987-01-09\n");
}

TEST(SfvWriter, LatinOneIsOneBytePerCharacter)
{
    std::string bytes;
    ASSERT_TRUE(EncodeSfvText(L"\u00e9\u00ff\n", bytes));
    EXPECT_EQ(bytes, "\xE9\xFF\r\n");
}

TEST(SfvWriter, OneCharacterAboveLatinOneMakesTheWholeFileUtf8WithoutAMark)
{
    std::wstring text = SfvHeaderLine(2006, 5, 4);
    text += SfvEntryLine(L"caf\u00e9.txt", 0x1a2b3c4du);
    text += SfvEntryLine(L"\u20ac.txt", 0);
    std::string bytes;
    ASSERT_TRUE(EncodeSfvText(text, bytes));
    EXPECT_EQ(bytes,
              "; This file were created with Kavrin on 2006-05-04\r\n"
              "caf\xC3\xA9.txt 1a2b3c4d\r\n"
              "\xE2\x82\xAC.txt 00000000\r\n");
}

TEST(SfvWriter, NamesInAnyScriptReadBackAsWritten)
{
    const std::wstring names[] = {
        L"\u0416\u0443\u0440\u043d\u0430\u043b.txt",  // Cyrillic
        L"\u0391\u03b8\u03ae\u03bd\u03b1.jpg",         // Greek
        L"\u5199\u771f\\\u65e5\u672c.png",            // CJK, in a subfolder
        L"\U0001F600 smile.txt",                          // above U+FFFF: a surrogate pair in UTF-16
        L"\u00e9t\u00e9 \u00e0 la plage.txt",            // Latin-1 beside the others
    };
    std::wstring text = SfvHeaderLine(2024, 1, 2);
    for (const auto& name : names)
        text += SfvEntryLine(name, 0xdeadbeefu);
    std::string bytes;
    ASSERT_TRUE(EncodeSfvText(text, bytes));
    EXPECT_EQ(bytes.substr(0, 3), "; T") << "no byte-order mark";
    const SfvContent back = ReadSfv(bytes);
    EXPECT_EQ(back.comments, L"; This file were created with Kavrin on 2024-01-02");
    ASSERT_EQ(back.entries.size(), std::size(names));
    for (std::size_t i = 0; i < std::size(names); ++i) {
        EXPECT_EQ(back.entries[i].name, names[i]);
        EXPECT_EQ(back.entries[i].checksum, L"deadbeef");
    }
}

TEST(SfvWriter, ALoneSurrogateIsNeverWrittenAsASubstitute)
{
    const std::wstring lone{L'a', static_cast<wchar_t>(0xDC00), L'b'};
    const std::wstring swapped{static_cast<wchar_t>(0xDC00), static_cast<wchar_t>(0xD800)};
    for (const auto& text : {lone, swapped}) {
        std::string bytes;
        EXPECT_FALSE(IsSfvEncodable(text));
        EXPECT_FALSE(EncodeSfvText(text + L"\n", bytes));
    }
    EXPECT_TRUE(IsSfvEncodable(L"\U0001F600\u0100\u00ff"));
}

} // namespace
} // namespace kavrin
