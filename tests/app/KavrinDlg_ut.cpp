// The main window driven in-process.
#include "app/KavrinDlg.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "res/resource.h"
#include "win/WideString.h"

namespace {

TEST(KavrinDlg, OpensNarrowWithItsIconsAndExitCancels)
{
    CKavrinDlg dialog;
    int width = 0;
    LRESULT bigIcon = 0, smallIcon = 0;
    const INT_PTR result = test::RunDialog(dialog, [&](HWND hwnd) {
        RECT rc{};
        ::GetWindowRect(hwnd, &rc);
        width = rc.right - rc.left;
        bigIcon = ::SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0);
        smallIcon = ::SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0);
        ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(width, 396);
    EXPECT_NE(bigIcon, 0);
    EXPECT_NE(smallIcon, 0);
}

} // namespace
