// The ways this program can compute CRC-32, for choosing one at run time and for testing each.
// Every path gives the same state as feeding the bytes one by one through CrcStep.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kavrin {

enum class CrcPath {
    Table,       // one CrcTable lookup per byte
    Slice16,     // sixteen bytes per step through sixteen derived tables
    Pclmul,      // carry-less multiply (PCLMULQDQ), four 128-bit lanes folded
    Vpclmul256,  // VPCLMULQDQ on four 256-bit lanes (AVX2)
    Vpclmul512,  // VPCLMULQDQ on four 512-bit lanes (AVX-512)
};

// The paths this processor and operating system can run, slowest first; Table and Slice16 always.
std::vector<CrcPath> AvailableCrcPaths();

// The path CrcUpdate uses: the fastest available one that agrees with the table on a sample.
CrcPath ActiveCrcPath();

// Feeds len bytes into state on the given path, which must be available.
std::uint32_t CrcUpdateOn(CrcPath path, std::uint32_t state, const void* data, std::size_t len);

// A short name for reports ("pclmulqdq").
const char* CrcPathName(CrcPath path);

} // namespace kavrin
