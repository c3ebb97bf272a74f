// The drop list on a real dialog, fed real HDROPs with real shortcut files.
#include "create/DropFileListCtrl.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "res/resource.h"

namespace {

struct Received {
    std::wstring path;
    int kind;
};

thread_local std::vector<Received>* t_pReceived = nullptr;

int Record(CDropFileListCtrl&, std::wstring& path, int& kind)
{
    t_pReceived->push_back({path, kind});
    return 0;
}

// The Create dialog's template with a bare drop list on it, counting the end-of-drop commands.
class CHostDialog : public win::CDialog {
public:
    CHostDialog() : win::CDialog(IDD_CREATE_DIALOG) {}
    CDropFileListCtrl m_list;
    std::vector<std::size_t> m_dropsEnded;  // how many paths had arrived at each command
    std::vector<Received> m_received;

protected:
    BOOL OnInitDialog() override
    {
        m_list.SubclassWindow(GetItem(IDC_FILES));
        m_list.m_pDlg = this;
        return TRUE;
    }
    bool OnCommand(int id, int code, HWND control) override
    {
        if (id == ID_FILES_DROPPED) {
            m_dropsEnded.push_back(m_received.size());
            return true;
        }
        return win::CDialog::OnCommand(id, code, control);
    }
};

struct DropListTest : ::testing::Test {
    test::CTempFolder folder;
    CHostDialog host;
    DropListTest() { t_pReceived = &host.m_received; }
    ~DropListTest() override { t_pReceived = nullptr; }

