// What the platform charges the runs for the things they must do on every read and every update:
// a synchronous update of a control on the user-interface thread from a worker, and a wait on a
// signalled named manual-reset event (the pause event). Run under Wine to see Wine's costs.
// Optionally also one 64 KiB ReadFile of a page-cached file, for scale.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kBatches = 7;

double Now()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Median over the batches of the mean time of one call, in microseconds.
double MicrosecondsPerCall(int calls, const std::function<void(int)>& call)
{
    std::vector<double> batches;
    for (int b = 0; b < kBatches; ++b) {
        const double start = Now();
        for (int i = 0; i < calls; ++i)
            call(i);
        batches.push_back((Now() - start) * 1e6 / calls);
    }
    std::sort(batches.begin(), batches.end());
    return batches[batches.size() / 2];
}

void Print(const char* what, int calls, double us)
{
    std::printf("%-62s %9.2f us/call (median of %d batches of %d)\n", what, us, kBatches, calls);
    std::fflush(stdout);
}

struct Controls {
    HWND bar = nullptr;
    HWND label = nullptr;
    DWORD uiThread = 0;
    const wchar_t* readPath = nullptr;
};

DWORD WINAPI Worker(void* param)
{
    const Controls& c = *static_cast<Controls*>(param);
    wchar_t text[64];
    Print("cross-thread SendMessageW(PBM_SETPOS)", 5000,
          MicrosecondsPerCall(5000, [&](int i) { ::SendMessageW(c.bar, PBM_SETPOS, i % 101, 0); }));
    Print("cross-thread SetWindowTextW(label)", 5000, MicrosecondsPerCall(5000, [&](int i) {
              wsprintfW(text, L"Current file (%d%%)", i % 101);
              ::SetWindowTextW(c.label, text);
          }));

    const HANDLE pause = ::CreateEventW(nullptr, TRUE, TRUE, L"KavrinBenchPauseEvent");
    const HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE both[2] = {pause, release};
    Print("WaitForMultipleObjects(pause, release), pause signalled", 20000,
          MicrosecondsPerCall(20000, [&](int) { ::WaitForMultipleObjects(2, both, FALSE, INFINITE); }));
    Print("WaitForSingleObject(pause), signalled", 20000,
          MicrosecondsPerCall(20000, [&](int) { ::WaitForSingleObject(pause, INFINITE); }));
    ::CloseHandle(release);
    ::CloseHandle(pause);

    if (c.readPath) {
        std::vector<char> buffer(65536);
        HANDLE file = ::CreateFileW(c.readPath, FILE_READ_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            Print("ReadFile 64 KiB, page-cached, sequential", 4000, MicrosecondsPerCall(4000, [&](int) {
                      DWORD got = 0;
                      if (!::ReadFile(file, buffer.data(), 65536, &got, nullptr) || got == 0)
                          ::SetFilePointer(file, 0, nullptr, FILE_BEGIN);
                  }));
            ::CloseHandle(file);
        }
    }
    ::PostThreadMessageW(c.uiThread, WM_QUIT, 0, 0);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    Controls c;
    const HWND parent =
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr, nullptr, nullptr);
    c.bar = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 10, parent, nullptr, nullptr,
                              nullptr);
    c.label = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 20, 200, 10, parent, nullptr, nullptr,
                                nullptr);
    ::SendMessageW(c.bar, PBM_SETRANGE32, 0, 100);
    c.uiThread = ::GetCurrentThreadId();
    c.readPath = argc > 1 ? argv[1] : nullptr;

    Print("same-thread SendMessageW(PBM_SETPOS)", 20000,
          MicrosecondsPerCall(20000, [&](int i) { ::SendMessageW(c.bar, PBM_SETPOS, i % 101, 0); }));

    // The worker measures while this thread handles its sent messages, as a run's window does.
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    const HANDLE worker = ::CreateThread(nullptr, 0, Worker, &c, 0, nullptr);
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ::WaitForSingleObject(worker, INFINITE);
    ::CloseHandle(worker);
    ::DestroyWindow(parent);
    return 0;
}
