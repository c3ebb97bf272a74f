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
    EXPECT_TRUE(IsSfvEncodable(L"\u00ff"));
    EXPECT_FALSE(IsSfvEncodable(L"\u0100"));
    EXPECT_FALSE(EncodeSfvText(L"a\u20acb", bytes));
}

} // namespace
} // namespace kavrin
