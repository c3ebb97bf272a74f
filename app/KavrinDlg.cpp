#include "app/KavrinDlg.h"

#include <commdlg.h>

#include <vector>

#include "app/AppMessages.h"
#include "app/CommandLineScan.h"
#include "create/KavrinCreate.h"
#include "engine/CheckThread.h"
#include "engine/PathText.h"
#include "engine/SfvFile.h"
#include "engine/SizeText.h"
#include "res/resource.h"
#include "shell/TrayIcon.h"
#include "shell/UpdateThread.h"
#include "win/FilePath.h"
#include "win/PumpingWait.h"
#include "win/WideString.h"
#include "win/WindowPlacement.h"

namespace {

constexpr COLORREF kBackground = RGB(246, 247, 250);
constexpr int kNarrowWidth = 396;
constexpr int kWideWidth = 707;
// How long closing or reloading waits for a run to notice its abort before cutting it off.
constexpr DWORD kRunEndWaitMs = 2000;
// How often the window shows what its run has verified: smooth to the eye, while showing every
// row as it is verified would cost a round trip per row, more than hashing a small file.
constexpr UINT_PTR kShowVerifiedTimer = 1;
constexpr UINT kShowVerifiedEveryMs = 40;

} // namespace

CKavrinDlg::CKavrinDlg() : win::CDialog(IDD_KAVRIN_DIALOG)
{
    g_pCheckThread = nullptr;
    m_hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP));
    m_brush.Reset(::CreateSolidBrush(kBackground));
    m_pArgs = CAppArgs::Instance();
    // Before any window exists, so the question has no owner.
    CAppArgs::AssociateFileType(L".sfv");
}

CKavrinDlg::~CKavrinDlg()
{
    delete m_pTray;
    if (m_hPauseEvent)
        ::CloseHandle(m_hPauseEvent);
    if (m_imageList)
        ::ImageList_Destroy(m_imageList);
}

BOOL CKavrinDlg::OnInitDialog()
{
    ::StartUpdateCheck();
    m_list.Attach(GetItem(IDC_RESULTS));
    m_list.m_pDlg = this;
    win::SetWindowWidth(m_hWnd, kNarrowWidth);
    win::CenterWindow(m_hWnd);
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SetUpResultsList();

    const int sfv = kavrin::FindSfvArgument(m_pArgs->argv, m_pArgs->argc);
    if (sfv >= 0)
        LoadSfv(m_pArgs->argv[sfv]);
    return TRUE;
}

void CKavrinDlg::SetUpResultsList()
{
    m_list.AddExtendedStyle(LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, L"File", 200);
    m_list.InsertColumn(1, L"File Size", 70);
    m_list.InsertColumn(2, L"Checksum", 63);

    m_imageList = ::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2);
    ::ImageList_SetBkColor(m_imageList, CLR_NONE);
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    int* const indices[] = {&m_nImageOk, &m_nImageBad, &m_nImagePending, &m_nImageMissing};
    const int icons[] = {IDI_OK, IDI_BAD, IDI_PENDING, IDI_MISSING};
    for (int i = 0; i < 4; ++i) {
        const HICON icon =
            static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(icons[i]), IMAGE_ICON, 16, 16, 0));
        *indices[i] = ::ImageList_ReplaceIcon(m_imageList, -1, icon);
        ::DestroyIcon(icon);
    }
    m_list.SetImageList(m_imageList, LVSIL_SMALL);
}

bool CKavrinDlg::HasCurrentRun() const
{
    const CCheckThread* run = g_pCheckThread.load();
    return run != nullptr && run->m_pDlg == this;
}

int CKavrinDlg::Message(const std::wstring& text, UINT type)
{
    return ::MessageBoxW(m_hWnd, text.c_str(), L"Kavrin", type);
}

void CKavrinDlg::ShowComments(bool show)
{
    ::ShowWindow(GetItem(IDC_COMMENTS), show ? SW_SHOW : SW_HIDE);
    win::SetWindowWidth(m_hWnd, show ? kWideWidth : kNarrowWidth);
    ::SetWindowTextW(GetItem(IDC_COMMENTS_TOGGLE), show ? L"Comments <<" : L"Comments >>");
}

