// Making this program the shell's handler of a file extension, under HKEY_CLASSES_ROOT.
#pragma once

namespace kavrin {

// The names an association writes: the extension's key names the file type, whose key holds
// the display name, the icon and the open command.
struct CFileTypeNames {
    const wchar_t* extension;    // ".sfv"
    const wchar_t* typeName;     // "Kavrin.SFV"
    const wchar_t* displayName;  // "SFV File"
};

// The program's file type for SFV files.
inline constexpr CFileTypeNames kSfvFileType{L".sfv", L"Kavrin.SFV", L"SFV File"};

// True when the extension's default value is exactly the file type's name.
bool IsOwnFileType(const CFileTypeNames& names);

// Points the extension at the file type and the file type at the running executable. Asks the
// user first (a Yes/No box with no owner) unless the extension is already ours; on No nothing
// is written. Failed writes are silent. UI thread only.
void AssociateFileType(const CFileTypeNames& names);

} // namespace kavrin
