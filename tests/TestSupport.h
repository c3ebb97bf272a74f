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

// Creates a folder and the folders above it, at any length of its path.
void CreateFolders(const std::wstring& path);
// Writes bytes to a file, creating its folder chain first; paths of any length.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Reads a whole file, at any length of its path; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);

// Runs dialog modally. Once its window is visible, drive(hwnd) runs on this thread from a timer;
// drive must end the dialog. After timeoutMs the dialog is ended with IDABORT, and the result
// tells so.
INT_PTR RunDialog(win::CDialog& dialog, const std::function<void(HWND)>& drive,
                  DWORD timeoutMs = 10000);

// Processes this thread's messages until done() or the time-out; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// Runs fn once on this thread from whatever message loop runs there after delayMs; repeats
// every delayMs while fn returns false. Keys posted before it are handled by the dialog manager
// first, which a loop of the test's own would not do.
void RunLater(DWORD delayMs, std::function<bool()> fn);

// The program under test, next to the test program.
std::wstring ProductPath();

// A message box as it was shown.
struct MessageBoxSeen {
    std::wstring caption;
    std::wstring text;
    HICON icon = nullptr;  // the icon it shows, compare with LoadIconW(nullptr, IDI_ERROR)
    HWND owner = nullptr;
    DWORD threadId = 0;
    std::vector<int> buttons;  // which of IDOK, IDCANCEL, IDYES, IDNO it has, in that order
};

// Answers every message box of this thread (and, when asked, of this process's other threads)
// by clicking a button, and records them. Common dialogs and the program's own dialogs are left
// alone.
class CMessageBoxAnswerer {
public:
    explicit CMessageBoxAnswerer(int button = IDOK, bool otherThreadsToo = false);
    ~CMessageBoxAnswerer();
    CMessageBoxAnswerer(const CMessageBoxAnswerer&) = delete;
    CMessageBoxAnswerer& operator=(const CMessageBoxAnswerer&) = delete;

    // Runs on the box's thread after the click has been posted.
    std::function<void(const MessageBoxSeen&)> onShown;
    // Every box so far, in order.
    std::vector<MessageBoxSeen> Seen() const;

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    void Answer(HWND box);
    static DWORD WINAPI PollProc(void* param);

    int m_nButton;
    HHOOK m_hHook = nullptr;
    HANDLE m_hPoller = nullptr;
    HANDLE m_hStop = nullptr;
    mutable CRITICAL_SECTION m_lock;
    std::vector<MessageBoxSeen> m_seen;
    std::vector<HWND> m_answered;
};

// A shell drop of the given paths, as the shell hands it to WM_DROPFILES (wide DROPFILES in
// movable global memory). The receiver frees it with DragFinish.
HDROP MakeDrop(const std::vector<std::wstring>& paths);

// Writes a shell shortcut file to target through the shell-link object; false on failure.
bool MakeShortcut(const std::wstring& linkPath, const std::wstring& target);

// A path below base of at least length characters, made of folder names of about 50 characters
// (nothing is created).
std::wstring DeepFolder(const std::wstring& base, std::size_t length);

// Writes a shortcut file whose target is only a local path in its link-info block (ANSI), byte by
// byte: Wine's shell-link object saves no target longer than MAX_PATH, but reads one.
bool MakeLinkInfoShortcut(const std::wstring& linkPath, const std::string& target);

// A top-level dialog window (#32770) of this process with the given caption, or null.
HWND FindOwnDialog(const wchar_t* caption);

// The text of a control.
std::wstring ItemText(HWND dialog, int id);

} // namespace test
