// Chains of hooks on real windows.
#include "shell/SubclassWnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr UINT kProbe = WM_APP + 7;  // answered 42 by the test window's own procedure
std::vector<std::string> g_log;      // who saw kProbe (and WM_NCDESTROY), in order
std::function<void()> g_onProbe;     // run by the window's own procedure on kProbe
WNDPROC g_procAtNcDestroy = nullptr;  // the window's procedure while its own one saw WM_NCDESTROY

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kProbe) {
        g_log.push_back("window");
        if (g_onProbe)
            g_onProbe();
        return 42;
    }
    if (message == WM_NCDESTROY) {
        g_log.push_back("window:ncdestroy");
        g_procAtNcDestroy = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateTestWindow()
{
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = TestWindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KavrinSubclassTest";
        return ::RegisterClassW(&wc);
    }();
    return ::CreateWindowExW(0, reinterpret_cast<LPCWSTR>(atom), L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

WNDPROC ProcOf(HWND hwnd)
{
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
}

// Logs kProbe under its name; passes it on, or withholds it answering 7.
class CRecordingHook : public CSubclassWnd {
public:
    explicit CRecordingHook(std::string name, bool passOn = true) : m_name(std::move(name)), m_bPassOn(passOn) {}

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NCDESTROY)
            g_log.push_back(m_name + ":ncdestroy");
        if (message != kProbe)
            return CSubclassWnd::HandleMessage(message, wParam, lParam);
        g_log.push_back(m_name);
        if (!m_bPassOn)
            return 7;
        return CSubclassWnd::HandleMessage(message, wParam, lParam);
    }

private:
    std::string m_name;
    bool m_bPassOn;
};

class SubclassWnd : public testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
        g_onProbe = nullptr;
        g_procAtNcDestroy = nullptr;
        m_hWnd = CreateTestWindow();
        ASSERT_NE(m_hWnd, nullptr);
    }
    void TearDown() override
    {
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        g_onProbe = nullptr;
    }
    // Sends kProbe and returns who saw it.
    std::vector<std::string> Probe(LRESULT* result = nullptr)
    {
        g_log.clear();
        const LRESULT r = ::SendMessageW(m_hWnd, kProbe, 0, 0);
        if (result)
            *result = r;
        return g_log;
    }

    HWND m_hWnd = nullptr;
};

using Log = std::vector<std::string>;

TEST_F(SubclassWnd, NewestHookSeesMessagesFirstAndTheWindowLast)
{
    CRecordingHook a("a"), b("b"), c("c");
    ASSERT_TRUE(a.AttachTo(m_hWnd));
    ASSERT_TRUE(b.AttachTo(m_hWnd));
    LRESULT result = 0;
    EXPECT_EQ(Probe(&result), (Log{"b", "a", "window"}));
    EXPECT_EQ(result, 42);
    ASSERT_TRUE(c.AttachTo(m_hWnd));
    EXPECT_EQ(Probe(&result), (Log{"c", "b", "a", "window"}));
    EXPECT_EQ(result, 42);
    EXPECT_EQ(CSubclassRegistry::Instance().Lookup(m_hWnd), &c);
    EXPECT_EQ(ProcOf(m_hWnd), &SubclassWndProc);
    EXPECT_EQ(a.GetHookedWindow(), m_hWnd);
}

TEST_F(SubclassWnd, AHookThatDoesNotPassOnWithholdsTheMessage)
{
    CRecordingHook a("a"), b("b", false), c("c");
    a.AttachTo(m_hWnd);
    b.AttachTo(m_hWnd);
    c.AttachTo(m_hWnd);
    LRESULT result = 0;
    EXPECT_EQ(Probe(&result), (Log{"c", "b"}));
    EXPECT_EQ(result, 7);
}

