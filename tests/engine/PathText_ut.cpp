#include "engine/PathText.h"

#include <gtest/gtest.h>

namespace kavrin {
namespace {

TEST(PathText, FolderOfPath)
{
    EXPECT_EQ(FolderOfPath(L"D:\\data\\list.sfv"), L"D:\\data");
    EXPECT_EQ(FolderOfPath(L"D:\\x.sfv"), L"D:\\");
    EXPECT_EQ(FolderOfPath(L"\\\\srv\\share\\x.sfv"), L"\\\\srv\\share");
    EXPECT_EQ(FolderOfPath(L"x.sfv"), L"");
}

TEST(PathText, ListedNamesResolveAgainstTheSfvFolder)
{
    struct Case { const wchar_t* folder; const wchar_t* name; const wchar_t* path; };
    const Case cases[] = {
        {L"D:\\data", L"a.txt", L"D:\\data\\a.txt"},
        {L"D:\\data", L".\\sub\\b.bin", L"D:\\data\\.\\sub\\b.bin"},
        {L"D:\\data", L"..\\other\\c.bin", L"D:\\data\\..\\other\\c.bin"},
        {L"D:\\", L"root.txt", L"D:\\root.txt"},
        {L"D:\\data", L"E:\\files\\x", L"E:\\files\\x"},
        {L"D:\\data", L"\\\\srv\\share\\x", L"\\\\srv\\share\\x"},
        {L"D:\\data", L"\\top\\x", L"D:\\top\\x"},
        {L"D:\\data", L"", L""},
        {L"D:\\data", L"my file.txt  ", L"D:\\data\\my file.txt  "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveListedName(c.folder, c.name), c.path) << c.name;
}

TEST(PathText, ThePrefixOnlyWhereTheFullPathNeedsIt)
{
    const std::wstring fits = L"D:\\" + std::wstring(256, L'x');        // 259 characters
    const std::wstring tooLong = L"D:\\" + std::wstring(257, L'x');     // 260 characters
    const std::wstring share = L"\\\\srv\\share\\" + std::wstring(250, L'x');
    struct Case { std::wstring path, form; };
    const Case cases[] = {
        {L"D:\\data\\a.txt", L"D:\\data\\a.txt"},
        {fits, fits},
        {tooLong, L"\\\\?\\" + tooLong},
        {share, L"\\\\?\\UNC\\srv\\share\\" + std::wstring(250, L'x')},
        {L"\\\\?\\" + tooLong, L"\\\\?\\" + tooLong},                       // prefixed already
        {L"\\\\.\\pipe\\" + std::wstring(260, L'p'), L"\\\\.\\pipe\\" + std::wstring(260, L'p')},
        {std::wstring(300, L'r'), std::wstring(300, L'r')},                  // not a full path
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtendedLengthForm(c.path), c.form) << c.path.size();
        EXPECT_EQ(WithoutExtendedPrefix(ExtendedLengthForm(c.path)), c.path.substr(0, 4) == L"\\\\?\\" ? tooLong : c.path);
    }
}

} // namespace
} // namespace kavrin
