// The program's resources as built into kavrin.exe, and the dialog templates' layouts.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "res/resource.h"
#include "win/WideString.h"

namespace {

struct ControlLayout {
    int id;
    const wchar_t* cls;
    const wchar_t* text;
    RECT du;  // left, top, width, height in dialog units
    DWORD style;  // bits that must be set
    bool visible;
    bool enabled;
    DWORD exStyle = 0;
};

struct DialogLayout {
    UINT templateId;
    const wchar_t* caption;
    int widthDu, heightDu;
    DWORD style;
    DWORD exStyle;
    std::vector<ControlLayout> controls;  // in tab order
};

const DWORD kButton = WS_TABSTOP;
const DWORD kList = LVS_REPORT | LVS_SORTASCENDING | WS_BORDER | WS_TABSTOP;

const std::vector<DialogLayout>& Dialogs()
{
    static const std::vector<DialogLayout> dialogs = {
        {IDD_KAVRIN_DIALOG, L"Kavrin", 467, 241,
         WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME, WS_EX_APPWINDOW,
         {
             {IDC_CLOSE, L"Button", L"Close", {197, 219, 50, 14}, kButton, true, true},
             {IDC_RESULTS, L"SysListView32", L"", {11, 12, 236, 149}, kList | LVS_ALIGNLEFT, true, true,
              WS_EX_ACCEPTFILES},
             {IDC_PAUSE, L"Button", L"Pause", {140, 219, 50, 14}, kButton, true, false},
             {IDC_PROGRESS_FILE, L"msctls_progress32", L"", {11, 177, 236, 8}, WS_BORDER, true, true},
             {IDC_LABEL_FILE, L"Static", L"Current file", {11, 168, 205, 8}, 0, true, true},
             {IDC_LABEL_TOTAL, L"Static", L"Total progress", {11, 189, 205, 8}, 0, true, true},
             {IDC_PROGRESS_TOTAL, L"msctls_progress32", L"", {11, 198, 236, 8}, WS_BORDER, true, true},
             {IDC_COMMENTS_TOGGLE, L"Button", L"Comments >>", {11, 219, 54, 14}, kButton, false, true},
             {IDC_COMMENTS, L"Edit", L"", {259, 24, 196, 137},
              ES_MULTILINE | ES_AUTOHSCROLL | ES_READONLY | WS_BORDER, false, true},
             {IDC_STATIC, L"Static", L"Comments", {260, 14, 34, 8}, 0, true, true},
             {IDC_STATIC, L"Static", L"", {0, 212, 463, 1}, SS_BITMAP, true, true},
         }},
        {IDD_CREATE_DIALOG, L"Create SFV file", 405, 230,
         WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_APPWINDOW,
         {
             {IDOK, L"Button", L"Create", {286, 208, 50, 14}, kButton | BS_DEFPUSHBUTTON, true, true},
             {IDCANCEL, L"Button", L"Cancel", {343, 208, 50, 14}, kButton, true, true},
             {IDC_FILES, L"SysListView32", L"", {77, 23, 316, 143}, kList, true, true, WS_EX_ACCEPTFILES},
             {IDC_PATH_LABEL, L"Static", L"SFV file path:", {30, 180, 44, 8}, 0, true, true},
             {IDC_SFV_PATH, L"Edit", L"", {77, 178, 148, 14}, ES_AUTOHSCROLL | WS_BORDER, true, true},
             {IDC_BROWSE, L"Button", L"Browse...", {231, 177, 50, 14}, kButton, true, true},
             {IDC_INTRO, L"Static",
              L"Please select the files and folders you want the SFV file to contain.", {12, 7, 366, 8},
              0, true, true},
             {IDC_ADD_FILE, L"Button", L"Add file...", {12, 133, 52, 14}, kButton, true, true},
             {IDC_ADD_FOLDER, L"Button", L"Add folder...", {12, 151, 52, 14}, kButton, true, true},
             {IDC_STATIC, L"Static", L"", {0, 200, 463, 1}, SS_BITMAP, true, true},
         }},
        {IDD_PROGRESS_DIALOG, L"Progress", 262, 111, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0,
         {
             {IDOK, L"Button", L"Pause", {192, 88, 50, 14}, kButton | BS_DEFPUSHBUTTON, true, true},
             {IDC_PROGRESS_FILE, L"msctls_progress32", L"", {18, 36, 225, 14}, WS_BORDER, true, true},
             {IDC_PROGRESS_TOTAL, L"msctls_progress32", L"", {18, 65, 225, 14}, WS_BORDER, true, true},
             {IDC_INTRO, L"Static", L"Your files are now being processed.", {18, 12, 227, 8}, 0, true, true},
             {IDC_LABEL_FILE, L"Static", L"Current file", {18, 27, 227, 8}, 0, true, true},
             {IDC_LABEL_TOTAL, L"Static", L"Total progress", {18, 56, 227, 8}, 0, true, true},
             {IDC_ABORT, L"Button", L"Abort", {134, 88, 50, 14}, kButton, true, true},
         }},
    };
    return dialogs;
}

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

std::wstring ClassOf(HWND hwnd)
{
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

class DialogTemplates : public ::testing::TestWithParam<std::size_t> {};

TEST_P(DialogTemplates, LayoutStylesAndTabOrder)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    const DialogLayout& layout = Dialogs()[GetParam()];
    const HWND dialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(layout.templateId),
                                             nullptr, PlainProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(win::GetWindowTextString(dialog), layout.caption);
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(dialog, GWL_STYLE));
    EXPECT_EQ(style & layout.style, layout.style);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0u) << "no maximise box, not resizable";
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(dialog, GWL_EXSTYLE)) & layout.exStyle, layout.exStyle);
    EXPECT_EQ(::GetMenu(dialog) != nullptr, layout.templateId == IDD_KAVRIN_DIALOG);

    RECT client{};
    ::GetClientRect(dialog, &client);
    RECT expectedClient{0, 0, layout.widthDu, layout.heightDu};
    ::MapDialogRect(dialog, &expectedClient);
    EXPECT_EQ(client.right, expectedClient.right);

    std::size_t index = 0;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT), ++index) {
        ASSERT_LT(index, layout.controls.size());
        const ControlLayout& c = layout.controls[index];
        SCOPED_TRACE(std::to_string(layout.templateId) + " control " + std::to_string(index));
        EXPECT_EQ(::GetDlgCtrlID(child), c.id);
        EXPECT_EQ(_wcsicmp(ClassOf(child).c_str(), c.cls), 0) << std::string(ClassOf(child).begin(), ClassOf(child).end());
        const bool isBitmap = ClassOf(child) == L"Static" && (c.style & SS_TYPEMASK) == SS_BITMAP;
        if (!isBitmap) {
            EXPECT_EQ(win::GetWindowTextString(child), c.text);
        }
        const DWORD childStyle = static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE));
        const DWORD childExStyle = static_cast<DWORD>(::GetWindowLongW(child, GWL_EXSTYLE));
        // The dialog manager draws a child's WS_BORDER as a 3-D client edge, and a themed progress
        // bar drops both for a frame of its own.
        const DWORD borderLike = WS_BORDER;
        if ((c.style & borderLike) && ClassOf(child) != PROGRESS_CLASSW) {
            EXPECT_TRUE((childStyle & WS_BORDER) || (childExStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)));
        }
        EXPECT_EQ(childStyle & (c.style & ~borderLike), c.style & ~borderLike);
        EXPECT_EQ((childStyle & WS_VISIBLE) != 0, c.visible);
        EXPECT_EQ((childStyle & WS_DISABLED) == 0, c.enabled);
        EXPECT_EQ(childExStyle & c.exStyle, c.exStyle);
        RECT origin{c.du.left, c.du.top, 0, 0};
        ::MapDialogRect(dialog, &origin);
        RECT size{0, 0, c.du.right, c.du.bottom};
        ::MapDialogRect(dialog, &size);
        RECT actual{};
        ::GetWindowRect(child, &actual);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, origin.left);
        EXPECT_EQ(actual.top, origin.top);
        if (isBitmap) {
            // The picture control takes the bitmap's own size.
            EXPECT_NE(::SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << "separator bitmap 135";
        } else {
            EXPECT_EQ(actual.right - actual.left, size.right);
            EXPECT_EQ(actual.bottom - actual.top, size.bottom);
        }
    }
    EXPECT_EQ(index, layout.controls.size());
    ::DestroyWindow(dialog);
}

