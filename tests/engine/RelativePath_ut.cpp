#include "engine/RelativePath.h"

#include <gtest/gtest.h>

namespace kavrin {
namespace {

TEST(RelativePath, PathFormsOfTheWrittenFile)
{
    struct Case { const wchar_t* sfvFolder; const wchar_t* fileFolder; const wchar_t* written; };
    const Case cases[] = {
        {L"D:\\data", L"D:\\data\\sub\\deep", L".\\sub\\deep\\name"},
        {L"D:\\data", L"D:\\other", L"..\\other\\name"},
        {L"D:\\data\\sfv", L"D:\\data", L"..\\name"},
        {L"D:\\a\\b", L"D:\\x\\y", L"..\\..\\x\\y\\name"},
        {L"D:\\data", L"E:\\files", L"E:\\files\\name"},
        {L"D:\\Data", L"d:\\dATA", L"name"},                  // same folder, any case
        {L"D:\\", L"D:\\", L"name"},                          // SFV file in a drive root
        {L"D:\\", L"D:\\sub", L".\\sub\\name"},
        {L"D:\\data", L"E:\\", L"E:\\name"},                  // another drive's root
        {L"\\\\srv\\share\\a", L"\\\\SRV\\Share\\b", L"..\\b\\name"},
        {L"\\\\srv\\one\\a", L"\\\\srv\\two\\a", L"\\\\srv\\two\\a\\name"},
        {L"", L"D:\\data", L"D:\\data\\name"},                // no SFV folder at all
        {L"D:\\data\\x", L"D:\\data\\xy", L"..\\xy\\name"},   // components, not characters
    };
    for (const auto& c : cases)
        EXPECT_EQ(SfvPathForm(c.sfvFolder, c.fileFolder, L"name"), c.written) << c.fileFolder;
}

TEST(RelativePath, ARelativePathHasNoLengthLimit)
{
    std::wstring deep = L"D:\\data";
    while (deep.size() < 300)
        deep += L"\\folder";
    const auto relative = RelativeFolderPath(L"D:\\data", deep);
    ASSERT_TRUE(relative.has_value());
    EXPECT_EQ(L"D:\\data" + relative->substr(1), deep);
    EXPECT_GT(relative->size(), 290u);
    EXPECT_EQ(SfvPathForm(L"D:\\data", deep, L"n"), *relative + L"\\n");
    EXPECT_EQ(SfvPathForm(deep, L"D:\\data", L"n").size(), 3 * 42 - 1 + 2) << "42 folders up, then the name";
}

} // namespace
} // namespace kavrin

namespace kavrin {
namespace {

TEST(RelativePath, BareNamesThatWouldReadBackWrongKeepDotBackslash)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* written;
    } const cases[] = {
        {L";notes.txt", L".\\;notes.txt"},  // would be a comment line
        {L" lead.txt", L".\\ lead.txt"},    // would lose its space to trimming
        {L"a;b.txt", L"a;b.txt"},           // only the first character matters
        {L"trail .txt", L"trail .txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SfvPathForm(L"D:\\data", L"D:\\data", c.name), c.written) << c.name;
    // In another folder the path already begins with a dot or a drive.
    EXPECT_EQ(SfvPathForm(L"D:\\data", L"D:\\data\\sub", L";x"), L".\\sub\\;x");
}

} // namespace
} // namespace kavrin
