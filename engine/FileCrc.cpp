#include "engine/FileCrc.h"

#include <commctrl.h>

#include <cstdio>

#include "win/FilePath.h"
#include "win/Handle.h"
#include "win/WideString.h"

namespace kavrin {

namespace {

class CWin32FileSource : public IHashSource {
public:
    explicit CWin32FileSource(HANDLE file) : m_hFile(file) {}
    bool QuerySize(std::uint64_t& size) override
    {
        LARGE_INTEGER li{};
        if (!::GetFileSizeEx(m_hFile, &li))
            return false;
        size = static_cast<std::uint64_t>(li.QuadPart);
        return true;
    }
    bool Read(std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t& bytesRead) override
    {
        DWORD got = 0;
        const BOOL ok = ::ReadFile(m_hFile, buffer, capacity, &got, nullptr);
        bytesRead = got;
        return ok != FALSE;
    }

private:
    HANDLE m_hFile;
};

} // namespace

HashOutcome ComputeFileCrc(const std::wstring& path, DWORD shareMode, IHashObserver& observer,
                           std::uint8_t* buffer)
{
    win::CFileHandle file(::CreateFileW(win::FileSystemPath(path).c_str(), FILE_READ_DATA, shareMode, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    if (!file) {
        std::fputs("Createfile failed\n", stdout);
        std::fflush(stdout);
        return {HashStatus::Failed, 0};
    }
    CWin32FileSource source(file.Get());
    return HashStream(source, observer, buffer);
}

void CRunControl::WaitWhilePaused() const
{
    const HANDLE handles[2] = {m_hPause, m_hRelease};
    const DWORD count = m_hRelease ? 2 : 1;
    if (m_hPause)
        ::WaitForMultipleObjects(count, handles, FALSE, INFINITE);
}

void CCheckHashObserver::OnStart()
{
    if (m_pShown->bRangeSet)
        return;
    ::SendMessageW(m_hBar, PBM_SETRANGE32, 0, 100);
    m_pShown->bRangeSet = true;
}

void CCheckHashObserver::OnPercent(int percent)
{
    if (percent != m_nLast)
        Push(percent);
    m_nLast = percent;
}

void CCheckHashObserver::OnFinished()
{
    Push(100);
}

void CCheckHashObserver::Push(int percent)
{
    if (percent == m_pShown->nPercent)
        return;
    m_pShown->nPercent = percent;
    ::SendMessageW(m_hBar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    ::SetWindowTextW(m_hLabel, win::Format(L"Current file (%d%%)", percent).c_str());
}

} // namespace kavrin