void CKavrinDlg::LoadSfv(const std::wstring& path)
{
    EndCurrentRun();

    m_list.DeleteAllItems();
    m_strComments.clear();
    ::ShowWindow(GetItem(IDC_COMMENTS_TOGGLE), SW_HIDE);
    ::SetWindowTextW(GetItem(IDC_COMMENTS), L"");
    ::SetWindowTextW(GetItem(IDC_LABEL_TOTAL), L"Total progress");
    win::CProgressBar(GetItem(IDC_PROGRESS_TOTAL)).SetPos(0);

    kavrin::CSfvFileReader reader;
    if (!reader.Open(path)) {
        if (::IsWindowVisible(GetItem(IDC_COMMENTS)))
            ShowComments(false);
        Message(win::Format(L"Failed to open file %ls", path.c_str()), MB_OK | MB_ICONERROR);
        return;
    }
    const std::wstring folder = kavrin::FolderOfPath(reader.FullPath());
    if (!::SetCurrentDirectoryW(folder.c_str()))
        Message(L"Could not set current directory. Check may fail.", MB_OK);

    const bool complete = reader.ReadAll();
    const kavrin::SfvContent& content = reader.Content();
    std::vector<CResultRow> rows;
    rows.reserve(content.entries.size());
    for (const kavrin::SfvEntry& entry : content.entries) {
        CResultRow row;
        row.name = entry.name;
        row.checksum = entry.checksum;
        const std::wstring listed = kavrin::ResolveListedName(folder, entry.name);
        const std::wstring file = listed.empty() ? listed : win::FileSystemPath(listed);
        const DWORD attributes = file.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(file.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            row.image = m_nImageMissing;
            row.size = L"Not found";
        } else {
            win::CFileHandle probe(::CreateFileW(file.c_str(), FILE_READ_DATA, FILE_SHARE_READ, nullptr,
                                                 OPEN_EXISTING, 0, nullptr));
            row.image = probe ? m_nImagePending : m_nImageMissing;
            LARGE_INTEGER size{};
            if (probe && ::GetFileSizeEx(probe.Get(), &size))
                row.size = kavrin::FormatSizeText(size.QuadPart);
        }
        rows.push_back(std::move(row));
    }
    m_list.SetRows(std::move(rows));
    m_strComments = content.comments;
    if (!m_strComments.empty()) {
        ::ShowWindow(GetItem(IDC_COMMENTS_TOGGLE), SW_SHOW);
        ::SetWindowTextW(GetItem(IDC_COMMENTS), m_strComments.c_str());
    } else if (::IsWindowVisible(GetItem(IDC_COMMENTS))) {
        // A panel left open would show nothing of this file and could not be closed.
        ShowComments(false);
    }

    if (!complete) {
        Message(win::Format(L"An error occurred while reading the file %ls.", path.c_str()),
                MB_OK | MB_ICONERROR);
        return;
    }
    m_strSfvFolder = folder;
    StartCheckRun();
}

void CKavrinDlg::StartCheckRun()
{
    const int count = m_list.GetItemCount();
    win::CProgressBar(GetItem(IDC_PROGRESS_TOTAL)).SetRange32(0, count);

    if (m_hPauseEvent)
        ::CloseHandle(m_hPauseEvent);
    m_hPauseEvent = ::CreateEventW(nullptr, TRUE, TRUE, L"KavrinThreadEvent");
    // A new run starts unpaused.
    m_bPaused = false;
    ::SetWindowTextW(GetItem(IDC_PAUSE), L"Pause");
    ::EnableWindow(GetItem(IDC_PAUSE), TRUE);
    ::SetWindowTextW(GetItem(IDC_CLOSE), L"Abort");

    CCheckTargets targets;
    targets.hDlg = m_hWnd;
    targets.hList = m_list.GetSafeHwnd();
    targets.hFileBar = GetItem(IDC_PROGRESS_FILE);
    targets.hFileLabel = GetItem(IDC_LABEL_FILE);
    targets.hTotalLabel = GetItem(IDC_LABEL_TOTAL);
    targets.nImageOk = m_nImageOk;
    targets.nImageBad = m_nImageBad;
    auto* run = new CCheckThread(this, targets, m_strSfvFolder, m_hPauseEvent);
    if (!run->CreateThread()) {
        delete run;
        OnCheckEnded(nullptr);
        return;
    }
    m_hRunThread.Reset(run->DuplicateThreadHandle());
    g_pCheckThread = run;
    ::SetTimer(m_hWnd, kShowVerifiedTimer, kShowVerifiedEveryMs, nullptr);
    run->Resume();
}

