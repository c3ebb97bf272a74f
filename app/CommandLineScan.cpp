#include "app/CommandLineScan.h"

#include "engine/TextCase.h"

namespace kavrin {

bool HasSfvExtension(std::wstring_view path)
{
    if (path.size() > 4)
        path.remove_prefix(path.size() - 4);
    return EqualsNoCase(path, L".sfv");
}

int FindSfvArgument(const wchar_t* const* argv, int argc)
{
    if (argv == nullptr)
        return -1;
    for (int i = 0; i < argc; ++i)
        if (argv[i] != nullptr && HasSfvExtension(argv[i]))
            return i;
    return -1;
}

} // namespace kavrin
