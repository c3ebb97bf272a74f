// The version file on the maker's web server: collecting it and reading its two entries.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kavrin {

// The most bytes the update check takes from the server; a longer answer is not a version file.
inline constexpr std::size_t kMaxVersionFileBytes = 65536;

// The body as it arrives in pieces from the server.
class CVersionFileBody {
public:
    // Appends the piece's bytes up to its first zero byte. Returns false once more than
    // kMaxVersionFileBytes have arrived in all; the body is then to be dropped.
    bool AppendPiece(const char* data, std::size_t size);
    // The bytes kept so far.
    const std::string& Bytes() const { return m_strBytes; }

private:
    std::string m_strBytes;
    std::size_t m_nReceived = 0;
};

// The value of key (case-sensitive, first occurrence anywhere): the text after it up to the
// next CR, empty when no CR follows; no value when the key does not occur.
std::optional<std::wstring_view> FindVersionFileValue(std::wstring_view text, std::wstring_view key);

enum class EUpdateVerdict {
    NotOurProduct,  // no "product=" entry, or another product
    NoVersion,      // our product, no "version=" entry
    SameVersion,    // our product, the version text equals ours ignoring case
    OtherVersion,   // our product, another version text (higher or lower)
};

struct CUpdateFinding {
    EUpdateVerdict verdict = EUpdateVerdict::NotOurProduct;
    std::wstring serverVersion;  // the "version=" value, when there is one
};

// Judges the version file's text against the program's own version text.
CUpdateFinding JudgeVersionFile(std::wstring_view text, std::wstring_view ownVersion);

// The message telling the user that serverVersion is available.
std::wstring NewVersionMessage(std::wstring_view serverVersion);

} // namespace kavrin
