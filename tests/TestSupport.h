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

// The program under test, next to the test program.
std::wstring ProductPath();

// Answers every message box with the given caption that this thread shows while the object
// lives: the box's text is recorded and the button `answer` (IDOK, IDYES, IDNO) is clicked.
class CMessageBoxAnswerer {
public:
    explicit CMessageBoxAnswerer(int answer = IDOK, const wchar_t* caption = L"Kavrin");
    ~CMessageBoxAnswerer();
    CMessageBoxAnswerer(const CMessageBoxAnswerer&) = delete;
    CMessageBoxAnswerer& operator=(const CMessageBoxAnswerer&) = delete;

    std::vector<std::wstring> m_texts;  // in the order the boxes came up
    std::vector<UINT> m_icons;          // MB_ICONERROR etc. as far as the box shows one, else 0

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    int m_nAnswer;
    std::wstring m_strCaption;
    HHOOK m_hHook;
    CMessageBoxAnswerer* m_pOuter;
};

// Builds a drop of the given paths as the shell hands it over (a DROPFILES block).
HDROP MakeDrop(const std::vector<std::wstring>& paths);

} // namespace test
