// SFV reading never fails on any bytes, and everything it reports comes from the text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/SfvReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring text = kavrin::DecodeSfvBytes(bytes);
    const kavrin::SfvContent content = kavrin::ParseSfvText(text);
    for (const kavrin::SfvEntry& entry : content.entries) {
        if (text.find(entry.name) == std::wstring::npos || text.find(entry.checksum) == std::wstring::npos)
            std::abort();
        // The checksum text never holds a space, and a name never ends a line with blanks trimmed away.
        if (entry.checksum.find(L' ') != std::wstring::npos)
            std::abort();
    }
    if (!content.comments.empty() && content.comments.front() != L';')
        std::abort();
    return 0;
}
