// What the processor and the operating system offer to the CRC-32 kernels.
#pragma once

namespace kavrin {

struct CpuFeatures {
    bool pclmul = false;    // PCLMULQDQ with SSE4.1
    bool vpclmul256 = false;  // VPCLMULQDQ on 256-bit registers: AVX2, and the OS saves YMM state
    bool vpclmul512 = false;  // VPCLMULQDQ on 512-bit registers: AVX-512F, and the OS saves ZMM state
};

// Asks cpuid (and xgetbv for the register state the OS enables) once; all false off x86.
const CpuFeatures& DetectCpuFeatures();

} // namespace kavrin
