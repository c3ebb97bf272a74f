// The CRC-32 kernels behind CrcPaths. Each takes and returns a running state, like CrcUpdate.
// The carry-less-multiply kernels may only be called when DetectCpuFeatures() reports them.
#pragma once
#include <cstddef>
#include <cstdint>

namespace kavrin {

std::uint32_t CrcUpdateTable(std::uint32_t state, const void* data, std::size_t len);
std::uint32_t CrcUpdateSlice16(std::uint32_t state, const void* data, std::size_t len);

#if defined(__i386__) || defined(__x86_64__)
#define KAVRIN_CRC_X86 1
std::uint32_t CrcUpdatePclmul(std::uint32_t state, const void* data, std::size_t len);
std::uint32_t CrcUpdateVpclmul256(std::uint32_t state, const void* data, std::size_t len);
std::uint32_t CrcUpdateVpclmul512(std::uint32_t state, const void* data, std::size_t len);
#endif

} // namespace kavrin
