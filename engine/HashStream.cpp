#include "engine/HashStream.h"

#include "engine/Crc32.h"

namespace kavrin {

int ChunkPercent(std::uint64_t readsBefore, std::uint64_t size)
{
    std::uint64_t chunks = size / kChunkSize;
    if (chunks == 0)
        chunks = 1;
    // readsBefore counts 64 KiB reads, so readsBefore * 100 stays far below 2^64.
    const std::uint64_t percent = readsBefore * 100 / chunks;
    return percent > 100 ? 100 : static_cast<int>(percent);
}

HashOutcome HashStream(IHashSource& source, IHashObserver& observer, std::uint8_t* buffer)
{
    std::uint64_t size = 0;
    if (!source.QuerySize(size))
        size = 0;
    observer.OnStart();

    std::uint32_t state = kCrcInitial;
    for (std::uint64_t readsBefore = 0;; ++readsBefore) {
        if (observer.IsAbortRequested())
            return {HashStatus::Aborted, 0};
        observer.WaitWhilePaused();
        std::uint32_t got = 0;
        const bool ok = source.Read(buffer, kChunkSize, got);
        if (!ok)
            return {HashStatus::Failed, 0};
        state = CrcUpdate(state, buffer, got);
        observer.OnPercent(ChunkPercent(readsBefore, size));
        if (got == 0)
            break;
    }
    observer.OnFinished();
    return {HashStatus::Ok, CrcFinal(state)};
}

} // namespace kavrin