TEST_F(SubclassWnd, DetachingInEveryOrderKeepsTheChainAndRestoresTheProcedureAtTheEnd)
{
    const WNDPROC original = ProcOf(m_hWnd);
    for (int count : {2, 3}) {
        std::vector<int> order(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            order[static_cast<std::size_t>(i)] = i;
        do {
            SCOPED_TRACE(testing::Message() << count << " hooks, order " << order[0] << order[1]
                                            << (count == 3 ? std::to_string(order[2]) : ""));
            std::vector<std::unique_ptr<CRecordingHook>> hooks;
            for (int i = 0; i < count; ++i) {
                hooks.push_back(std::make_unique<CRecordingHook>(std::string(1, static_cast<char>('a' + i))));
                ASSERT_TRUE(hooks.back()->AttachTo(m_hWnd));
            }
            std::vector<int> attached(order.begin(), order.end());
            std::sort(attached.begin(), attached.end());
            for (int gone : order) {
                EXPECT_TRUE(hooks[static_cast<std::size_t>(gone)]->AttachTo(nullptr));
                EXPECT_EQ(hooks[static_cast<std::size_t>(gone)]->GetHookedWindow(), nullptr);
                attached.erase(std::find(attached.begin(), attached.end(), gone));
                Log expected;
                for (auto it = attached.rbegin(); it != attached.rend(); ++it)
                    expected.push_back(std::string(1, static_cast<char>('a' + *it)));
                expected.push_back("window");
                EXPECT_EQ(Probe(), expected);
                if (attached.empty()) {
                    EXPECT_EQ(ProcOf(m_hWnd), original);
                    EXPECT_EQ(CSubclassRegistry::Instance().Lookup(m_hWnd), nullptr);
                } else {
                    EXPECT_EQ(ProcOf(m_hWnd), &SubclassWndProc);
                    EXPECT_EQ(CSubclassRegistry::Instance().Lookup(m_hWnd),
                              hooks[static_cast<std::size_t>(attached.back())].get());
                }
            }
        } while (std::next_permutation(order.begin(), order.end()));
    }
}

TEST_F(SubclassWnd, DestroyingTheWindowDetachesEveryHookAndRestoresTheProcedure)
{
    const WNDPROC original = ProcOf(m_hWnd);
    CRecordingHook a("a"), b("b"), c("c");
    a.AttachTo(m_hWnd);
    b.AttachTo(m_hWnd);
    c.AttachTo(m_hWnd);
    g_log.clear();
    ASSERT_TRUE(::DestroyWindow(m_hWnd));
    EXPECT_EQ(g_log, (Log{"window:ncdestroy"}));  // the hooks never see it
    EXPECT_EQ(g_procAtNcDestroy, original);
    EXPECT_EQ(a.GetHookedWindow(), nullptr);
    EXPECT_EQ(b.GetHookedWindow(), nullptr);
    EXPECT_EQ(c.GetHookedWindow(), nullptr);
    EXPECT_EQ(CSubclassRegistry::Instance().Lookup(m_hWnd), nullptr);
    // Detached hooks can be used again.
    const HWND other = CreateTestWindow();
    EXPECT_TRUE(b.AttachTo(other));
    g_log.clear();
    ::SendMessageW(other, kProbe, 0, 0);
    EXPECT_EQ(g_log, (Log{"b", "window"}));
    ::DestroyWindow(other);
}

TEST_F(SubclassWnd, DestroyingAnAttachedHookDetachesIt)
{
    const WNDPROC original = ProcOf(m_hWnd);
    CRecordingHook a("a");
    auto b = std::make_unique<CRecordingHook>("b");
    auto c = std::make_unique<CRecordingHook>("c");
    a.AttachTo(m_hWnd);
    b->AttachTo(m_hWnd);
    c->AttachTo(m_hWnd);
    b.reset();
    EXPECT_EQ(Probe(), (Log{"c", "a", "window"}));
    c.reset();
    EXPECT_EQ(Probe(), (Log{"a", "window"}));
    a.AttachTo(nullptr);
    EXPECT_EQ(ProcOf(m_hWnd), original);
}

TEST_F(SubclassWnd, DetachingADetachedHookChangesNothing)
{
    const WNDPROC original = ProcOf(m_hWnd);
    CRecordingHook a("a"), b("b");
    a.AttachTo(m_hWnd);
    EXPECT_TRUE(b.AttachTo(nullptr));
    EXPECT_EQ(b.GetHookedWindow(), nullptr);
    EXPECT_EQ(Probe(), (Log{"a", "window"}));
    a.AttachTo(nullptr);
    EXPECT_TRUE(a.AttachTo(nullptr));
    EXPECT_EQ(ProcOf(m_hWnd), original);
}

TEST_F(SubclassWnd, AttachingAnAttachedHookMovesIt)
{
    const HWND other = CreateTestWindow();
    const WNDPROC original = ProcOf(other);
    CRecordingHook a("a"), b("b");
    a.AttachTo(m_hWnd);
    b.AttachTo(m_hWnd);
    ASSERT_TRUE(a.AttachTo(other));
    EXPECT_EQ(Probe(), (Log{"b", "window"}));
    g_log.clear();
    ::SendMessageW(other, kProbe, 0, 0);
    EXPECT_EQ(g_log, (Log{"a", "window"}));
    a.AttachTo(nullptr);
    EXPECT_EQ(ProcOf(other), original);
    ::DestroyWindow(other);
}

TEST_F(SubclassWnd, WindowsThatCannotBeSubclassedAreRefused)
{
    CRecordingHook a("a");
    const HWND desktop = ::GetDesktopWindow();  // another process's window
    EXPECT_FALSE(a.AttachTo(desktop));
    EXPECT_EQ(a.GetHookedWindow(), nullptr);
    EXPECT_EQ(CSubclassRegistry::Instance().Lookup(desktop), nullptr);
    EXPECT_FALSE(a.AttachTo(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7ff0))));
    EXPECT_EQ(a.GetHookedWindow(), nullptr);
}

