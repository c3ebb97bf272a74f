// End to end under Wine: the real Create dialog, driven in-process, lists one folder (dropped on
// its list as the shell drops it) into a new SFV file with its real creation run and progress
// dialog. Prints how long the Create press took: counting, hashing, writing, and the answer to
// the closing message.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "TestSupport.h"
#include "app/AppArgs.h"
#include "create/CreateSupport.h"
#include "create/KavrinCreate.h"
#include "res/resource.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fputs("usage: kavrin_create_bench FOLDER NEW.sfv\n", stderr);
        return 2;
    }
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    wchar_t* programArgs[] = {argv[0]};
    CAppArgs::Instance()->argv = programArgs;
    CAppArgs::Instance()->argc = 1;
    // The closing message ("created successfully" or the error) is answered OK at once.
    test::CMessageBoxAnswerer answerer(IDOK, true);

    const std::wstring folder = argv[1], sfv = argv[2];
    double seconds = 0;
    bool succeeded = false;
    CKavrinCreate dialog;
    test::RunDialog(
        dialog,
        [&](HWND hwnd) {
            test::Drop(hwnd, {folder});
            ::SetDlgItemTextW(hwnd, IDC_SFV_PATH, sfv.c_str());
            LARGE_INTEGER frequency, t0, t1;
            ::QueryPerformanceFrequency(&frequency);
            ::QueryPerformanceCounter(&t0);
            // Returns once the run has ended and its message has been answered.
            ::SendMessageW(::GetDlgItem(hwnd, IDOK), BM_CLICK, 0, 0);
            ::QueryPerformanceCounter(&t1);
            seconds = static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(frequency.QuadPart);
            const auto boxes = answerer.Seen();
            succeeded = !boxes.empty() && boxes.back().text == L"The SFV file was created successfully.";
            if (!succeeded)
                ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        },
        24 * 3600 * 1000);
    CAppArgs::Instance()->argv = nullptr;
    CAppArgs::Instance()->argc = 0;
    std::printf("run_s=%.6f created=%d\n", seconds, succeeded ? 1 : 0);
    return succeeded ? 0 : 3;
}
