// The process-wide holder of the split command line.
#pragma once
#include <string>

class CAppArgs {
public:
    // The one instance, created on the first call (made on the main thread before any worker).
    static CAppArgs* Instance();
    // Deletes the instance; the class-level routines keep working afterwards.
    static void Release();

    // Files below path, as a creation run walks it: 1 for a file, 0 for a missing path.
    static int CountFiles(const std::wstring& path);
    // The long form of path (or path itself when that cannot be had) cut at its last backslash;
    // a folder that ends in ':' gets a backslash.
    static void SplitLongPath(const std::wstring& path, std::wstring& name, std::wstring& folder);

    wchar_t** argv = nullptr;  // from CommandLineToArgvW; null when splitting failed
    int argc = 0;

private:
    CAppArgs() = default;
    static CAppArgs* s_pInstance;

public:
    // Shell integration (shell/). Class-level: they read no instance data and keep working after
    // Release.

    // Makes this program the handler of files with the extension (".sfv"), asking the user
    // first unless the extension already names this program's file type. UI thread only.
    static void AssociateFileType(const wchar_t* extension);
    // The four-part file version of the running executable ("1.0.0.1"); empty when unreadable.
    static std::wstring GetProgramVersion();
};
