// The Create dialog driven in-process: rows, duplicates, the proposed path, keys, its messages.
#include "create/KavrinCreate.h"

#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <thread>

#include "create/CreateSupport.h"
#include "create/KavrinProgress.h"
#include "res/resource.h"
#include "win/ListView.h"
#include "win/WideString.h"

namespace {

using test::Row;

struct CreateDialogTest : ::testing::Test {
    test::CTempFolder folder;
    CKavrinCreate dialog;

    // Runs the dialog, lets act drive it, then cancels it.
    INT_PTR Run(const std::function<void(HWND)>& act)
    {
        return test::RunDialog(dialog, [&](HWND hwnd) {
            act(hwnd);
            ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        });
    }
};

TEST_F(CreateDialogTest, SetsUpItsColumnsStylesAndOneIconPerRow)
{
    test::WriteFileBytes(folder / L"a.txt", "a");
    test::WriteFileBytes(folder / L"b.txt", "b");
    int widths[2] = {}, images = 0, imageOfB = -1;
    DWORD styles = 0;
    std::wstring titles[2];
    const INT_PTR result = Run([&](HWND hwnd) {
        const win::CListView list(::GetDlgItem(hwnd, IDC_FILES));
        widths[0] = list.GetColumnWidth(0);
        widths[1] = list.GetColumnWidth(1);
        for (int i = 0; i < 2; ++i) {
            wchar_t text[32] = {};
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT;
            column.pszText = text;
            column.cchTextMax = 32;
            ::SendMessageW(list.GetSafeHwnd(), LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
            titles[i] = text;
        }
        styles = static_cast<DWORD>(::SendMessageW(list.GetSafeHwnd(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        test::Drop(hwnd, {folder / L"b.txt", folder / L"a.txt"});
        images = ::ImageList_GetImageCount(list.GetImageList(LVSIL_SMALL));
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = 1;
        ::SendMessageW(list.GetSafeHwnd(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        imageOfB = item.iImage;
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(titles[0], L"Name");
    EXPECT_EQ(titles[1], L"Path");
    EXPECT_EQ(widths[0], 200);
    EXPECT_EQ(widths[1], 321);
    EXPECT_EQ(styles & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES), DWORD{LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES});
    EXPECT_EQ(images, 2);
    EXPECT_EQ(imageOfB, 0) << "b.txt came first and got the first icon; the list sorted it below a.txt";
}

TEST_F(CreateDialogTest, TheSameItemIsListedOnceWhateverFormItComesIn)
{
    const std::wstring file = folder / L"A long file name.text";
    test::WriteFileBytes(file, "x");
    test::WriteFileBytes(folder / L"other\\A long file name.text", "y");
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_GT(::GetShortPathNameW(file.c_str(), shortPath, MAX_PATH), 0u);
    std::vector<Row> rows;
    const INT_PTR result = Run([&](HWND hwnd) {
        test::Drop(hwnd, {file, shortPath});
        test::Drop(hwnd, {folder / L"other\\A long file name.text", file});
        test::Drop(hwnd, {L"C:\\", folder / L"missing.txt", folder / L"other"});
        rows = test::Rows(hwnd);
    });
    EXPECT_EQ(result, IDCANCEL);
    // Files of one name in two folders: two rows, next to each other; the folder once.
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, L"A long file name.text");
    EXPECT_EQ(rows[1].name, L"A long file name.text");
    EXPECT_NE(rows[0].folder, rows[1].folder);
    EXPECT_TRUE(rows[0].folder == folder.Path() || rows[1].folder == folder.Path());
    EXPECT_TRUE(rows[0].folder == folder / L"other" || rows[1].folder == folder / L"other");
    EXPECT_EQ(rows[2], (Row{L"other", folder.Path()}));
}

TEST_F(CreateDialogTest, ItemsLongerThanMaxPathAreListedWholeWithAnIcon)
{
    const std::wstring deep = test::DeepFolder(folder / L"set", 300);
    test::WriteFileBytes(deep + L"\\f.txt", "f");
    const std::wstring parent = deep.substr(0, deep.find_last_of(L'\\'));
    std::vector<Row> rows;
    std::vector<int> images;
    const INT_PTR result = Run([&](HWND hwnd) {
        test::Drop(hwnd, {deep + L"\\f.txt", deep});
        rows = test::Rows(hwnd);
        const win::CListView list(::GetDlgItem(hwnd, IDC_FILES));
        for (int row = 0; row < list.GetItemCount(); ++row)
            images.push_back(list.GetItemImage(row));
    });
    EXPECT_EQ(result, IDCANCEL);
    const Row file{L"f.txt", deep};
    const Row folderRow{deep.substr(parent.size() + 1), parent};
    EXPECT_EQ(rows, (std::vector<Row>{folderRow, file}));
    // The file came first and got the first icon; the list sorted it below the folder.
    EXPECT_EQ(images, (std::vector<int>{1, 0}));
}

struct ProposalCase {
    const char* name;
    std::vector<std::vector<const wchar_t*>> drops;  // relative to the temporary folder
    const wchar_t* typed;                           // typed before the drops, or null
    const wchar_t* proposed;                        // relative to the temporary folder; "" for none
};

class CreateProposal : public ::testing::TestWithParam<ProposalCase> {};

TEST_P(CreateProposal, ADropProposesAPathOnlyIntoAnEmptyField)
{
    const ProposalCase& c = GetParam();
    test::CTempFolder folder;
    for (const wchar_t* file : {L"Music\\song.mp3", L"Data\\Set1\\a.txt", L"Data\\Set1\\b.txt", L"x\\b.txt",
                                L"y\\a.txt", L"Album.2004\\01.ogg", L"noext"})
        test::WriteFileBytes(folder / file, "1");
    CKavrinCreate dialog;
    std::wstring path;
    test::RunDialog(dialog, [&](HWND hwnd) {
        if (c.typed)
            ::SetDlgItemTextW(hwnd, IDC_SFV_PATH, c.typed);
        for (const auto& drop : c.drops) {
            std::vector<std::wstring> paths;
            for (const wchar_t* p : drop)
                paths.push_back(folder / p);
            test::Drop(hwnd, paths);
        }
        path = test::ItemText(hwnd, IDC_SFV_PATH);
        ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
    const std::wstring expected = c.typed ? std::wstring(c.typed) : *c.proposed ? folder / c.proposed : L"";
    EXPECT_EQ(path, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, CreateProposal,
    ::testing::Values(
        ProposalCase{"OneFile", {{L"Music\\song.mp3"}}, nullptr, L"Music\\song.sfv"},
        ProposalCase{"TwoFilesOneFolder", {{L"Data\\Set1\\a.txt", L"Data\\Set1\\b.txt"}}, nullptr, L"Data\\Set1\\Set1.sfv"},
        ProposalCase{"TwoFolders", {{L"x\\b.txt", L"y\\a.txt"}}, nullptr, L"y\\a.sfv"},
        ProposalCase{"DottedFolder", {{L"Album.2004"}}, nullptr, L"Album.sfv"},
        ProposalCase{"NoExtension", {{L"noext"}}, nullptr, L"noext.sfv"},
        ProposalCase{"ALaterDropKeepsIt", {{L"Music\\song.mp3"}, {L"y\\a.txt"}}, nullptr, L"Music\\song.sfv"},
        ProposalCase{"NothingTaken", {{L"missing.txt"}}, nullptr, L""},
        ProposalCase{"TypedStays", {{L"Music\\song.mp3"}}, L"D:\\mine.sfv", nullptr}),
    [](const ::testing::TestParamInfo<ProposalCase>& info) { return info.param.name; });

TEST_F(CreateDialogTest, DeleteAndBackspaceRemoveTheSelectedRowsOnly)
{
    for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e"})
        test::WriteFileBytes(folder / name, "1");
    std::vector<std::vector<Row>> after;
    const INT_PTR result = test::RunDialog(dialog, [&](HWND hwnd) {
        test::Drop(hwnd, {folder / L"a", folder / L"b", folder / L"c", folder / L"d", folder / L"e"});
        ::SetDlgItemTextW(hwnd, IDC_SFV_PATH, L"kept.sfv");
        const HWND listWindow = ::GetDlgItem(hwnd, IDC_FILES);
        const win::CListView list(listWindow);
        for (int row : {0, 2, 3})
            list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        ::SetFocus(listWindow);
        ::PostMessageW(listWindow, WM_KEYDOWN, 'X', 0);
        ::PostMessageW(listWindow, WM_KEYDOWN, VK_DELETE, 0);
        test::RunLater(50, [&, hwnd, listWindow] {
            after.push_back(test::Rows(hwnd));
            win::CListView(listWindow).SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
            ::PostMessageW(listWindow, WM_KEYDOWN, VK_BACK, 0);
            test::RunLater(50, [&, hwnd] {
                after.push_back(test::Rows(hwnd));
                after.push_back({{test::ItemText(hwnd, IDC_SFV_PATH), L""}});
                ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
                return true;
            });
            return true;
        });
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], (std::vector<Row>{{L"b", folder.Path()}, {L"e", folder.Path()}}));
    EXPECT_EQ(after[1], (std::vector<Row>{{L"b", folder.Path()}}));
    EXPECT_EQ(after[2][0].name, L"kept.sfv");
}

TEST_F(CreateDialogTest, CreateNeedsRowsAndThenAPath)
{
    test::WriteFileBytes(folder / L"a.txt", "a");
    test::CMessageBoxAnswerer answerer;
    std::vector<test::MessageBoxSeen> withoutRows, withoutPath;
    HWND self = nullptr;
    const INT_PTR result = test::RunDialog(dialog, [&](HWND hwnd) {
        self = hwnd;
        ::SetDlgItemTextW(hwnd, IDC_SFV_PATH, (folder / L"x.sfv").c_str());
        ::SendDlgItemMessageW(hwnd, IDOK, BM_CLICK, 0, 0);
        withoutRows = answerer.Seen();
        test::Drop(hwnd, {folder / L"a.txt"});
        ::SetDlgItemTextW(hwnd, IDC_SFV_PATH, L"");
        // Enter in the path field presses Create, the default button.
        const HWND edit = ::GetDlgItem(hwnd, IDC_SFV_PATH);
        ::SetFocus(edit);
        ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
        test::RunLater(50, [&, hwnd] {
            withoutPath = answerer.Seen();
            if (withoutPath.empty())
                return false;
            ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
            return true;
        });
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(withoutRows.empty()) << "an empty list: nothing happens";
    EXPECT_EQ(test::ReadFileBytes(folder / L"x.sfv"), "");
    ASSERT_EQ(withoutPath.size(), 1u);
    EXPECT_EQ(withoutPath[0].text, L"Please enter a file name for the SFV file");
    EXPECT_EQ(withoutPath[0].caption, L"Kavrin");
    EXPECT_EQ(withoutPath[0].owner, self);
}

} // namespace

namespace {

// Drives this process's next common dialog with the given caption from another thread: types
// text into its file-name field and confirms. With a folder, the dialog is first sent there
// (typing a folder and confirming opens it), so relative names are taken from that folder.
std::thread AnswerFileDialog(const wchar_t* caption, std::wstring text, std::wstring* initial = nullptr,
                             std::wstring folder = {})
{
    return std::thread([caption, text, initial, folder] {
        HWND box = nullptr;
        for (int i = 0; i < 500 && !box; ++i) {
            ::Sleep(20);
            box = test::FindOwnDialog(caption);
        }
        if (!box)
            return;
        ::Sleep(100);
        HWND field = ::GetDlgItem(box, 0x47C);  // the file-name combo box
        if (!field)
            field = ::GetDlgItem(box, 0x480);
        if (initial)
            *initial = win::GetWindowTextString(field);
        if (!folder.empty()) {
            ::SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
            ::SendMessageW(box, WM_COMMAND, IDOK, 0);
            ::Sleep(200);
        }
        ::SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
}

TEST_F(CreateDialogTest, AddFileTakesASelectionFarLongerThan260CharactersAndProposesNothing)
{
    std::wstring typed;
    std::vector<std::wstring> names;
    for (int i = 0; i < 12; ++i) {
        names.push_back(L"a rather long file name number " + std::to_wstring(i) + L".dat");
        test::WriteFileBytes(folder / names.back(), "x");
        typed += L"\"" + names.back() + L"\" ";
    }
    ASSERT_GT(typed.size() + folder.Path().size(), 400u);
    wchar_t previous[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ::SetCurrentDirectoryW(folder.Path().c_str());
    std::vector<Row> rows;
    std::wstring path;
    std::thread answer;
    const INT_PTR result = Run([&](HWND hwnd) {
        answer = AnswerFileDialog(L"Open", typed, nullptr, folder.Path());
        ::SendDlgItemMessageW(hwnd, IDC_ADD_FILE, BM_CLICK, 0, 0);
        rows = test::Rows(hwnd);
        path = test::ItemText(hwnd, IDC_SFV_PATH);
    });
    answer.join();
    ::SetCurrentDirectoryW(previous);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(rows.size(), names.size());
    for (const Row& row : rows)
        EXPECT_EQ(row.folder, folder.Path());
    EXPECT_EQ(path, L"") << "Add file... never proposes a path";
}

TEST_F(CreateDialogTest, AddFolderTakesTheChosenFolderAndProposesNothing)
{
    // Wine's folder browser finds no folder with a space in its name by BFFM_SETSELECTIONW.
    const std::wstring chosen = folder / L"\u0424\u043e\u0442\u043e-\u03b1\u03b2-\u5199\u771f";
    test::WriteFileBytes(chosen + L"\\a.jpg", "a");
    std::vector<Row> rows;
    std::wstring path = L"unset";
    bool browserFound = false, treeFound = false;
    const INT_PTR result = Run([&](HWND hwnd) {
        // The folder browser is modal inside the command: choose from another thread.
        std::thread user([&, hwnd] {
            HWND browser = nullptr;
            for (int i = 0; i < 250 && !browser; ++i) {
                ::Sleep(20);
                for (HWND h = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); h && !browser;
                     h = ::FindWindowExW(nullptr, h, L"#32770", nullptr)) {
                    DWORD process = 0;
                    ::GetWindowThreadProcessId(h, &process);
                    if (h != hwnd && process == ::GetCurrentProcessId() && ::IsWindowVisible(h))
                        browser = h;
                }
            }
            browserFound = browser != nullptr;
            if (!browser)
                return;
            // The browser fills its tree after it shows: select until the tree says it took.
            const HWND tree = ::FindWindowExW(browser, nullptr, WC_TREEVIEWW, nullptr);
            treeFound = tree != nullptr;
            const std::wstring leaf = chosen.substr(chosen.find_last_of(L'\\') + 1);
            for (int i = 0; i < 250; ++i) {
                ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(chosen.c_str()));
                wchar_t text[MAX_PATH] = {};
                TVITEMW item{};
                item.mask = TVIF_TEXT;
                item.hItem = tree ? TreeView_GetSelection(tree) : nullptr;
                item.pszText = text;
                item.cchTextMax = MAX_PATH;
                if (!tree || (item.hItem && TreeView_GetItem(tree, &item) && leaf == text))
                    break;
                ::Sleep(20);
            }
            ::PostMessageW(browser, WM_COMMAND, IDOK, 0);
        });
        ::SendDlgItemMessageW(hwnd, IDC_ADD_FOLDER, BM_CLICK, 0, 0);
        user.join();
        rows = test::Rows(hwnd);
        path = test::ItemText(hwnd, IDC_SFV_PATH);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(browserFound);
    EXPECT_TRUE(treeFound);
    EXPECT_EQ(rows, (std::vector<Row>{{chosen.substr(folder.Path().size() + 1), folder.Path()}}));
    EXPECT_EQ(path, L"");
}

TEST_F(CreateDialogTest, BrowseOffersTheTypedNameAndTakesTheChosenPathWithItsExtension)
{
    std::wstring initial, path;
    std::thread answer;
    const INT_PTR result = Run([&](HWND hwnd) {
        ::SetDlgItemTextW(hwnd, IDC_SFV_PATH, L"Q:\\somewhere\\typed.sfv");
        answer = AnswerFileDialog(L"Save As", folder / L"chosen", &initial);
        ::SendDlgItemMessageW(hwnd, IDC_BROWSE, BM_CLICK, 0, 0);
        path = test::ItemText(hwnd, IDC_SFV_PATH);
    });
    answer.join();
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(initial, L"typed.sfv");
    EXPECT_EQ(path, folder / L"chosen.sfv");
}

} // namespace

namespace {

COLORREF BrushColour(HBRUSH brush)
{
    LOGBRUSH info{};
    ::GetObjectW(brush, sizeof info, &info);
    return info.lbColor;
}

struct Painted {
    HBRUSH brush;
    int mode;
    COLORREF text, back;
};

Painted Paint(HWND dialog, UINT message, int control)
{
    const HDC dc = ::GetDC(dialog);
    ::SetBkColor(dc, RGB(1, 2, 3));
    ::SetTextColor(dc, RGB(4, 5, 6));
    const auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(
        dialog, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, control))));
    const Painted painted{brush, ::GetBkMode(dc), ::GetTextColor(dc), ::GetBkColor(dc)};
    ::ReleaseDC(dialog, dc);
    return painted;
}

TEST(DialogColours, CreateTextsAreTransparentAndTheProgressTextsOpaqueOnTheSameBackground)
{
    const COLORREF background = RGB(246, 247, 250);
    CKavrinCreate create;
    Painted createStatic{}, createDialog{}, createEdit{};
    test::RunDialog(create, [&](HWND hwnd) {
        createStatic = Paint(hwnd, WM_CTLCOLORSTATIC, IDC_INTRO);
        createDialog = Paint(hwnd, WM_CTLCOLORDLG, 0);
        createEdit = Paint(hwnd, WM_CTLCOLOREDIT, IDC_SFV_PATH);
        ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(createStatic.brush, ::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(createStatic.mode, TRANSPARENT);
    EXPECT_EQ(createStatic.text, RGB(0, 0, 0));
    EXPECT_EQ(BrushColour(createDialog.brush), background);
    EXPECT_EQ(BrushColour(createEdit.brush), background);

    CKavrinProgress progress;
    Painted progressStatic{}, progressDialog{};
    test::RunDialog(progress, [&](HWND hwnd) {
        progressStatic = Paint(hwnd, WM_CTLCOLORSTATIC, IDC_LABEL_FILE);
        progressDialog = Paint(hwnd, WM_CTLCOLORDLG, 0);
        progress.PostClose();
    });
    EXPECT_EQ(BrushColour(progressStatic.brush), background);
    EXPECT_EQ(progressStatic.mode, OPAQUE);
    EXPECT_EQ(progressStatic.back, background);
    EXPECT_EQ(progressStatic.text, RGB(0, 0, 0));
    EXPECT_EQ(BrushColour(progressDialog.brush), background);
}

} // namespace