TEST_F(SubclassWnd, HooksDestroyedWhileTheMessagePassesReturnSafely)
{
    const WNDPROC original = ProcOf(m_hWnd);
    // The window's own procedure destroys every hook the message passed through.
    auto a = std::make_unique<CRecordingHook>("a");
    auto b = std::make_unique<CRecordingHook>("b");
    a->AttachTo(m_hWnd);
    b->AttachTo(m_hWnd);
    g_onProbe = [&] {
        b.reset();
        a.reset();
    };
    LRESULT result = 0;
    EXPECT_EQ(Probe(&result), (Log{"b", "a", "window"}));
    EXPECT_EQ(result, 42);
    EXPECT_EQ(ProcOf(m_hWnd), original);
    EXPECT_EQ(CSubclassRegistry::Instance().Lookup(m_hWnd), nullptr);
}

// Deletes itself while handling the probe, after passing it on.
class CSelfDeletingHook : public CSubclassWnd {
protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != kProbe)
            return CSubclassWnd::HandleMessage(message, wParam, lParam);
        g_log.push_back("self");
        const LRESULT result = CSubclassWnd::HandleMessage(message, wParam, lParam);
        delete this;
        return result + 1;
    }
};

TEST_F(SubclassWnd, AHookMayDeleteItselfInItsHandler)
{
    CRecordingHook a("a");
    a.AttachTo(m_hWnd);
    auto* self = new CSelfDeletingHook;
    self->AttachTo(m_hWnd);
    LRESULT result = 0;
    EXPECT_EQ(Probe(&result), (Log{"self", "a", "window"}));
    EXPECT_EQ(result, 43);
    EXPECT_EQ(Probe(), (Log{"a", "window"}));
    EXPECT_EQ(CSubclassRegistry::Instance().Lookup(m_hWnd), &a);
}

TEST_F(SubclassWnd, AWindowWithoutHooksCallingTheSharedProcedureGetsDefaultProcessing)
{
    // As when another party subclassed after our first hook and outlived our last one.
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassWndProc));
    EXPECT_TRUE(::SetWindowTextW(m_hWnd, L"default"));
    wchar_t text[16] = {};
    ::GetWindowTextW(m_hWnd, text, 16);
    EXPECT_STREQ(text, L"default");
    EXPECT_EQ(::SendMessageW(m_hWnd, kProbe, 0, 0), 0);
    EXPECT_TRUE(g_log.empty());
}

} // namespace
