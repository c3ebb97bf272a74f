// libFuzzer target: every CRC-32 path this processor offers must give the state of the byte-table
// rule, for the input's bytes from any offset, from any starting state, whole or in two pieces.
// The first eight bytes choose the state, the offset and the split point; the rest is the data.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/Crc32.h"
#include "engine/CrcPaths.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 8)
        return 0;
    std::uint32_t state = 0;
    std::memcpy(&state, data, 4);
    const std::size_t offset = data[4] % 64;
    const std::size_t split = (std::size_t{data[5]} << 8 | data[6]) * 4 + data[7] % 4;
    data += 8;
    size -= 8;
    if (offset > size)
        return 0;
    data += offset;
    size -= offset;
    const std::size_t first = split < size ? split : size;

    std::uint32_t expected = state;
    for (std::size_t i = 0; i < size; ++i)
        expected = kavrin::CrcStep(expected, data[i]);
    for (kavrin::CrcPath path : kavrin::AvailableCrcPaths()) {
        if (kavrin::CrcUpdateOn(path, state, data, size) != expected)
            __builtin_trap();
        const std::uint32_t half = kavrin::CrcUpdateOn(path, state, data, first);
        if (kavrin::CrcUpdateOn(path, half, data + first, size - first) != expected)
            __builtin_trap();
    }
    if (kavrin::CrcUpdate(state, data, size) != expected)
        __builtin_trap();
    return 0;
}
