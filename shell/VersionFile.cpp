#include "shell/VersionFile.h"

#include <cstring>

#include "engine/TextCase.h"

namespace kavrin {

bool CVersionFileBody::AppendPiece(const char* data, std::size_t size)
{
    m_nReceived += size;
    if (m_nReceived > kMaxVersionFileBytes) {
        m_strBytes.clear();
        return false;
    }
    const void* zero = std::memchr(data, 0, size);
    const std::size_t kept = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - data) : size;
    m_strBytes.append(data, kept);
    return true;
}

std::optional<std::wstring_view> FindVersionFileValue(std::wstring_view text, std::wstring_view key)
{
    const std::size_t at = text.find(key);
    if (at == std::wstring_view::npos)
        return std::nullopt;
    const std::size_t start = at + key.size();
    const std::size_t cr = text.find(L'\r', start);
    if (cr == std::wstring_view::npos)
        return std::wstring_view();
    return text.substr(start, cr - start);
}

CUpdateFinding JudgeVersionFile(std::wstring_view text, std::wstring_view ownVersion)
{
    CUpdateFinding finding;
    const auto product = FindVersionFileValue(text, L"product=");
    if (!product || !EqualsNoCase(*product, L"Kavrin"))
        return finding;
    const auto version = FindVersionFileValue(text, L"version=");
    if (!version) {
        finding.verdict = EUpdateVerdict::NoVersion;
        return finding;
    }
    finding.serverVersion = *version;
    finding.verdict = EqualsNoCase(*version, ownVersion) ? EUpdateVerdict::SameVersion : EUpdateVerdict::OtherVersion;
    return finding;
}

std::wstring NewVersionMessage(std::wstring_view serverVersion)
{
    std::wstring message = L"There are a new version available (";
    message += serverVersion;
    message += L"). Please visit the homepage and download the new version.";
    return message;
}

} // namespace kavrin
