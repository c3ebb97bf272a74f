#include "engine/HashStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "engine/Crc32.h"

namespace kavrin {
namespace {

// A file in memory; optionally fails its n-th read or claims another size.
class MemorySource : public IHashSource {
public:
    explicit MemorySource(std::vector<std::uint8_t> data) : m_data(std::move(data)) {}
    bool QuerySize(std::uint64_t& size) override
    {
        size = m_reportedSize ? *m_reportedSize : m_data.size();
        return m_sizeOk;
    }
    bool Read(std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t& got) override
    {
        ++m_reads;
        if (m_failAtRead && m_reads == m_failAtRead)
            return false;
        std::size_t left = m_data.size() - m_pos;
        got = static_cast<std::uint32_t>(left < capacity ? left : capacity);
        if (m_maxRead && got > m_maxRead)
            got = m_maxRead;
        std::copy_n(m_data.data() + m_pos, got, buffer);
        m_pos += got;
        return true;
    }
    std::vector<std::uint8_t> m_data;
    std::size_t m_pos = 0;
    int m_reads = 0;
    int m_failAtRead = 0;
    std::uint32_t m_maxRead = 0;
    bool m_sizeOk = true;
    std::optional<std::uint64_t> m_reportedSize;
};

// Records what a run would see; can abort after a number of waits.
class Recorder : public IHashObserver {
public:
    bool IsAbortRequested() override { return m_abortAfterWaits >= 0 && m_waits >= m_abortAfterWaits; }
    void WaitWhilePaused() override { ++m_waits; }
    void OnStart() override { ++m_starts; }
    void OnPercent(int p) override { m_percents.push_back(p); }
    void OnFinished() override { ++m_finished; }
    int m_abortAfterWaits = -1;
    int m_waits = 0;
    int m_starts = 0;
    int m_finished = 0;
    std::vector<int> m_percents;
};

HashOutcome Hash(MemorySource& source, Recorder& recorder)
{
    std::vector<std::uint8_t> buffer(kChunkSize);
    return HashStream(source, recorder, buffer.data());
}

TEST(HashStream, PercentSequences)
{
    struct Case { std::size_t size; std::vector<int> percents; };
    const Case cases[] = {
        {0, {0}},                                    // one empty read
        {65536, {0, 100}},                           // exactly one chunk: a full read, then 0 bytes
        {100000, {0, 100, 100}},                     // one chunk by count; the empty read caps at 100
        {655360, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}},  // ten chunks: lags one chunk
    };
    for (const auto& c : cases) {
        MemorySource source(std::vector<std::uint8_t>(c.size, 0x5A));
        Recorder recorder;
        const HashOutcome outcome = Hash(source, recorder);
        EXPECT_EQ(outcome.status, HashStatus::Ok);
        EXPECT_EQ(outcome.crc, Crc32(source.m_data.data(), c.size));
        EXPECT_EQ(recorder.m_percents, c.percents) << c.size;
        EXPECT_EQ(recorder.m_starts, 1);
        EXPECT_EQ(recorder.m_finished, 1);
        EXPECT_EQ(recorder.m_waits, static_cast<int>(c.percents.size()));  // one wait per read
    }
}

TEST(HashStream, FileOverFourGibibytesUsesSixtyFourBitArithmetic)
{
    // A 6 GiB file by its size: 98304 chunks. Short reads keep the test fast while the
    // percentage arithmetic runs on the full size.
    const std::uint64_t size = 6ull << 30;
    MemorySource source(std::vector<std::uint8_t>(98304 + 1, 1));
    source.m_reportedSize = size;
    source.m_maxRead = 1;
    Recorder recorder;
    ASSERT_EQ(Hash(source, recorder).status, HashStatus::Ok);
    const auto& p = recorder.m_percents;
    ASSERT_EQ(p.size(), 98304u + 2u);
    EXPECT_EQ(p.front(), 0);
    EXPECT_EQ(p[983], 0);      // 983 * 100 / 98304
    EXPECT_EQ(p[984], 1);
    EXPECT_EQ(p[49152], 50);
    EXPECT_EQ(p[98304], 100);
    EXPECT_EQ(p.back(), 100);  // never above 100
    for (std::size_t i = 1; i < p.size(); ++i)
        ASSERT_GE(p[i], p[i - 1]);
}

TEST(HashStream, ChecksumFfffffffIsASuccess)
{
    // Four 0xFF bytes have the CRC-32 ffffffff.
    std::vector<std::uint8_t> data = {0xFF, 0xFF, 0xFF, 0xFF};
    ASSERT_EQ(Crc32(data.data(), data.size()), 0xFFFFFFFFu);
    MemorySource source(data);
    Recorder recorder;
    const HashOutcome outcome = Hash(source, recorder);
    EXPECT_EQ(outcome.status, HashStatus::Ok);
    EXPECT_EQ(outcome.crc, 0xFFFFFFFFu);
}

TEST(HashStream, ReadErrorIsAFailureNotAChecksum)
{
    MemorySource source(std::vector<std::uint8_t>(200000, 7));
    source.m_failAtRead = 2;
    Recorder recorder;
    const HashOutcome outcome = Hash(source, recorder);
    EXPECT_EQ(outcome.status, HashStatus::Failed);
    EXPECT_EQ(recorder.m_finished, 0);
    EXPECT_EQ(recorder.m_percents, std::vector<int>({0}));
}

TEST(HashStream, AbortIsSeenBeforeTheWaitAndBeforeEachRead)
{
    MemorySource source(std::vector<std::uint8_t>(655360, 3));
    Recorder recorder;
    recorder.m_abortAfterWaits = 3;
    const HashOutcome outcome = Hash(source, recorder);
    EXPECT_EQ(outcome.status, HashStatus::Aborted);
    EXPECT_EQ(recorder.m_waits, 3);       // no wait after the abort was seen
    EXPECT_EQ(source.m_reads, 3);
    EXPECT_EQ(recorder.m_finished, 0);
}

TEST(HashStream, FailedSizeQueryHashesToTheEndAsOneChunk)
{
    MemorySource source(std::vector<std::uint8_t>(150000, 9));
    source.m_sizeOk = false;
    Recorder recorder;
    const HashOutcome outcome = Hash(source, recorder);
    EXPECT_EQ(outcome.status, HashStatus::Ok);
    EXPECT_EQ(outcome.crc, Crc32(source.m_data.data(), source.m_data.size()));
    EXPECT_EQ(recorder.m_percents, std::vector<int>({0, 100, 100, 100}));
}

} // namespace
} // namespace kavrin
