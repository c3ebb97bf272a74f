// The main window under load and bad timing: big lists, closing and reloading at any moment.
#include "app/KavrinDlg.h"

#include <gtest/gtest.h>

#include <psapi.h>

#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "engine/CheckThread.h"
#include "engine/Crc32.h"
#include "res/resource.h"
#include "win/Handle.h"
#include "win/ListView.h"
#include "win/WideString.h"

namespace {

std::string Checksum(const std::string& data)
{
    const std::wstring text = kavrin::CrcText(kavrin::Crc32(data.data(), data.size()));
    return std::string(text.begin(), text.end());
}

struct StressTest : ::testing::Test {
    test::CTempFolder folder;
    void SetUp() override
    {
        CAppArgs::Instance()->argv = nullptr;
        CAppArgs::Instance()->argc = 0;
    }
};

TEST_F(StressTest, AListOfAHundredThousandEntriesLoadsAndItsRunCanBeClosed)
{
    // A thousand small files, each listed a hundred times, the list in reverse order.
    std::string sfv;
    sfv.reserve(100000 * 24);
    for (int f = 999; f >= 0; --f) {
        char name[32];
        snprintf(name, sizeof name, "f%03d.bin", f);
        const std::string content(static_cast<std::size_t>(f % 7), static_cast<char>('a' + f % 26));
        test::WriteFileBytes(folder / std::wstring(name, name + strlen(name)), content);
        const std::string line = std::string(name) + " " + Checksum(content) + "\r\n";
        for (int copy = 0; copy < 100; ++copy)
            sfv += line;
    }
    test::WriteFileBytes(folder / L"big.sfv", sfv);

    CKavrinDlg dialog;
    int rows = 0, verified = 0;
    std::wstring first, last;
    DWORD closeTook = 0;
    const INT_PTR result = test::RunDialog(dialog, [&](HWND hwnd) {
        dialog.LoadSfv(folder / L"big.sfv");
        const win::CListView list(::GetDlgItem(hwnd, IDC_RESULTS));
        rows = list.GetItemCount();
        first = list.GetItemText(0, 0);
        last = list.GetItemText(rows - 1, 0);
        test::PumpUntil([&] { return list.GetItemImage(2) == ImageOk; }, 20000);
        for (int i = 0; i < 10; ++i)
            verified += list.GetItemImage(i) == ImageOk;
        const DWORD start = ::GetTickCount();
        ::SendMessageW(hwnd, WM_COMMAND, ID_FILE_EXIT, 0);
        closeTook = ::GetTickCount() - start;
    }, 120000);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(rows, 100000);
    EXPECT_EQ(first, L"f000.bin");
    EXPECT_EQ(last, L"f999.bin");
    EXPECT_GE(verified, 3) << "the run went from the top of the sorted list";
    EXPECT_LT(closeTook, 3000u);
    EXPECT_EQ(g_pCheckThread.load(), nullptr);
}

} // namespace
