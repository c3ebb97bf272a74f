// The association against Wine's real registry, the question answered by a hook.
#include "shell/FileTypeAssociation.h"

#include <shlobj.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "TestSupport.h"
#include "app/AppArgs.h"
#include "win/Handle.h"

namespace kavrin {
namespace {

struct CRawValue {
    DWORD type;
    std::string bytes;
    bool operator==(const CRawValue&) const = default;
};

std::optional<CRawValue> ReadDefault(const std::wstring& keyName)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    win::CRegKey owned(key);
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::string bytes(size, '\0');
    if (::RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size)
        != ERROR_SUCCESS)
        return std::nullopt;
    bytes.resize(size);
    return CRawValue{type, bytes};
}

bool KeyExists(const std::wstring& keyName)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

void WriteDefault(const std::wstring& keyName, const CRawValue& value)
{
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, keyName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                nullptr),
              ERROR_SUCCESS);
    win::CRegKey owned(key);
    ASSERT_EQ(::RegSetValueExW(key, nullptr, 0, value.type, reinterpret_cast<const BYTE*>(value.bytes.data()),
                               static_cast<DWORD>(value.bytes.size())),
              ERROR_SUCCESS);
}

// A REG_SZ as RegSetValueExW stores it: UTF-16 with its terminating NUL.
CRawValue Sz(const std::wstring& text, bool withNul = true)
{
    const std::size_t units = text.size() + (withNul ? 1 : 0);
    return {REG_SZ, std::string(reinterpret_cast<const char*>(text.c_str()), units * sizeof(wchar_t))};
}

std::wstring QuotedTestExe()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return L"\"" + std::wstring(path) + L"\"";
}

// Counts the shell's "associations changed" notices that reach this thread.
class CAssocChangeWatcher {
public:
    CAssocChangeWatcher()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KavrinAssocWatch";
        ::RegisterClassW(&wc);
        m_hWnd = ::CreateWindowExW(0, L"KavrinAssocWatch", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
        SHChangeNotifyEntry entry{nullptr, TRUE};
        m_nRegistration = ::SHChangeNotifyRegister(m_hWnd, SHCNRF_ShellLevel | SHCNRF_InterruptLevel,
                                                   SHCNE_ASSOCCHANGED, kNotice, 1, &entry);
        s_nNotices = 0;
    }
    ~CAssocChangeWatcher()
    {
        if (m_nRegistration)
            ::SHChangeNotifyDeregister(m_nRegistration);
        ::DestroyWindow(m_hWnd);
    }
    bool Registered() const { return m_nRegistration != 0; }
    // The notices seen once this thread has processed its messages (a notice is posted).
    int Notices() const
    {
        test::PumpUntil([] { return s_nNotices > 0; }, 200);
        return s_nNotices;
    }

private:
    static constexpr UINT kNotice = WM_APP + 11;
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == kNotice)
            ++s_nNotices;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    static inline int s_nNotices = 0;
    HWND m_hWnd = nullptr;
    ULONG m_nRegistration = 0;
};

// Names of this test process's own, since tests run in parallel against one registry.
const std::wstring& Ext()
{
    static const std::wstring name = L".kavrintest" + std::to_wstring(::GetCurrentProcessId());
    return name;
}
const std::wstring& Type()
{
    static const std::wstring name = L"Kavrin.Test" + std::to_wstring(::GetCurrentProcessId());
    return name;
}
std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(::towlower(c));
    return text;
}
const CFileTypeNames kTestType{Ext().c_str(), Type().c_str(), L"Test File"};
const std::wstring kStaleCommand = L"\"C:\\old\\kavrin.exe\" \"%1\"";

class FileTypeAssociation : public testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean()
    {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, Ext().c_str());
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, Type().c_str());
    }
    static void ExpectAllFourWritten()
    {
        EXPECT_EQ(ReadDefault(Ext()), Sz(Type()));
        EXPECT_EQ(ReadDefault(Type()), Sz(L"Test File"));
        EXPECT_EQ(ReadDefault(Type() + L"\\DefaultIcon"), Sz(QuotedTestExe() + L",0"));
        EXPECT_EQ(ReadDefault(Type() + L"\\shell\\open\\command"), Sz(QuotedTestExe() + L" \"%1\""));
    }
};