    // Runs the host, configures its list, drops each batch in turn.
    void DropBatches(const DropFileConfig& config, const std::vector<std::vector<std::wstring>>& batches)
    {
        const INT_PTR result = test::RunDialog(host, [&](HWND hwnd) {
            EXPECT_TRUE(host.m_list.SetConfig(config));
            for (const auto& batch : batches)
                ::SendMessageW(host.m_list.GetSafeHwnd(), WM_DROPFILES,
                               reinterpret_cast<WPARAM>(test::MakeDrop(batch)), 0);
            ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(host.m_list.GetSafeHwnd(), nullptr) << "the destroyed list's handle stays behind";
    }
};

DropFileConfig Callback(int flags, const wchar_t* extension = L"")
{
    DropFileConfig config;
    config.nFlags = flags | DFL_CALLBACK;
    config.strExtension = extension;
    config.pfnCallback = Record;
    return config;
}

TEST_F(DropListTest, ShortcutsAreResolvedToTheirTargets)
{
    test::WriteFileBytes(folder / L"docs\\report.txt", "r");
    test::WriteFileBytes(folder / L"gone.txt", "g");
    test::WriteFileBytes(folder / L"plain.txt", "p");
    ASSERT_TRUE(test::MakeShortcut(folder / L"to file.lnk", folder / L"docs\\report.txt"));
    ASSERT_TRUE(test::MakeShortcut(folder / L"to folder.lnk", folder / L"docs"));
    ASSERT_TRUE(test::MakeShortcut(folder / L"to gone.lnk", folder / L"gone.txt"));
    ::DeleteFileW((folder / L"gone.txt").c_str());

    DropBatches(Callback(DFL_FILES | DFL_FOLDERS),
                {{folder / L"to file.lnk", folder / L"to folder.lnk", folder / L"to gone.lnk", folder / L"plain.txt"}});
    ASSERT_EQ(host.m_received.size(), 3u) << "a shortcut whose target is gone is skipped";
    EXPECT_EQ(host.m_received[0].path, folder / L"docs\\report.txt");
    EXPECT_EQ(host.m_received[0].kind, DFK_FILE);
    EXPECT_EQ(host.m_received[1].path, folder / L"docs");
    EXPECT_EQ(host.m_received[1].kind, DFK_FOLDER);
    EXPECT_EQ(host.m_received[2].path, folder / L"plain.txt");
    EXPECT_EQ(host.m_received[2].kind, DFK_FILE);
    EXPECT_EQ(host.m_dropsEnded, std::vector<std::size_t>{3u}) << "one command, after the last item";
    EXPECT_EQ(CDropFileListCtrl::ResolveShortcut(folder / L"plain.txt"), L"");
    EXPECT_EQ(CDropFileListCtrl::ResolveShortcut(L""), L"");
}

TEST_F(DropListTest, PathsAndShortcutTargetsLongerThanMaxPathArriveWhole)
{
    const std::wstring deep = test::DeepFolder(folder / L"set", 300);
    const std::wstring file = deep + L"\\f.txt";
    test::WriteFileBytes(file, "f");
    ASSERT_TRUE(test::MakeLinkInfoShortcut(folder / L"to deep file.lnk", std::string(file.begin(), file.end())));

    DropBatches(Callback(DFL_FILES | DFL_FOLDERS), {{file, deep, folder / L"to deep file.lnk"}});
    ASSERT_EQ(host.m_received.size(), 3u);
    EXPECT_EQ(host.m_received[0].path, file);
    EXPECT_EQ(host.m_received[0].kind, DFK_FILE);
    EXPECT_EQ(host.m_received[1].path, deep);
    EXPECT_EQ(host.m_received[1].kind, DFK_FOLDER);
    EXPECT_EQ(host.m_received[2].path, file) << "the shortcut's target, not cut at MAX_PATH";
}

TEST_F(DropListTest, FlagsAndTheExtensionFilterDecideWhatIsTaken)
{
    test::WriteFileBytes(folder / L"LIST.SFV", "s");
    test::WriteFileBytes(folder / L"list.sfv.bak", "b");
    test::WriteFileBytes(folder / L"sub\\inner.sfv", "i");
    const std::vector<std::wstring> drop = {folder / L"LIST.SFV", folder / L"list.sfv.bak", folder / L"sub",
                                            folder / L"missing.sfv", folder / L"*.sfv"};
    struct Case {
        const char* name;
        int flags;
        std::vector<std::wstring> taken;
    } const cases[] = {
        {"files and folders", DFL_FILES | DFL_FOLDERS, {folder / L"LIST.SFV", folder / L"list.sfv.bak", folder / L"sub"}},
        {"files only", DFL_FILES, {folder / L"LIST.SFV", folder / L"list.sfv.bak"}},
        {"folders only", DFL_FOLDERS, {folder / L"sub"}},
        {".sfv files", DFL_FILES | DFL_FILTEREXT, {folder / L"LIST.SFV"}},
        {".sfv and folders", DFL_FILES | DFL_FOLDERS | DFL_FILTEREXT, {folder / L"LIST.SFV", folder / L"sub"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CHostDialog fresh;
        t_pReceived = &fresh.m_received;
        const INT_PTR result = test::RunDialog(fresh, [&](HWND hwnd) {
            EXPECT_TRUE(fresh.m_list.SetConfig(Callback(c.flags, L".sfv")));
            ::SendMessageW(fresh.m_list.GetSafeHwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(test::MakeDrop(drop)), 0);
            ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(result, IDCANCEL);
        std::vector<std::wstring> taken;
        for (const auto& r : fresh.m_received)
            taken.push_back(r.path);
        EXPECT_EQ(taken, c.taken);
        EXPECT_EQ(fresh.m_dropsEnded.size(), 1u) << "the command comes even when nothing was taken";
    }
    t_pReceived = &host.m_received;
}

TEST_F(DropListTest, SetConfigRefusesACallbackFlagWithoutACallback)
{
    test::WriteFileBytes(folder / L"a.txt", "a");
    const INT_PTR result = test::RunDialog(host, [&](HWND hwnd) {
        ASSERT_TRUE(host.m_list.SetConfig(Callback(DFL_FILES)));
        DropFileConfig broken;
        broken.nFlags = DFL_FOLDERS | DFL_CALLBACK;
        broken.strExtension = L".zip";
        EXPECT_FALSE(host.m_list.SetConfig(broken));
        // The earlier flags, extension and callback are still in force.
        ::SendMessageW(host.m_list.GetSafeHwnd(), WM_DROPFILES,
                       reinterpret_cast<WPARAM>(test::MakeDrop({folder / L"a.txt", folder.Path()})), 0);
        ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(host.m_received.size(), 1u);
    EXPECT_EQ(host.m_received[0].path, folder / L"a.txt");
}

TEST_F(DropListTest, WithoutACallbackPathsBecomeRowsOnceUnlessDuplicatesAreAllowed)
{
    test::WriteFileBytes(folder / L"a.txt", "a");
    for (const int flags : {int{DFL_FILES}, DFL_FILES | DFL_ALLOWDUPLICATES}) {
        CHostDialog fresh;
        std::vector<std::wstring> rows;
        const INT_PTR result = test::RunDialog(fresh, [&](HWND hwnd) {
            DropFileConfig config;
            config.nFlags = flags;
            EXPECT_TRUE(fresh.m_list.SetConfig(config));
            fresh.m_list.InsertColumn(0, L"Path", 300);
            std::wstring upper = folder / L"A.TXT";
            for (const auto& batch : {std::vector<std::wstring>{folder / L"a.txt"}, std::vector<std::wstring>{upper}})
                ::SendMessageW(fresh.m_list.GetSafeHwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(test::MakeDrop(batch)), 0);
            for (int i = 0; i < fresh.m_list.GetItemCount(); ++i)
                rows.push_back(fresh.m_list.GetItemText(i, 0));
            ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(rows.size(), (flags & DFL_ALLOWDUPLICATES) ? 2u : 1u) << flags;
        EXPECT_EQ(fresh.m_dropsEnded.size(), 2u);
    }
}

} // namespace
