// Starting kavrin.exe as its own process: the window comes up narrowed and centred and the
// program ends when the window closes.
#include <windows.h>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "res/resource.h"
#include "win/Handle.h"
#include "win/WideString.h"

namespace {

struct FindData {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM param)
{
    auto* data = reinterpret_cast<FindData*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == data->pid && ::IsWindowVisible(hwnd) && win::GetWindowTextString(hwnd) == L"Kavrin") {
        data->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForMainWindow(DWORD pid)
{
    FindData data{pid, nullptr};
    for (int i = 0; i < 400 && !data.found; ++i) {
        ::EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&data));
        if (!data.found)
            ::Sleep(25);
    }
    return data.found;
}

TEST(Startup, WindowOpensNarrowedAndCentredAndExitEndsTheProcess)
{
    std::wstring commandLine = L"\"" + test::ProductPath() + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &si, &pi));
    win::CHandle process(pi.hProcess);
    win::CHandle thread(pi.hThread);

    const HWND window = WaitForMainWindow(pi.dwProcessId);
    ASSERT_NE(window, nullptr);
    RECT rc{};
    ::GetWindowRect(window, &rc);
    EXPECT_EQ(rc.right - rc.left, 396);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info);
    const int centreX = (info.rcWork.left + info.rcWork.right) / 2;
    const int centreY = (info.rcWork.top + info.rcWork.bottom) / 2;
    EXPECT_NEAR((rc.left + rc.right) / 2, centreX, 1);
    EXPECT_NEAR((rc.top + rc.bottom) / 2, centreY, 1);

    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
    ASSERT_EQ(::WaitForSingleObject(process.Get(), 10000), WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeProcess(process.Get(), &code);
    EXPECT_EQ(code, 0u);
}

} // namespace
