#include "shell/FileTypeAssociation.h"

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <string_view>

#include "app/AppArgs.h"
#include "win/Handle.h"
#include "win/ModulePath.h"
#include "win/WideString.h"

namespace kavrin {

namespace {

// A value that does not fit in 520 bytes never names our file type.
constexpr DWORD kValueBytes = 520;

void SetDefaultValue(const std::wstring& keyName, const std::wstring& value)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    win::CRegKey owned(key);
    ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool UserAgrees(const CFileTypeNames& names)
{
    const std::wstring question =
        win::Format(L"Do you want to associate %ls files with this program?", names.extension);
    return ::MessageBoxW(nullptr, question.c_str(), L"Kavrin", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

} // namespace

bool IsOwnFileType(const CFileTypeNames& names)
{
    // Opened for reading only: looking must not leave an empty key behind.
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, names.extension, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    win::CRegKey owned(key);
    wchar_t value[kValueBytes / sizeof(wchar_t)];
    DWORD bytes = kValueBytes;
    if (::RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &bytes) != ERROR_SUCCESS
        || bytes > kValueBytes)
        return false;
    std::wstring_view text(value, bytes / sizeof(wchar_t));
    const auto end = text.find(L'\0');
    if (end != std::wstring_view::npos)
        text = text.substr(0, end);
    return text == names.typeName;
}

void AssociateFileType(const CFileTypeNames& names)
{
    if (!IsOwnFileType(names) && !UserAgrees(names))
        return;
    const std::wstring type = names.typeName;
    const std::wstring quotedExe = L"\"" + win::GetModulePath() + L"\"";
    SetDefaultValue(names.extension, type);
    SetDefaultValue(type, names.displayName);
    SetDefaultValue(type + L"\\DefaultIcon", quotedExe + L",0");
    SetDefaultValue(type + L"\\shell\\open\\command", quotedExe + L" \"%1\"");
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

} // namespace kavrin

void CAppArgs::AssociateFileType(const wchar_t* extension)
{
    kavrin::CFileTypeNames names = kavrin::kSfvFileType;
    names.extension = extension;
    kavrin::AssociateFileType(names);
}
