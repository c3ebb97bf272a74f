#include "win/Dialog.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "TestSupport.h"
#include "res/resource.h"

namespace win {
namespace {

// The progress template is small and has buttons: enough to exercise the routing.
class CProbeDialog : public CDialog {
public:
    CProbeDialog() : CDialog(IDD_PROGRESS_DIALOG) {}
    std::vector<int> m_commands;
    std::vector<WPARAM> m_keys;
    int m_nInits = 0;
    bool m_bThrow = false;
    std::function<void()> m_onCommand;

protected:
    BOOL OnInitDialog() override
    {
        ++m_nInits;
        return TRUE;
    }
    bool OnCommand(int id, int code, HWND control) override
    {
        m_commands.push_back(id);
        if (m_bThrow && id == IDC_ABORT)
            throw std::runtime_error("handler failed");
        if (m_onCommand && id == IDC_ABORT)
            m_onCommand();
        return CDialog::OnCommand(id, code, control);
    }
    bool PreTranslateMessage(MSG& msg) override
    {
        if (msg.message == WM_KEYDOWN) {
            m_keys.push_back(msg.wParam);
            return msg.wParam == 'Q';
        }
        return false;
    }
};

TEST(Dialog, CommandsReachHandlersAndEndTheDialog)
{
    CProbeDialog dialog;
    const INT_PTR result = test::RunDialog(dialog, [](HWND hwnd) {
        ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_ABORT, BN_CLICKED), 0);
        ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_nInits, 1);
    EXPECT_EQ(dialog.m_commands, std::vector<int>({IDC_ABORT, IDOK}));
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST(Dialog, EscapeCancels)
{
    CProbeDialog dialog;
    const INT_PTR result = test::RunDialog(dialog, [](HWND hwnd) {
        ::PostMessageW(::GetDlgItem(hwnd, IDC_ABORT), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST(Dialog, ExceptionInAHandlerDoesNotEscape)
{
    CProbeDialog dialog;
    dialog.m_bThrow = true;
    const INT_PTR result = test::RunDialog(dialog, [](HWND hwnd) {
        ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_ABORT, BN_CLICKED), 0);
        ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST(Dialog, PreTranslationSeesKeysOfChildrenAndCanConsumeThem)
{
    CProbeDialog dialog;
    const INT_PTR result = test::RunDialog(dialog, [](HWND hwnd) {
        const HWND button = ::GetDlgItem(hwnd, IDC_ABORT);
        ::PostMessageW(button, WM_KEYDOWN, 'Q', 0);
        // Consumed: Escape after it still works, Q never reached the button.
        ::PostMessageW(button, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.m_keys, std::vector<WPARAM>({'Q', VK_ESCAPE}));
}

TEST(Dialog, NestedDialogsPreTranslateOnlyTheInnermost)
{
    CProbeDialog outer;
    CProbeDialog inner;
    INT_PTR innerResult = 0;
    outer.m_onCommand = [&] {
        innerResult = test::RunDialog(inner, [](HWND hwnd) {
            ::PostMessageW(::GetDlgItem(hwnd, IDOK), WM_KEYDOWN, 'Z', 0);
            ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
    };
    const INT_PTR result = test::RunDialog(outer, [](HWND hwnd) {
        ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_ABORT, BN_CLICKED), 0);
        ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(innerResult, IDCANCEL);
    EXPECT_EQ(inner.m_keys, std::vector<WPARAM>({'Z'}));
    EXPECT_TRUE(outer.m_keys.empty());
}

} // namespace
} // namespace win
