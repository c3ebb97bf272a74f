// The path forms written into SFV files: a relative path leads from the SFV file's folder back
// to the file's folder, and every form ends with the file's name.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzText.h"
#include "engine/RelativePath.h"
#include "engine/TextCase.h"

namespace {

// Resolves "." and ".." components of a backslash path with a drive root ("D:\...").
std::wstring Normalise(const std::wstring& path)
{
    std::vector<std::wstring> parts;
    std::wstring part;
    for (std::size_t i = 2; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == L'\\') {
            if (part == L"..") {
                if (!parts.empty())
                    parts.pop_back();
            } else if (!part.empty() && part != L".") {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part.push_back(path[i]);
        }
    }
    std::wstring out = path.substr(0, 2);
    for (const auto& p : parts)
        out += L"\\" + p;
    return out;
}

// A plain absolute folder: "X:" then components without "." or "..".
bool IsPlainFolder(const std::wstring& path)
{
    if (path.size() < 2 || path[1] != L':' || path[0] == L'\\')
        return false;
    std::wstring part;
    for (std::size_t i = 2; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == L'\\') {
            if (part == L"." || part == L"..")
                return false;
            part.clear();
        } else {
            part.push_back(path[i]);
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::wstring> texts = fuzz::SplitTexts(data, size, 3);
    const std::wstring& sfvFolder = texts[0];
    const std::wstring& fileFolder = texts[1];
    const std::wstring& name = texts[2];

    const std::wstring form = kavrin::SfvPathForm(sfvFolder, fileFolder, name);
    if (form.size() < name.size() || form.compare(form.size() - name.size(), name.size(), name) != 0)
        std::abort();

    const auto relative = kavrin::RelativeFolderPath(sfvFolder, fileFolder);
    if (!relative)
        return 0;
    if (relative->empty() || (*relative)[0] != L'.')
        std::abort();
    if (IsPlainFolder(sfvFolder) && IsPlainFolder(fileFolder)
        && !kavrin::EqualsNoCase(Normalise(sfvFolder + L"\\" + *relative), Normalise(fileFolder)))
        std::abort();
    return 0;
}
