#include "engine/SizeText.h"

#include <gtest/gtest.h>

namespace kavrin {
namespace {

TEST(SizeText, KibibytesRoundedUpAndGrouped)
{
    struct Case { std::int64_t size; const wchar_t* text; };
    const Case cases[] = {
        {0, L"0 kB"},
        {1, L"1 kB"},
        {1024, L"1 kB"},
        {1025, L"2 kB"},
        {1024 * 999, L"999 kB"},
        {1048576, L"1 024 kB"},
        {1500000000, L"1 464 844 kB"},
        {6442450944LL, L"6 291 456 kB"},
        {1024LL * 123456789, L"123 456 789 kB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatSizeText(c.size), c.text) << c.size;
}

} // namespace
} // namespace kavrin
