// The creation run: hashes every file below the Create dialog's rows and writes the SFV file.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "app/AppArgs.h"
#include "engine/FileCrc.h"
#include "engine/FolderWalk.h"
#include "win/WorkerThread.h"

class CKavrinCreate;
class CKavrinProgress;

class CCreateThread : public win::CWorkerThread, private kavrin::CFolderWalk::IVisitor {
public:
    // Sets the Create dialog's m_nRunResult to 0 and hands the progress dialog the abort flag.
    // The two dialogs, the flag and the release event (which ends a paused wait when the run
    // must end) belong to the caller and must outlive the thread.
    CCreateThread(CKavrinCreate* pCreateDlg, CKavrinProgress* pProgress, std::atomic<bool>& bAbort,
                  HANDLE hRelease);
    // Tells the progress dialog to close. Public for a thread that could not be created; a
    // running thread deletes its object itself.
    ~CCreateThread() override;

protected:
    // The whole run; the progress dialog is told to close when the object goes.
    bool InitInstance() override;

private:
    bool IsStopped() override;
    void OnFile(const std::wstring& path) override { AddFile(path); }
    void OnFailure(const std::wstring& path) override;

    void AddPath(const std::wstring& path);
    void AddFile(const std::wstring& path);
    std::wstring RowPath(int row) const;
    int RowCount() const;
    void Fail();
    bool WriteSfvFile();

    std::wstring m_strContent;
    std::wstring m_strSfvFolder;
    std::wstring m_strSfvPath;
    CKavrinCreate* m_pCreateDlg;
    CKavrinProgress* m_pProgress;
    CAppArgs* m_pArgs;
    std::atomic<bool>& m_bAbort;
    HANDLE m_hRelease;
    kavrin::CFolderWalk* m_pWalk = nullptr;
    kavrin::CRunControl* m_pControl = nullptr;
    std::vector<std::uint8_t> m_buffer;
};
