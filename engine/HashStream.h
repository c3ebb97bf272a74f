// The file-hashing loop shared by the verification and the creation run: 64 KiB reads,
// per-file percentages, a pause wait and an abort check before every read.
#pragma once
#include <cstddef>
#include <cstdint>

namespace kavrin {

inline constexpr std::uint32_t kChunkSize = 65536;

enum class HashStatus { Ok, Failed, Aborted };

// What hashing one file came to. crc is meaningful only when status is Ok, so a file whose
// CRC-32 really is ffffffff is still an ordinary success.
struct HashOutcome {
    HashStatus status = HashStatus::Failed;
    std::uint32_t crc = 0;
};

// An opened file, read from its start.
class IHashSource {
public:
    virtual ~IHashSource() = default;
    // The file's size in bytes; false when it cannot be had.
    virtual bool QuerySize(std::uint64_t& size) = 0;
    // Reads up to capacity bytes at the current position; false on a read error.
    virtual bool Read(std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t& bytesRead) = 0;
};

// What a run supplies: its abort flag, its pause event and its progress sink.
class IHashObserver {
public:
    virtual ~IHashObserver() = default;
    virtual bool IsAbortRequested() = 0;
    // Returns once the run is not paused (or is being released to end).
    virtual void WaitWhilePaused() = 0;
    // Called once after the size is known, before the first read.
    virtual void OnStart() {}
    // The percentage after a read: it counts only the chunks read before that read, capped at 100.
    virtual void OnPercent(int percent) = 0;
    // The whole file has been read.
    virtual void OnFinished() = 0;
};

// Percentage after read number k (0-based) of a file of the given size.
int ChunkPercent(std::uint64_t readsBefore, std::uint64_t size);

// Hashes the source to its end. buffer must hold kChunkSize bytes. A read error is a failure,
// never a checksum of the bytes before it.
HashOutcome HashStream(IHashSource& source, IHashObserver& observer, std::uint8_t* buffer);

} // namespace kavrin
