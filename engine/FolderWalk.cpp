#include "engine/FolderWalk.h"

#include "app/AppArgs.h"
#include "engine/TextCase.h"
#include "engine/PathText.h"
#include "win/FilePath.h"
#include "win/Handle.h"

namespace kavrin {

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name)
{
    if (!folder.empty() && folder.back() == L'\\')
        return folder + name;
    return folder + L'\\' + name;
}

CFolderWalk::CFolderWalk(std::wstring excluded) : m_strExcluded(std::move(excluded)) {}

void CFolderWalk::Walk(const std::wstring& path, IVisitor& visitor)
{
    if (visitor.IsStopped())
        return;
    switch (Lookup(path)) {
    case Kind::Missing:
        visitor.OnFailure(path);
        break;
    case Kind::File:
        WalkFile(path, visitor);
        break;
    case Kind::Folder: {
        std::vector<Identity> ancestors;
        WalkFolder(path, visitor, ancestors);
        break;
    }
    }
}

void CFolderWalk::WalkFile(const std::wstring& path, IVisitor& visitor)
{
    if (!m_strExcluded.empty() && EqualsNoCase(path, m_strExcluded))
        return;
    visitor.OnFile(path);
}

void CFolderWalk::WalkFolder(const std::wstring& folder, IVisitor& visitor, std::vector<Identity>& ancestors)
{
    Identity self{};
    const bool known = FolderIdentity(folder, self.volume, self.index);
    if (known) {
        for (const Identity& ancestor : ancestors)
            if (ancestor.volume == self.volume && ancestor.index == self.index)
                return;
    }
    std::vector<Entry> entries;
    const bool listed = ListFolder(folder, entries);
    if (known)
        ancestors.push_back(self);
    for (const Entry& entry : entries) {
        if (visitor.IsStopped())
            break;
        const std::wstring path = JoinPath(folder, entry.name);
        if (entry.isFolder)
            WalkFolder(path, visitor, ancestors);
        else
            WalkFile(path, visitor);
    }
    if (known)
        ancestors.pop_back();
    if (!listed && !visitor.IsStopped())
        visitor.OnFailure(folder);
}

int CFolderWalk::Count(const std::wstring& path, const std::function<bool()>& stopped)
{
    class CCounter : public IVisitor {
    public:
        explicit CCounter(const std::function<bool()>& stopped) : m_stopped(stopped) {}
        bool IsStopped() override { return m_stopped && m_stopped(); }
        void OnFile(const std::wstring&) override { ++m_nFiles; }
        void OnFailure(const std::wstring&) override {}
        int m_nFiles = 0;

    private:
        const std::function<bool()>& m_stopped;
    } counter(stopped);
    Walk(path, counter);
    return counter.m_nFiles;
}

CFolderWalk::Kind CFolderWalk::Lookup(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(win::FileSystemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Kind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Folder : Kind::File;
}

bool CFolderWalk::ListFolder(const std::wstring& folder, std::vector<Entry>& entries)
{
    WIN32_FIND_DATAW data;
    win::CFindHandle find(::FindFirstFileW(win::FileSystemPath(JoinPath(folder, L"*")).c_str(), &data));
    if (!find)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        entries.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (::FindNextFileW(find.Get(), &data));
    return ::GetLastError() == ERROR_NO_MORE_FILES;
}

bool CFolderWalk::FolderIdentity(const std::wstring& folder, unsigned long long& volume,
                                 unsigned long long& index)
{
    // FILE_FLAG_BACKUP_SEMANTICS is what lets CreateFileW open a folder.
    win::CFileHandle handle(::CreateFileW(win::FileSystemPath(folder).c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle || !::GetFileInformationByHandle(handle.Get(), &info))
        return false;
    volume = info.dwVolumeSerialNumber;
    index = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

} // namespace kavrin

int CAppArgs::CountFiles(const std::wstring& path)
{
    return kavrin::CFolderWalk().Count(path);
}

void CAppArgs::SplitLongPath(const std::wstring& path, std::wstring& name, std::wstring& folder)
{
    std::wstring full = path;
    // A long path is asked for behind "\\?\", and its long form comes back behind it; a short one
    // is asked for as it was given, relative or not.
    const std::wstring extended = win::FileSystemPath(path);
    const std::wstring& query = extended.size() >= kavrin::kClassicPathLimit ? extended : path;
    DWORD needed = ::GetLongPathNameW(query.c_str(), nullptr, 0);
    for (int attempt = 0; attempt < 4 && needed > 0; ++attempt) {
        std::wstring longPath(needed, L'\0');
        const DWORD length = ::GetLongPathNameW(query.c_str(), longPath.data(), needed);
        if (length == 0)
            break;
        if (length < needed) {
            longPath.resize(length);
            full = kavrin::WithoutExtendedPrefix(longPath);
            break;
        }
        needed = length;
    }
    const auto slash = full.find_last_of(L'\\');
    if (slash == std::wstring::npos) {
        name = full;
        folder.clear();
        return;
    }
    name = full.substr(slash + 1);
    folder = full.substr(0, slash);
    if (!folder.empty() && folder.back() == L':')
        folder += L'\\';
}
