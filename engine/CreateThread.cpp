#include "engine/CreateThread.h"

#include "create/KavrinCreate.h"
#include "create/KavrinProgress.h"
#include "engine/RelativePath.h"
#include "engine/SfvWriter.h"
#include "win/FilePath.h"
#include "win/Handle.h"
#include "win/WideString.h"

namespace {

constexpr int kAborted = -100;

// The long form of an existing path; path itself otherwise.
std::wstring LongPath(const std::wstring& path)
{
    std::wstring name, folder;
    CAppArgs::SplitLongPath(path, name, folder);
    return folder.empty() ? name : kavrin::JoinPath(folder, name);
}

} // namespace

CCreateThread::CCreateThread(CKavrinCreate* pCreateDlg, CKavrinProgress* pProgress, std::atomic<bool>& bAbort,
                             HANDLE hRelease)
    : m_pCreateDlg(pCreateDlg), m_pProgress(pProgress), m_pArgs(CAppArgs::Instance()), m_bAbort(bAbort),
      m_hRelease(hRelease)
{
    m_pCreateDlg->m_nRunResult = 0;
    m_bAbort = false;
    m_pProgress->SetAbortFlag(&m_bAbort);
}

CCreateThread::~CCreateThread()
{
    m_pProgress->PostClose();
}

bool CCreateThread::InitInstance()
{
    if (IsStopped())
        return true;
    const SYSTEMTIME today = m_pCreateDlg->Today();
    m_strContent = kavrin::SfvHeaderLine(today.wYear, today.wMonth, today.wDay);

    // Made absolute once, against the current directory as it is now: every later use of the
    // path means the same file.
    m_strSfvPath = win::FullPathName(win::GetWindowTextString(m_pCreateDlg->m_editPath));
    const auto slash = m_strSfvPath.find_last_of(L'\\');
    std::wstring fileName = m_strSfvPath;
    if (slash != std::wstring::npos) {
        m_strSfvFolder = m_strSfvPath.substr(0, slash);
        fileName = m_strSfvPath.substr(slash + 1);
    }
    if (!m_strSfvFolder.empty() && m_strSfvFolder.back() == L':')
        m_strSfvFolder += L'\\';
    // Files come with long-form folders; a typed short form must compare equal to them.
    m_strSfvFolder = LongPath(m_strSfvFolder);
    if (!::SetCurrentDirectoryW(m_strSfvFolder.c_str()))
        ::MessageBoxW(nullptr, L"Could not set current directory. Check may fail.", L"Kavrin", MB_OK);

    // The file being written is never listed in itself.
    kavrin::CFolderWalk walk(LongPath(kavrin::JoinPath(m_strSfvFolder, fileName)));
    kavrin::CRunControl control(m_bAbort, m_pProgress->PauseEvent(), m_hRelease);
    m_pWalk = &walk;
    m_pControl = &control;
    m_buffer.resize(kavrin::kChunkSize);

    int total = 0;
    const auto stopped = [this] { return IsStopped(); };
    for (int row = 0; row < RowCount() && !IsStopped(); ++row)
        total += walk.Count(RowPath(row), stopped);
    if (!IsStopped())
        m_pProgress->SetFileCount(total);

    for (int row = 0; row < RowCount() && !IsStopped(); ++row)
        AddPath(RowPath(row));

    if (!IsStopped() && !WriteSfvFile())
        Fail();
    m_pWalk = nullptr;
    m_pControl = nullptr;
    return true;
}

bool CCreateThread::IsStopped()
{
    if (m_bAbort.load(std::memory_order_relaxed))
        m_pCreateDlg->m_nRunResult = kAborted;
    return m_pCreateDlg->m_nRunResult == kAborted;
}

void CCreateThread::Fail()
{
    if (m_pCreateDlg->m_nRunResult != kAborted)
        ++m_pCreateDlg->m_nRunResult;
}

void CCreateThread::OnFailure(const std::wstring&)
{
    Fail();
}

void CCreateThread::AddPath(const std::wstring& path)
{
    m_pWalk->Walk(path, *this);
}

void CCreateThread::AddFile(const std::wstring& path)
{
    std::wstring name, folder;
    m_pArgs->SplitLongPath(path, name, folder);
    const std::wstring form = kavrin::SfvPathForm(m_strSfvFolder, folder, name);
    if (!kavrin::IsSfvEncodable(form)) {
        // A name with a surrogate outside a pair (NTFS allows it) has no UTF-8 form: left out
        // rather than written as a substitute character.
        Fail();
        m_pProgress->FileFinished();
        return;
    }
    kavrin::CCreateHashObserver observer(*m_pControl, *m_pProgress);
    const kavrin::HashOutcome outcome =
        kavrin::ComputeFileCrc(path, FILE_SHARE_READ | FILE_SHARE_WRITE, observer, m_buffer.data());
    if (outcome.status == kavrin::HashStatus::Aborted) {
        m_pCreateDlg->m_nRunResult = kAborted;
        return;
    }
    std::uint32_t crc = outcome.crc;
    if (outcome.status == kavrin::HashStatus::Failed) {
        crc = 0xFFFFFFFFu;
        Fail();
    }
    m_strContent += kavrin::SfvEntryLine(form, crc);
    m_pProgress->FileFinished();
}

int CCreateThread::RowCount() const
{
    return m_pCreateDlg->m_list.GetItemCount();
}

std::wstring CCreateThread::RowPath(int row) const
{
    return kavrin::JoinPath(m_pCreateDlg->m_list.GetItemText(row, 1), m_pCreateDlg->m_list.GetItemText(row, 0));
}

bool CCreateThread::WriteSfvFile()
{
    std::string bytes;
    if (!kavrin::EncodeSfvText(m_strContent, bytes))
        return false;
    // A read-only file is not to be replaced. Windows refuses the replacing move below anyway;
    // Wine run as root would not, so the rule is kept here for both.
    const DWORD attributes = ::GetFileAttributesW(m_strSfvPath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    // The new text goes to a file beside the target first, so that a failed write never costs
    // the existing file.
    std::wstring temp;
    win::CFileHandle file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temp = win::FileSystemPath(
            win::Format(L"%ls.%lu-%d.tmp", m_strSfvPath.c_str(), ::GetCurrentThreadId(), attempt));
        file.Reset(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        if (!file && ::GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    if (!file)
        return false;
    DWORD done = 0;
    const bool written =
        (bytes.empty()
         || (::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr)
             && done == bytes.size()))
        && ::FlushFileBuffers(file.Get());
    file.Reset();
    if (written && !IsStopped()
        && ::MoveFileExW(temp.c_str(), win::FileSystemPath(m_strSfvPath).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    ::DeleteFileW(temp.c_str());
    return false;
}
