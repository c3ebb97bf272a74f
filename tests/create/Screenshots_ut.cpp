// Not a check: poses the Create dialog and the progress dialog for scripts/screenshots.sh, which
// captures the screen whenever a pose is ready. Runs only when asked for by name.
#include <gtest/gtest.h>

#include <cstdlib>

#include "create/CreateSupport.h"
#include <commctrl.h>

#include "res/resource.h"

namespace {

// Announces a pose through a file in KAVRIN_SHOTS and keeps the windows alive until the script
// has taken it.
void Pose(const std::wstring& name)
{
    const wchar_t* shots = _wgetenv(L"KAVRIN_SHOTS");
    if (!shots)
        return;
    const std::wstring ready = std::wstring(shots) + L"\\" + name + L".ready";
    const std::wstring done = std::wstring(shots) + L"\\" + name + L".done";
    test::WriteFileBytes(ready, "");
    test::PumpUntil([&] { return ::GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000);
}

TEST(DISABLED_Screenshots, CreateDialogAndProgress)
{
    test::CTempFolder folder;
    for (const wchar_t* name : {L"Holiday\\beach.jpg", L"Holiday\\dinner.jpg", L"Holiday\\notes.txt",
                                L"Holiday\\Videos\\surf.mp4"})
        test::WriteFileBytes(folder / name, std::string(8 * 65536, 'x'));
    CKavrinCreate dialog;
    test::CHoldRuns hold;
    test::CreateSfv(dialog,
                    {folder / L"Holiday\\beach.jpg", folder / L"Holiday\\dinner.jpg", folder / L"Holiday\\notes.txt",
                     folder / L"Holiday\\Videos"},
                    nullptr, [&](HWND progress, HWND) {
                        // Half-way through a file, two files done.
                        ::SetDlgItemTextW(progress, IDC_LABEL_FILE, L"Current file (43%)");
                        ::SendDlgItemMessageW(progress, IDC_PROGRESS_FILE, PBM_SETPOS, 43, 0);
                        Pose(L"progress");
                        hold.Release();
                    });
}

TEST(DISABLED_Screenshots, CreateDialogWithRows)
{
    test::CTempFolder folder;
    for (const wchar_t* name : {L"Holiday\\beach.jpg", L"Holiday\\dinner.jpg", L"Holiday\\notes.txt",
                                L"Holiday\\Videos\\surf.mp4"})
        test::WriteFileBytes(folder / name, "x");
    CKavrinCreate dialog;
    test::RunDialog(
        dialog,
        [&](HWND hwnd) {
            test::Drop(hwnd, {folder / L"Holiday\\beach.jpg", folder / L"Holiday\\dinner.jpg",
                              folder / L"Holiday\\notes.txt", folder / L"Holiday\\Videos"});
            test::RunLater(300, [hwnd] {
                Pose(L"create");
                ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
                return true;
            });
        },
        90000);
}

} // namespace
