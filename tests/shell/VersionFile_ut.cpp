#include "shell/VersionFile.h"

#include <gtest/gtest.h>

namespace kavrin {
namespace {

TEST(VersionFile, KeysAndValues)
{
    struct Case { std::wstring text; const wchar_t* key; std::optional<std::wstring> value; };
    const Case cases[] = {
        {L"product=Kavrin\r\nversion=1.2\r\n", L"product=", L"Kavrin"},
        {L"product=Kavrin\r\nversion=1.2\r\n", L"version=", L"1.2"},
        {L"product=Kavrin\nversion=1.2\n", L"product=", L""},      // no CR anywhere: empty
        {L"product=Kavrin\nversion=1.2\r\n", L"product=", L"Kavrin\nversion=1.2"},
        {L"Product=Kavrin\r\n", L"product=", std::nullopt},         // the key is case-sensitive
        {L"xxproduct=Kavrin\r\nproduct=Other\r\n", L"product=", L"Kavrin"},  // first occurrence
        {L"version= 1.2 \r\n", L"version=", L" 1.2 "},              // spaces belong to the value
        {L"product=Kavrin\r\nversion=1.2", L"version=", L""},       // last line without CR
        {L"version=\r", L"version=", L""},
        {L"", L"version=", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << " in case " << (&c - cases));
        const auto value = FindVersionFileValue(c.text, c.key);
        ASSERT_EQ(value.has_value(), c.value.has_value());
        if (value) {
            EXPECT_EQ(std::wstring(*value), *c.value);
        }
    }
}

TEST(VersionFile, Verdicts)
{
    struct Case { std::wstring text; EUpdateVerdict verdict; std::wstring serverVersion; };
    const Case cases[] = {
        {L"product=Kavrin\r\nversion=1.0.0.1\r\n", EUpdateVerdict::SameVersion, L"1.0.0.1"},
        {L"product=Kavrin\r\nversion=1.0.0.2\r\n", EUpdateVerdict::OtherVersion, L"1.0.0.2"},
        {L"product=Kavrin\r\nversion=0.9\r\n", EUpdateVerdict::OtherVersion, L"0.9"},  // older counts too
        {L"product=KAVRIN\r\nversion=2\r\n", EUpdateVerdict::OtherVersion, L"2"},
        {L"product=Kavrin \r\nversion=2\r\n", EUpdateVerdict::NotOurProduct, L""},
        {L"product=Kavrin\nversion=2\n", EUpdateVerdict::NotOurProduct, L""},
        {L"product=Other\r\nversion=2\r\n", EUpdateVerdict::NotOurProduct, L""},
        {L"version=2\r\n", EUpdateVerdict::NotOurProduct, L""},
        {L"product=Kavrin\r\n", EUpdateVerdict::NoVersion, L""},
        {L"product=Kavrin\r\nversion=", EUpdateVerdict::OtherVersion, L""},
        {L"<p>product=Kavrin\r\n<p>version=1.0.0.1\r\n", EUpdateVerdict::SameVersion, L"1.0.0.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        const CUpdateFinding finding = JudgeVersionFile(c.text, L"1.0.0.1");
        EXPECT_EQ(finding.verdict, c.verdict);
        EXPECT_EQ(finding.serverVersion, c.serverVersion);
    }
}

TEST(VersionFile, VersionComparisonIgnoresCase)
{
    EXPECT_EQ(JudgeVersionFile(L"product=Kavrin\r\nversion=1.0-RC\r\n", L"1.0-rc").verdict,
              EUpdateVerdict::SameVersion);
    // An unreadable own version is empty: any server text other than empty differs.
    EXPECT_EQ(JudgeVersionFile(L"product=Kavrin\r\nversion=1\r\n", L"").verdict, EUpdateVerdict::OtherVersion);
}

TEST(VersionFile, PiecesAreCutAtTheirFirstZeroByte)
{
    CVersionFileBody body;
    EXPECT_TRUE(body.AppendPiece("abc\0def", 7));
    EXPECT_TRUE(body.AppendPiece("ghi", 3));
    EXPECT_TRUE(body.AppendPiece("\0jkl", 4));
    EXPECT_TRUE(body.AppendPiece("mno", 3));
    EXPECT_EQ(body.Bytes(), "abcghimno");
}

TEST(VersionFile, BodyIsDroppedPastTheBound)
{
    const std::string piece(400, 'x');
    CVersionFileBody body;
    std::size_t total = 0;
    while (total + piece.size() <= kMaxVersionFileBytes) {
        ASSERT_TRUE(body.AppendPiece(piece.data(), piece.size()));
        total += piece.size();
    }
    // Up to the bound exactly is still accepted; one byte more is not.
    const std::size_t rest = kMaxVersionFileBytes - total;
    ASSERT_TRUE(body.AppendPiece(piece.data(), rest));
    EXPECT_EQ(body.Bytes().size(), kMaxVersionFileBytes);
    EXPECT_FALSE(body.AppendPiece("y", 1));
    EXPECT_TRUE(body.Bytes().empty());
    EXPECT_FALSE(body.AppendPiece("z", 1));
}

TEST(VersionFile, ZeroBytesCountTowardsTheBound)
{
    const std::string zeros(kMaxVersionFileBytes, '\0');
    CVersionFileBody body;
    ASSERT_TRUE(body.AppendPiece(zeros.data(), zeros.size()));
    EXPECT_FALSE(body.AppendPiece("product=Kavrin\r\n", 16));
}

TEST(VersionFile, MessageText)
{
    EXPECT_EQ(NewVersionMessage(L"2.0"),
              L"There are a new version available (2.0). Please visit the homepage and download the new version.");
    EXPECT_EQ(NewVersionMessage(L""),
              L"There are a new version available (). Please visit the homepage and download the new version.");
}

} // namespace
} // namespace kavrin
