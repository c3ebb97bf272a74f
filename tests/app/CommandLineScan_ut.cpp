#include "app/CommandLineScan.h"

#include <gtest/gtest.h>

#include <vector>

namespace kavrin {
namespace {

TEST(CommandLineScan, FirstSfvArgumentWins)
{
    struct Case { std::vector<const wchar_t*> args; int found; };
    const Case cases[] = {
        {{L"C:\\kavrin.exe"}, -1},
        {{L"C:\\kavrin.exe", L"C:\\My Files\\Set.SFV"}, 1},
        {{L"C:\\kavrin.exe", L"notes.txt", L"a.sfv", L"b.sfv"}, 2},
        {{L"C:\\kavrin.exe", L"a.sfv.bak", L"a.sfvx", L"a.sfv "}, -1},
        {{L"C:\\kavrin.exe", L".sfv"}, 1},
        {{L"C:\\kavrin.exe", L"sfv"}, -1},
        {{L"C:\\odd.sfv", L"a.sfv"}, 0},  // the program's own path is looked at too
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindSfvArgument(c.args.data(), static_cast<int>(c.args.size())), c.found);
}

TEST(CommandLineScan, NoArgumentVector)
{
    EXPECT_EQ(FindSfvArgument(nullptr, 3), -1);
}

} // namespace
} // namespace kavrin