TEST_F(FileTypeAssociation, QuestionOnlyWhenNotOursAndTheAnswerDecides)
{
    std::string tooLong = Sz(Type()).bytes;
    tooLong.resize(600, '\0');  // ours up to its NUL, but past the 520 bytes read
    struct Case {
        const char* name;
        std::optional<CRawValue> preset;  // the extension's default value; none: no key
        int answer;
        bool asked;
        bool written;
    };
    const Case cases[] = {
        {"ours", Sz(Type()), IDNO, false, true},
        {"ours, stored without NUL", Sz(Type(), false), IDNO, false, true},
        {"other case, No", Sz(Lower(Type())), IDNO, true, false},
        {"other case, Yes", Sz(Lower(Type())), IDYES, true, true},
        {"other type, No", Sz(L"Other.Type"), IDNO, true, false},
        {"other type, Yes", Sz(L"Other.Type"), IDYES, true, true},
        {"name with more after it", Sz(Type() + L"2"), IDNO, true, false},
        {"empty, No", Sz(L""), IDNO, true, false},
        {"over 520 bytes, No", CRawValue{REG_SZ, tooLong}, IDNO, true, false},
        {"over 520 bytes, Yes", CRawValue{REG_SZ, tooLong}, IDYES, true, true},
        {"absent, Yes", std::nullopt, IDYES, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Clean();
        if (c.preset)
            WriteDefault(Ext(), *c.preset);
        WriteDefault(Type() + L"\\shell\\open\\command", Sz(kStaleCommand));

        test::CMessageBoxAnswerer answerer(c.answer);
        CAssocChangeWatcher watcher;
        ASSERT_TRUE(watcher.Registered());
        AssociateFileType(kTestType);
        EXPECT_EQ(watcher.Notices(), c.written ? 1 : 0);

        const auto seen = answerer.Seen();
        ASSERT_EQ(seen.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(seen[0].caption, L"Kavrin");
            EXPECT_EQ(seen[0].text, L"Do you want to associate " + Ext() + L" files with this program?");
            EXPECT_EQ(seen[0].owner, nullptr);
            EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDYES, IDNO}));
        }
        if (c.written) {
            ExpectAllFourWritten();
        } else {
            EXPECT_EQ(ReadDefault(Ext()), c.preset);
            EXPECT_EQ(ReadDefault(Type() + L"\\shell\\open\\command"), Sz(kStaleCommand));
            EXPECT_FALSE(ReadDefault(Type()).has_value());
            EXPECT_FALSE(KeyExists(Type() + L"\\DefaultIcon"));
        }
    }
}

TEST_F(FileTypeAssociation, NoLeavesNoEmptyKeyAndIsAskedAgainNextTime)
{
    for (int start = 0; start < 2; ++start) {
        test::CMessageBoxAnswerer answerer(IDNO);
        AssociateFileType(kTestType);
        EXPECT_EQ(answerer.Seen().size(), 1u);
        EXPECT_FALSE(KeyExists(Ext()));
        EXPECT_FALSE(KeyExists(Type()));
    }
}

TEST_F(FileTypeAssociation, AKeyThatCannotBeCreatedIsAskedAboutOnceAndFailsSilently)
{
    // Registry key names are limited to 255 characters.
    const std::wstring extension = L"." + std::wstring(300, L'x');
    ASSERT_FALSE(KeyExists(extension));
    test::CMessageBoxAnswerer answerer(IDYES);
    AssociateFileType({extension.c_str(), kTestType.typeName, kTestType.displayName});
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_FALSE(KeyExists(extension));
    // The file type's own keys are still written.
    EXPECT_EQ(ReadDefault(Type()), Sz(L"Test File"));
    EXPECT_EQ(ReadDefault(Type() + L"\\shell\\open\\command"), Sz(QuotedTestExe() + L" \"%1\""));
}

TEST_F(FileTypeAssociation, IsOwnFileTypeReadsTheExtensionsDefaultValue)
{
    EXPECT_FALSE(IsOwnFileType(kTestType));
    WriteDefault(Ext(), Sz(Type()));
    EXPECT_TRUE(IsOwnFileType(kTestType));
    WriteDefault(Ext(), Sz(L"Kavrin.TEST" + std::to_wstring(::GetCurrentProcessId())));
    EXPECT_FALSE(IsOwnFileType(kTestType));
}

// The program's own ".sfv" association, already in place in the test prefix: refreshed silently
// with the running executable's path. The file type's previous values are put back afterwards.
TEST(SfvAssociation, OursIsRefreshedSilentlyWithTheRunningExecutable)
{
    const wchar_t* keys[] = {L"Kavrin.SFV", L"Kavrin.SFV\\DefaultIcon", L"Kavrin.SFV\\shell\\open\\command"};
    std::optional<CRawValue> saved[3];
    for (int i = 0; i < 3; ++i)
        saved[i] = ReadDefault(keys[i]);
    ASSERT_EQ(ReadDefault(L".sfv"), Sz(L"Kavrin.SFV")) << "tests/wineprefix.reg presets it";
    WriteDefault(L"Kavrin.SFV\\shell\\open\\command", Sz(kStaleCommand));

    test::CMessageBoxAnswerer answerer(IDNO);
    CAppArgs::AssociateFileType(L".sfv");
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(ReadDefault(L".sfv"), Sz(L"Kavrin.SFV"));
    EXPECT_EQ(ReadDefault(L"Kavrin.SFV"), Sz(L"SFV File"));
    EXPECT_EQ(ReadDefault(L"Kavrin.SFV\\DefaultIcon"), Sz(QuotedTestExe() + L",0"));
    EXPECT_EQ(ReadDefault(L"Kavrin.SFV\\shell\\open\\command"), Sz(QuotedTestExe() + L" \"%1\""));

    for (int i = 0; i < 3; ++i) {
        if (saved[i]) {
            WriteDefault(keys[i], *saved[i]);
        } else {
            HKEY key = nullptr;
            if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, keys[i], 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
                ::RegDeleteValueW(key, nullptr);
                ::RegCloseKey(key);
            }
        }
    }
}

} // namespace
} // namespace kavrin
