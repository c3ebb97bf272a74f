#include "engine/SfvFile.h"

#include <vector>

#include "win/FilePath.h"

namespace kavrin {

bool CSfvFileReader::Open(const std::wstring& path)
{
    m_hFile.Reset(::CreateFileW(win::FileSystemPath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!m_hFile)
        return false;
    m_strFullPath = win::FullPathName(path);
    return true;
}

bool CSfvFileReader::ReadAll()
{
    std::string bytes;
    std::vector<char> chunk(65536);
    bool ok = true;
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(m_hFile.Get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        bytes.append(chunk.data(), got);
    }
    m_hFile.Reset();
    m_content = ok ? ReadSfv(bytes) : ReadSfvCompleteLines(bytes);
    return ok;
}

} // namespace kavrin
