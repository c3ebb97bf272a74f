// The version file from a server we do not control: any bytes, in any pieces, give a verdict,
// never more than the bounded body, and a message only for our own product.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/VersionFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kavrin::CVersionFileBody body;
    std::size_t pos = 0;
    bool kept = true;
    while (pos < size && kept) {
        const std::size_t piece = 1 + data[pos] % 64;
        const std::size_t take = piece < size - pos ? piece : size - pos;
        kept = body.AppendPiece(reinterpret_cast<const char*>(data + pos), take);
        pos += take;
    }
    if (body.Bytes().size() > kavrin::kMaxVersionFileBytes)
        std::abort();
    std::wstring text;
    for (char c : body.Bytes())
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    const kavrin::CUpdateFinding finding = kavrin::JudgeVersionFile(text, L"1.0.0.1");
    // The product name matches ignoring case; its key does not.
    std::wstring lower = text;
    for (wchar_t& c : lower)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c + 32);
    const bool ours = lower.find(L"product=kavrin") != std::wstring::npos;
    if (finding.verdict != kavrin::EUpdateVerdict::NotOurProduct && !ours)
        std::abort();
    if (finding.verdict == kavrin::EUpdateVerdict::OtherVersion && text.find(finding.serverVersion) == std::wstring::npos)
        std::abort();
    return 0;
}
