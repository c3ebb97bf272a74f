// Full paths and the extended-length form, against real files.
#include "win/FilePath.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "win/Handle.h"

namespace {

TEST(FilePath, FullPathNameAppliesTheUsualRules)
{
    test::CTempFolder folder;
    wchar_t previous[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(folder.Path().c_str()));
    struct Case { std::wstring path, full; };
    const Case cases[] = {
        {L"file.txt", folder / L"file.txt"},
        {L"file.txt  ", folder / L"file.txt"},        // trailing spaces dropped
        {L"file.txt..", folder / L"file.txt"},        // and trailing dots
        {L".\\sub\\..\\x\\.\\y", folder / L"x\\y"},
        {L"D:\\a\\b", L"D:\\a\\b"},
        {L"", L""},
    };
    std::vector<std::wstring> got;
    for (const auto& c : cases)
        got.push_back(win::FullPathName(c.path));
    ::SetCurrentDirectoryW(previous);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(got[i], cases[i].full) << i;
}

TEST(FilePath, ALongPathGetsThePrefixAndOpensWithTrailingSpaces)
{
    test::CTempFolder folder;
    const std::wstring deep = test::DeepFolder(folder.Path(), 300);
    const std::wstring file = deep + L"\\f.txt";
    test::WriteFileBytes(file, "deep");
    EXPECT_EQ(win::FileSystemPath(file), L"\\\\?\\" + file);
    EXPECT_EQ(win::FileSystemPath(folder / L"f.txt"), folder / L"f.txt");
    // Behind the prefix the file system would keep the spaces; the full path has none left.
    const std::wstring listed = deep + L"\\x\\..\\f.txt  ";
    EXPECT_EQ(win::FileSystemPath(listed), L"\\\\?\\" + file);
    EXPECT_EQ(test::ReadFileBytes(listed), "deep");
}

} // namespace