void CKavrinDlg::ShowVerified(const std::vector<CVerifiedRow>& rows)
{
    if (rows.empty())
        return;
    for (const CVerifiedRow& row : rows)
        m_list.SetItemImage(row.nRow, row.nImage);
    const int last = rows.back().nRow;
    ::SetWindowTextW(GetItem(IDC_LABEL_TOTAL),
                     win::Format(L"Total progress (%d of %d files)", last + 1, m_list.GetItemCount()).c_str());
    win::CProgressBar(GetItem(IDC_PROGRESS_TOTAL)).SetPos(last + 1);
    m_list.EnsureVisible(last);
}

void CKavrinDlg::OnCheckEnded(CCheckThread* run, bool cutOff)
{
    if (run && g_pCheckThread.load() != run)
        return;
    // All the window needs of the run is taken first: the steps below may let other threads'
    // messages in (the balloon waits on the shell), and a run that is cut off, or whose end
    // message arrives then, may end and delete itself.
    std::vector<CVerifiedRow> verified;
    int okCount = 0;
    if (run) {
        verified = run->TakeVerified();
        okCount = run->m_nOkCount.load();
        run->m_pDlg = nullptr;
    }
    g_pCheckThread = nullptr;
    if (run && cutOff)
        run->Detach();

    ::KillTimer(m_hWnd, kShowVerifiedTimer);
    ShowVerified(verified);
    ::EnableWindow(GetItem(IDC_PAUSE), FALSE);
    ::SetWindowTextW(GetItem(IDC_CLOSE), L"Close");
    if (m_hPauseEvent) {
        ::CloseHandle(m_hPauseEvent);
        m_hPauseEvent = nullptr;
    }
    if (run && m_pTray) {
        const std::wstring summary = win::Format(L"%d of %d files ok.", okCount, m_list.GetItemCount());
        m_pTray->ShowInfoBalloon(summary.c_str(), L"Operation complete", 1, 1);
    }
}

void CKavrinDlg::EndCurrentRun()
{
    if (!HasCurrentRun() || m_bEndingRun)
        return;
    m_bEndingRun = true;
    CCheckThread* run = g_pCheckThread.load();
    run->SetAbort(true);
    // The run's own release event, not the shared pause event, so other copies stay paused.
    run->Release();
    if (!win::PumpingWait(m_hRunThread.Get(), kRunEndWaitMs) && HasCurrentRun()) {
        // Stuck in a read (a dead network share): it may never touch this window again. Until
        // it is cut off it cannot end (its end is a message to this thread), so the window takes
        // what it needs of it first.
        OnCheckEnded(run, true);
    }
    m_hRunThread.Reset();
    m_bEndingRun = false;
}

void CKavrinDlg::OnPause()
{
    if (!m_hPauseEvent)
        return;
    if (m_bPaused) {
        ::SetEvent(m_hPauseEvent);
        m_bPaused = false;
        ::SetWindowTextW(GetItem(IDC_PAUSE), L"Pause");
    } else {
        ::ResetEvent(m_hPauseEvent);
        m_bPaused = true;
        ::SetWindowTextW(GetItem(IDC_PAUSE), L"Continue");
    }
}

void CKavrinDlg::OnCloseButton()
{
    if (HasCurrentRun()) {
        g_pCheckThread.load()->SetAbort(true);
        ::SetWindowTextW(GetItem(IDC_CLOSE), L"Close");
        return;
    }
    OnCancel();
}

void CKavrinDlg::OnCancel()
{
    EndCurrentRun();
    EndDialog(IDCANCEL);
}

void CKavrinDlg::OnOK()
{
    EndCurrentRun();
    EndDialog(IDOK);
}

void CKavrinDlg::OnToggleComments()
{
    ShowComments(!::IsWindowVisible(GetItem(IDC_COMMENTS)));
}