INSTANTIATE_TEST_SUITE_P(AllDialogs, DialogTemplates, ::testing::Values(0u, 1u, 2u));

TEST(Resources, MenuHasTheFilePopup)
{
    const HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINMENU));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(::GetMenuItemCount(menu), 1);
    wchar_t text[64];
    ::GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&File");
    const HMENU popup = ::GetSubMenu(menu, 0);
    ASSERT_EQ(::GetMenuItemCount(popup), 4);
    const UINT ids[] = {ID_FILE_CHECKSFV, ID_FILE_CREATESFV, 0, ID_FILE_EXIT};
    const wchar_t* texts[] = {L"Check &SFV", L"&Create SFV", L"", L"E&xit"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(::GetMenuItemID(popup, i), ids[i]);
        ::GetMenuStringW(popup, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, texts[i]);
    }
    EXPECT_TRUE(::GetMenuState(popup, 2, MF_BYPOSITION) & MF_SEPARATOR);
    ::DestroyMenu(menu);
}

TEST(Resources, IconsComeInBothSizes)
{
    for (int id : {IDI_APP, IDI_OK, IDI_BAD, IDI_PENDING, IDI_MISSING}) {
        for (int size : {16, 32}) {
            const HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                               IMAGE_ICON, size, size, 0));
            ASSERT_NE(icon, nullptr) << id;
            ICONINFO info{};
            ASSERT_TRUE(::GetIconInfo(icon, &info));
            BITMAP bm{};
            ::GetObjectW(info.hbmColor, sizeof bm, &bm);
            EXPECT_EQ(bm.bmWidth, size) << id;
            EXPECT_EQ(bm.bmBitsPixel, 32) << id;
            ::DeleteObject(info.hbmColor);
            ::DeleteObject(info.hbmMask);
            ::DestroyIcon(icon);
        }
    }
}

