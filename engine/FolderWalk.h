// Walking the files below listed items, as both passes of a creation run do.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kavrin {

// folder and name joined by one backslash (a drive root such as D:\ keeps its own).
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// Files below items, depth first, in the order the file system lists each folder ("." and ".."
// never; names beginning with a dot always). A folder that is one of its own ancestors (a link
// back up the tree) is not entered again, so every walk ends. One file can be left out.
class CFolderWalk {
public:
    // What a walk reports.
    class IVisitor {
    public:
        virtual ~IVisitor() = default;
        // Asked before every item and every folder entry; true ends the walk there.
        virtual bool IsStopped() = 0;
        virtual void OnFile(const std::wstring& path) = 0;
        // A path that does not exist, or a folder whose listing failed before its end.
        virtual void OnFailure(const std::wstring& path) = 0;
    };

    // excluded: the full path of a file never reported (compared ignoring case); may be empty.
    explicit CFolderWalk(std::wstring excluded = {});
    virtual ~CFolderWalk() = default;

    // Walks one item: a file is reported itself, a folder by the files below it.
    void Walk(const std::wstring& path, IVisitor& visitor);
    // The number of files Walk reports for path; 0 for a path that does not exist.
    int Count(const std::wstring& path, const std::function<bool()>& stopped = {});

protected:
    struct Entry {
        std::wstring name;
        bool isFolder = false;
    };
    enum class Kind { Missing, File, Folder };
    // Whether path exists, and as what.
    virtual Kind Lookup(const std::wstring& path);
    // The entries of folder in the file system's order, without "." and ".."; false when the
    // listing failed with anything but its normal end.
    virtual bool ListFolder(const std::wstring& folder, std::vector<Entry>& entries);
    // An identity of the folder that links to it share (volume and file index); false when
    // it cannot be had.
    virtual bool FolderIdentity(const std::wstring& folder, unsigned long long& volume,
                                unsigned long long& index);

private:
    struct Identity {
        unsigned long long volume, index;
    };
    void WalkFolder(const std::wstring& folder, IVisitor& visitor, std::vector<Identity>& ancestors);
    void WalkFile(const std::wstring& path, IVisitor& visitor);

    std::wstring m_strExcluded;
};

} // namespace kavrin