void CKavrinDlg::OnCheckSfv()
{
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = L"Simple File Verificator (*.sfv)\0*.sfv\0All Files (*.*)\0*.*\0\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (::GetOpenFileNameW(&ofn))
        LoadSfv(file.data());
}

void CKavrinDlg::OnCreateSfv()
{
    auto* create = new CKavrinCreate;
    ::ShowWindow(m_hWnd, SW_HIDE);
    const INT_PTR result = create->DoModal(m_hWnd);
    delete create;
    // From the notification area's menu the window stays where it was, hidden.
    if (m_pTray)
        return;
    if (result == IDOK)
        OnCancel();  // the SFV file was created: the program's work is done
    else
        ::ShowWindow(m_hWnd, SW_SHOW);
}

bool CKavrinDlg::OnCommand(int id, int code, HWND control)
{
    switch (id) {
    case ID_FILE_CHECKSFV:
        OnCheckSfv();
        return true;
    case ID_FILE_CREATESFV:
        OnCreateSfv();
        return true;
    case ID_FILE_EXIT:
        OnCancel();
        return true;
    case IDC_PAUSE:
        OnPause();
        return true;
    case IDC_COMMENTS_TOGGLE:
        OnToggleComments();
        return true;
    case IDC_CLOSE:
        OnCloseButton();
        return true;
    case ID_HELP:
        return true;  // no help ships with the program
    default:
        return win::CDialog::OnCommand(id, code, control);
    }
}

bool CKavrinDlg::PreTranslateMessage(MSG& msg)
{
    // Only a press of the space bar opens the Create dialog. Its release and character are
    // swallowed too, so the focused button is not clicked as well.
    if (msg.wParam != VK_SPACE)
        return false;
    if (msg.message == WM_KEYDOWN) {
        OnCreateSfv();
        return true;
    }
    return msg.message == WM_KEYUP || msg.message == WM_CHAR;
}

HBRUSH CKavrinDlg::OnCtlColor(HDC dc, HWND, UINT message)
{
    if (message == WM_CTLCOLORSTATIC) {
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, kBackground);
        ::SetBkMode(dc, OPAQUE);
    }
    return static_cast<HBRUSH>(m_brush.Get());
}

void CKavrinDlg::OnMinimize(WPARAM wParam, LPARAM lParam)
{
    m_pTray = CTrayIcon::Add(m_hWnd, IDR_MAINMENU, WM_USER, IDI_APP, L"Kavrin").release();
    ::DefWindowProcW(m_hWnd, WM_SYSCOMMAND, wParam, lParam);
    // Without an icon the window stays a normal minimised window, so it can still be restored.
    if (m_pTray)
        ::ShowWindow(m_hWnd, SW_HIDE);
}

void CKavrinDlg::OnTrayNotify(LPARAM mouseMessage)
{
    if (mouseMessage != WM_LBUTTONUP)
        return;
    delete m_pTray;
    m_pTray = nullptr;
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
}

bool CKavrinDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_SYSCOMMAND:
        if (wParam != SC_MINIMIZE)
            return false;
        OnMinimize(wParam, lParam);
        result = 0;
        return true;
    case WM_USER:
        OnTrayNotify(lParam);
        result = 1;
        return true;
    case kMsgCheckEnded:
        OnCheckEnded(reinterpret_cast<CCheckThread*>(lParam));
        result = 0;
        return true;
    case kMsgCheckRows:
        CCheckThread::ServeRows(*reinterpret_cast<CCheckRowBatch*>(lParam));
        result = 0;
        return true;
    case WM_TIMER:
        if (wParam != kShowVerifiedTimer)
            return false;
        if (HasCurrentRun())
            ShowVerified(g_pCheckThread.load()->TakeVerified());
        result = 0;
        return true;
    case WM_PAINT:
        if (!::IsIconic(m_hWnd))
            return false;
        OnPaint();
        result = 0;
        return true;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<LRESULT>(m_hIcon);
        return true;
    default:
        return false;
    }
}

void CKavrinDlg::OnPaint()
{
    PAINTSTRUCT ps;
    const HDC dc = ::BeginPaint(m_hWnd, &ps);
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    const int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &ps);
}
