// Process entry: start-up in its fixed order, then the main window's modal run.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/AppArgs.h"
#include "app/KavrinDlg.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);

    CAppArgs* args = CAppArgs::Instance();
    args->argv = ::CommandLineToArgvW(::GetCommandLineW(), &args->argc);

    auto* dialog = new CKavrinDlg;
    dialog->DoModal(nullptr);

    // CommandLineToArgvW's vector is one block from the local heap.
    ::LocalFree(args->argv);
    CAppArgs::Release();
    delete dialog;
    return 0;
}
