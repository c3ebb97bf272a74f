#include "win/Handle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <utility>

#include "win/WorkerThread.h"

namespace win {
namespace {

bool IsOpenHandle(HANDLE h)
{
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
}

TEST(Handle, MoveTransfersOwnershipAndClosesOnce)
{
    CHandle first(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const HANDLE raw = first.Get();
    ASSERT_TRUE(IsOpenHandle(raw));
    CHandle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.Get(), raw);
    CHandle third;
    third = std::move(second);
    EXPECT_TRUE(IsOpenHandle(raw));
    third.Reset();
    EXPECT_FALSE(IsOpenHandle(raw));
}

TEST(Handle, FileHandleTreatsInvalidValueAsEmpty)
{
    CFileHandle file(::CreateFileW(L"Z:\\no\\such\\file.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(file);
    EXPECT_EQ(file.Get(), INVALID_HANDLE_VALUE);
}

class CProbeThread : public CWorkerThread {
public:
    CProbeThread(std::atomic<int>& order) : m_order(order) {}

protected:
    ~CProbeThread() override { m_order = m_order * 10 + 3; }
    bool InitInstance() override
    {
        m_order = m_order * 10 + 1;
        return true;
    }
    int ExitInstance() override
    {
        m_order = m_order * 10 + 2;
        return 7;
    }

private:
    std::atomic<int>& m_order;
};

TEST(WorkerThread, RunsStartThenEndThenDeletesItself)
{
    std::atomic<int> order{0};
    auto* thread = new CProbeThread(order);
    ASSERT_TRUE(thread->CreateThread());
    CHandle handle(thread->DuplicateThreadHandle());
    ASSERT_TRUE(handle);
    ::Sleep(50);
    EXPECT_EQ(order, 0) << "created suspended";
    thread->Resume();
    ASSERT_EQ(::WaitForSingleObject(handle.Get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(order, 123);
    DWORD code = 0;
    ::GetExitCodeThread(handle.Get(), &code);
    EXPECT_EQ(code, 7u);
}

} // namespace
} // namespace win