TEST(Resources, SeparatorBitmapIsTwoRows)
{
    const HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                             MAKEINTRESOURCEW(IDB_SEPARATOR), IMAGE_BITMAP, 0, 0,
                                                             LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    BITMAP bm{};
    ::GetObjectW(bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 695);
    EXPECT_EQ(bm.bmHeight, 2);
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ old = ::SelectObject(dc, bitmap);
    for (int x : {0, 347, 694}) {
        EXPECT_EQ(::GetPixel(dc, x, 0), RGB(135, 159, 190));
        EXPECT_EQ(::GetPixel(dc, x, 1), RGB(255, 255, 255));
    }
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(bitmap);
}

TEST(Product, IsA32BitGuiProgramWithItsResources)
{
    const std::string image = test::ReadFileBytes(test::ProductPath());
    ASSERT_GT(image.size(), 4096u);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(image.data() + dos->e_lfanew);
    ASSERT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

    const HMODULE module = ::LoadLibraryExW(test::ProductPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    for (int id : {IDD_KAVRIN_DIALOG, IDD_CREATE_DIALOG, IDD_PROGRESS_DIALOG})
        EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG), nullptr) << id;
    EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(IDR_MAINMENU), RT_MENU), nullptr);
    EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(IDB_SEPARATOR), RT_BITMAP), nullptr);
    for (int id : {IDI_APP, IDI_OK, IDI_BAD, IDI_PENDING, IDI_MISSING})
        EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(id), RT_GROUP_ICON), nullptr) << id;

    const HRSRC manifest = ::FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const char* text = static_cast<const char*>(::LockResource(::LoadResource(module, manifest)));
    const std::string xml(text, ::SizeofResource(module, manifest));
    EXPECT_NE(xml.find("name=\"Microsoft.Windows.Kavrin\""), std::string::npos);
    EXPECT_NE(xml.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(xml.find("processorArchitecture=\"x86\""), std::string::npos);
    // Paths beyond MAX_PATH without the "\\?\" prefix, where the system allows them.
    EXPECT_NE(xml.find("<ws2:longPathAware>true</ws2:longPathAware>"), std::string::npos);
    EXPECT_NE(xml.find("xmlns:ws2=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\""), std::string::npos);
    ::FreeLibrary(module);

    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(test::ProductPath().c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoW(test::ProductPath().c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
}

} // namespace
