// Reading an SFV file from disk.
#pragma once
#include <windows.h>

#include <string>

#include "engine/SfvReader.h"
#include "win/Handle.h"

namespace kavrin {

class CSfvFileReader {
public:
    // Opens the file, at any length of its path, for reading while others may read and write it;
    // false when it cannot.
    bool Open(const std::wstring& path);
    // The opened file's full path.
    const std::wstring& FullPath() const { return m_strFullPath; }
    // Reads and parses the whole file. False on a read error: Content() then holds the lines
    // that were read completely before it.
    bool ReadAll();
    const SfvContent& Content() const { return m_content; }

private:
    win::CFileHandle m_hFile;
    std::wstring m_strFullPath;
    SfvContent m_content;
};

} // namespace kavrin
