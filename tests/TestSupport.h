// Helpers for tests that drive real windows and files under Wine.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "win/Dialog.h"

namespace test {

// A fresh folder under the system's temporary folder, deleted with its contents at the end.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;
    const std::wstring& Path() const { return m_path; }
    // Path of a name inside the folder.
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

// Writes bytes to a file, creating its folder chain first.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Reads a whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);

// Runs dialog modally. Once its window is visible, drive(hwnd) runs on this thread from a timer;
// drive must end the dialog. After timeoutMs the dialog is ended with IDABORT, and the result
// tells so.
INT_PTR RunDialog(win::CDialog& dialog, const std::function<void(HWND)>& drive,
                  DWORD timeoutMs = 10000);

// Processes this thread's messages until done() or the time-out; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// Answers the message boxes that one thread shows while this object lives, through a WH_CBT
// hook on that thread: each box is recorded and its button clicked. The program's own dialogs
// are left alone.
class CMessageBoxAnswerer {
public:
    struct CSeenBox {
        std::wstring caption;
        std::wstring text;         // the text of the box's static control 0xFFFF
        HWND owner;                // null for a box of no window
        std::vector<int> buttons;  // which of IDOK, IDCANCEL, IDYES, IDNO it has, in that order
        UINT icon;                 // MB_ICONERROR, MB_ICONQUESTION, ... as shown; 0 for none
    };
    // Clicks button (IDYES, IDNO, IDOK...) in every box that threadId (default: this thread)
    // shows. threadId must belong to this process.
    explicit CMessageBoxAnswerer(int button, DWORD threadId = ::GetCurrentThreadId());
    ~CMessageBoxAnswerer();
    CMessageBoxAnswerer(const CMessageBoxAnswerer&) = delete;
    CMessageBoxAnswerer& operator=(const CMessageBoxAnswerer&) = delete;

    // The boxes seen so far, in order.
    std::vector<CSeenBox> Seen() const;

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);

    int m_nButton;
    DWORD m_dwThreadId;
    HHOOK m_hHook = nullptr;
    std::vector<CSeenBox> m_seen;
    std::vector<HWND> m_answered;
};

// The program under test, next to the test program.
std::wstring ProductPath();

// Builds a drop of the given paths as the shell hands it over (a DROPFILES block).
HDROP MakeDrop(const std::vector<std::wstring>& paths);

} // namespace test
