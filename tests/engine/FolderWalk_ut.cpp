// Walking listed items on real folders: order, dot files, exclusion, failures and links that loop.
#include "engine/FolderWalk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "TestSupport.h"
#include "app/AppArgs.h"
#include "win/Handle.h"

namespace kavrin {
namespace {

class CRecorder : public CFolderWalk::IVisitor {
public:
    bool IsStopped() override { return m_nStopAfter >= 0 && static_cast<int>(m_files.size()) >= m_nStopAfter; }
    void OnFile(const std::wstring& path) override { m_files.push_back(path); }
    void OnFailure(const std::wstring& path) override { m_failures.push_back(path); }
    std::vector<std::wstring> m_files, m_failures;
    int m_nStopAfter = -1;
};

// The folder's entries as the file system lists them, folders first walked depth first: the
// order the walk must keep.
void ListDepthFirst(const std::wstring& folder, std::vector<std::wstring>& out)
{
    WIN32_FIND_DATAW data;
    std::vector<std::pair<std::wstring, bool>> entries;
    win::CFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find)
        return;
    do {
        if (std::wstring(data.cFileName) != L"." && std::wstring(data.cFileName) != L"..")
            entries.emplace_back(data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (::FindNextFileW(find.Get(), &data));
    for (const auto& [name, isFolder] : entries) {
        if (isFolder)
            ListDepthFirst(folder + L"\\" + name, out);
        else
            out.push_back(folder + L"\\" + name);
    }
}

void MakeTree(const test::CTempFolder& root)
{
    for (const wchar_t* name : {L"tree\\.hidden", L"tree\\a.txt", L"tree\\sub\\x.bin", L"tree\\sub\\.y",
                                L"tree\\sub\\deeper\\z.dat", L"tree\\b.txt", L"tree\\sub2\\w"})
        test::WriteFileBytes(root / name, "data");
    ::CreateDirectoryW((root / L"tree\\empty").c_str(), nullptr);
}

TEST(FolderWalk, NestedFoldersDepthFirstInListingOrderWithDotFiles)
{
    test::CTempFolder root;
    MakeTree(root);
    CRecorder recorder;
    CFolderWalk().Walk(root / L"tree", recorder);
    std::vector<std::wstring> expected;
    ListDepthFirst(root / L"tree", expected);
    EXPECT_EQ(recorder.m_files, expected);
    const std::set<std::wstring> all(recorder.m_files.begin(), recorder.m_files.end());
    EXPECT_EQ(all, (std::set<std::wstring>{root / L"tree\\.hidden", root / L"tree\\a.txt", root / L"tree\\b.txt",
                                           root / L"tree\\sub\\x.bin", root / L"tree\\sub\\.y",
                                           root / L"tree\\sub\\deeper\\z.dat", root / L"tree\\sub2\\w"}));
    // Depth first: a folder's files come together, before the parent's next entry.
    const auto first = std::find_if(recorder.m_files.begin(), recorder.m_files.end(),
                                    [](const std::wstring& p) { return p.find(L"\\sub\\") != std::wstring::npos; });
    ASSERT_NE(first, recorder.m_files.end());
    EXPECT_TRUE(std::all_of(first, first + 3, [](const std::wstring& p) { return p.find(L"\\sub\\") != std::wstring::npos; }));
    EXPECT_TRUE(recorder.m_failures.empty());
}

TEST(FolderWalk, CountsAgreeWithTheWalk)
{
    test::CTempFolder root;
    MakeTree(root);
    struct Case {
        std::wstring path;
        int count;
    } const cases[] = {
        {root / L"tree", 7}, {root / L"tree\\a.txt", 1}, {root / L"tree\\empty", 0},
        {root / L"tree\\gone", 0}, {root / L"tree\\sub", 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CAppArgs::CountFiles(c.path), c.count) << c.path;
        CRecorder recorder;
        CFolderWalk().Walk(c.path, recorder);
        EXPECT_EQ(static_cast<int>(recorder.m_files.size()), c.count) << c.path;
    }
    CRecorder missing;
    CFolderWalk().Walk(root / L"tree\\gone", missing);
    EXPECT_EQ(missing.m_failures, std::vector<std::wstring>{root / L"tree\\gone"}) << "a vanished item is a failure";
}

TEST(FolderWalk, LeavesTheExcludedFileOutWhateverItsCase)
{
    test::CTempFolder root;
    MakeTree(root);
    CFolderWalk walk(root / L"TREE\\SUB\\X.BIN");
    CRecorder recorder;
    walk.Walk(root / L"tree", recorder);
    EXPECT_EQ(recorder.m_files.size(), 6u);
    EXPECT_EQ(std::count(recorder.m_files.begin(), recorder.m_files.end(), root / L"tree\\sub\\x.bin"), 0);
    EXPECT_EQ(walk.Count(root / L"tree"), 6);
    EXPECT_EQ(walk.Count(root / L"tree\\sub\\x.bin"), 0) << "also when the item itself is the excluded file";
}

TEST(FolderWalk, StopsBeforeTheNextEntry)
{
    test::CTempFolder root;
    MakeTree(root);
    CRecorder recorder;
    recorder.m_nStopAfter = 2;
    CFolderWalk().Walk(root / L"tree", recorder);
    EXPECT_EQ(recorder.m_files.size(), 2u);
    int asked = 0;
    EXPECT_EQ(CFolderWalk().Count(root / L"tree", [&] { return ++asked > 3; }), 2);
}

// A walk whose listing of one folder fails part-way, as an access-denied folder does.
class CFailingWalk : public CFolderWalk {
public:
    explicit CFailingWalk(std::wstring failing) : m_strFailing(std::move(failing)) {}

protected:
    bool ListFolder(const std::wstring& folder, std::vector<Entry>& entries) override
    {
        const bool listed = CFolderWalk::ListFolder(folder, entries);
        if (folder != m_strFailing)
            return listed;
        entries.resize(std::min<std::size_t>(entries.size(), 1));
        return false;
    }

private:
    std::wstring m_strFailing;
};

TEST(FolderWalk, AListingErrorIsAFailureAndBothPassesAgree)
{
    test::CTempFolder root;
    MakeTree(root);
    CFailingWalk walk(root / L"tree\\sub");
    CRecorder recorder;
    walk.Walk(root / L"tree", recorder);
    EXPECT_EQ(recorder.m_failures, std::vector<std::wstring>{root / L"tree\\sub"});
    EXPECT_EQ(walk.Count(root / L"tree"), static_cast<int>(recorder.m_files.size()));
    EXPECT_LT(recorder.m_files.size(), 7u);
}

// Wine keeps Unix symbolic links as they are, so a link made on the Unix side can point back up
// the tree. The test makes one through the Linux system call; elsewhere it is skipped.
bool MakeUnixLink(const std::wstring& target, const std::wstring& link)
{
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return false;
    char* unixTarget = toUnix(target.c_str());
    char* unixLink = toUnix(link.c_str());
    int result = -1;
#if defined(__i386__)
    if (unixTarget && unixLink)
        asm volatile("int $0x80" : "=a"(result) : "a"(83), "b"(unixTarget), "c"(unixLink) : "memory");
#endif
    ::HeapFree(::GetProcessHeap(), 0, unixTarget);
    ::HeapFree(::GetProcessHeap(), 0, unixLink);
    return result == 0;
}

TEST(FolderWalk, AFolderLinkBackToAnAncestorEndsTheWalk)
{
    test::CTempFolder root;
    MakeTree(root);
    if (!MakeUnixLink(root / L"tree", root / L"tree\\sub\\loop"))
        GTEST_SKIP() << "no Unix symbolic links here";
    ASSERT_NE(::GetFileAttributesW((root / L"tree\\sub\\loop\\a.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    CRecorder recorder;
    CFolderWalk().Walk(root / L"tree", recorder);
    EXPECT_EQ(recorder.m_files.size(), 7u) << "the loop is not entered";
    EXPECT_EQ(CAppArgs::CountFiles(root / L"tree"), 7);
    // Walked from the link itself, the tree is listed once and the link not re-entered.
    EXPECT_EQ(CAppArgs::CountFiles(root / L"tree\\sub\\loop"), 7);
    ::RemoveDirectoryW((root / L"tree\\sub\\loop").c_str());
    ::DeleteFileW((root / L"tree\\sub\\loop").c_str());
}

TEST(SplitLongPath, NameAndFolderOfTheLongForm)
{
    test::CTempFolder root;
    const std::wstring file = root / L"A long file name.text";
    test::WriteFileBytes(file, "x");
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_GT(::GetShortPathNameW(file.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_NE(std::wstring(shortPath), file) << "Wine gives long names a short form";
    struct Case {
        std::wstring path, name, folder;
    } const cases[] = {
        {shortPath, L"A long file name.text", root.Path()},
        {file, L"A long file name.text", root.Path()},
        {L"Q:\\nowhere\\x.sfv", L"x.sfv", L"Q:\\nowhere"},  // no long form: the path as given
        {L"Q:\\x.sfv", L"x.sfv", L"Q:\\"},
        {L"plain.sfv", L"plain.sfv", L""},
    };
    // It uses nothing of the instance, so it works once that is gone.
    CAppArgs::Release();
    for (const auto& c : cases) {
        std::wstring name, folder;
        CAppArgs::SplitLongPath(c.path, name, folder);
        EXPECT_EQ(name, c.name) << c.path;
        EXPECT_EQ(folder, c.folder) << c.path;
    }
    EXPECT_EQ(CAppArgs::CountFiles(file), 1);
}

TEST(FolderWalk, JoinPathKeepsOneBackslash)
{
    EXPECT_EQ(JoinPath(L"D:\\", L"x"), L"D:\\x");
    EXPECT_EQ(JoinPath(L"D:\\data", L"x"), L"D:\\data\\x");
}

} // namespace
} // namespace kavrin
