// End to end under Wine: the real main window, driven in-process, loads an SFV file and verifies
// every listed file with its real run and observers. Prints how long loading and the run took.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>

#include "TestSupport.h"
#include "app/AppArgs.h"
#include "app/KavrinDlg.h"
#include "engine/CrcPaths.h"
#include "res/resource.h"
#include "win/ListView.h"

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Handles messages, sent ones included, until the window's run has ended.
void PumpUntilRunEnds(const CKavrinDlg& dialog)
{
    while (dialog.HasCurrentRun()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

// What each control update of a run costs on the real window after a run, sent from a worker thread
// as the run sends them, over the list's first rows.
struct ProbeTargets {
    HWND list, fileBar, fileLabel, totalBar, totalLabel;
    int rows;
};

DWORD WINAPI Probe(void* param)
{
    const ProbeTargets& t = *static_cast<ProbeTargets*>(param);
    const win::CListView list(t.list);
    const int rows = t.rows < 500 ? t.rows : 500;
    if (rows == 0)
        return 0;
    const auto time = [&](const char* what, const std::function<void(int)>& call) {
        LARGE_INTEGER t0, t1;
        ::QueryPerformanceCounter(&t0);
        for (int n = 0; n < rows; ++n)
            call(n);
        ::QueryPerformanceCounter(&t1);
        std::printf("probe %-44s %9.1f us/call (%d calls)\n", what, Seconds(t0, t1) * 1e6 / rows, rows);
    };
    time("LVM_GETITEMCOUNT", [&](int) { list.GetItemCount(); });
    time("GetItemText(row, 0)", [&](int n) { list.GetItemText(n, 0); });
    time("LVM_SETITEMW image", [&](int n) { list.SetItemImage(n, 0); });
    time("LVM_ENSUREVISIBLE", [&](int n) { list.EnsureVisible(n); });
    time("SetWindowTextW total label", [&](int n) {
        ::SetWindowTextW(t.totalLabel, (L"Total progress (" + std::to_wstring(n) + L" of 10000 files)").c_str());
    });
    time("PBM_SETPOS total bar", [&](int n) { ::SendMessageW(t.totalBar, PBM_SETPOS, n, 0); });
    time("PBM_SETPOS file bar, value changes", [&](int n) { ::SendMessageW(t.fileBar, PBM_SETPOS, n % 2 ? 100 : 50, 0); });
    time("PBM_SETPOS file bar, same value", [&](int) { ::SendMessageW(t.fileBar, PBM_SETPOS, 100, 0); });
    time("SetWindowTextW file label, same text", [&](int) { ::SetWindowTextW(t.fileLabel, L"Current file (100%)"); });
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const bool probe = argc == 3 && std::wstring(argv[2]) == L"--probe";
    if (argc != 2 && !probe) {
        std::fputs("usage: kavrin_verify_bench FILE.sfv [--probe]\n", stderr);
        return 2;
    }
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    // No argument for the window itself: the harness loads the file, so it can time the load.
    wchar_t* windowArgs[] = {argv[0]};
    CAppArgs::Instance()->argv = windowArgs;
    CAppArgs::Instance()->argc = 1;
    // An association question, should the prefix not have the association yet, is answered No.
    test::CMessageBoxAnswerer answerer(IDNO);

    const std::wstring sfv = argv[1];
    double load = 0, run = 0;
    int rows = 0, intact = 0;
    CKavrinDlg dialog;
    const INT_PTR result = test::RunDialog(
        dialog,
        [&](HWND hwnd) {
            LARGE_INTEGER t0, t1, t2;
            ::QueryPerformanceCounter(&t0);
            dialog.LoadSfv(sfv);
            ::QueryPerformanceCounter(&t1);
            PumpUntilRunEnds(dialog);
            ::QueryPerformanceCounter(&t2);
            load = Seconds(t0, t1);
            run = Seconds(t1, t2);
            const win::CListView list(::GetDlgItem(hwnd, IDC_RESULTS));
            rows = list.GetItemCount();
            for (int i = 0; i < rows; ++i)
                intact += list.GetItemImage(i) == 0 ? 1 : 0;
            if (probe) {
                ProbeTargets targets{list.GetSafeHwnd(), ::GetDlgItem(hwnd, IDC_PROGRESS_FILE),
                                     ::GetDlgItem(hwnd, IDC_LABEL_FILE), ::GetDlgItem(hwnd, IDC_PROGRESS_TOTAL),
                                     ::GetDlgItem(hwnd, IDC_LABEL_TOTAL), rows};
                const HANDLE worker = ::CreateThread(nullptr, 0, Probe, &targets, 0, nullptr);
                while (::MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
                    MSG msg;
                    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                        ::TranslateMessage(&msg);
                        ::DispatchMessageW(&msg);
                    }
                }
                ::CloseHandle(worker);
            }
            ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, BN_CLICKED), 0);
        },
        24 * 3600 * 1000);
    CAppArgs::Instance()->argv = nullptr;
    CAppArgs::Instance()->argc = 0;
    if (result == IDABORT)
        return 1;
    std::printf("path=%s load_s=%.6f run_s=%.6f rows=%d intact=%d\n", kavrin::CrcPathName(kavrin::ActiveCrcPath()),
                load, run, rows, intact);
    return intact == rows ? 0 : 3;
}
