#include "engine/CpuFeatures.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace kavrin {

namespace {

#if defined(__i386__) || defined(__x86_64__)

// XCR0: which register states the OS saves on a context switch. Only valid when CPUID reports
// OSXSAVE; reading it otherwise raises an invalid-opcode fault.
unsigned ReadXcr0()
{
    unsigned lo = 0, hi = 0;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    return lo;
}

CpuFeatures Detect()
{
    CpuFeatures f;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return f;
    const bool sse2 = (edx >> 26) & 1u;
    const bool sse41 = (ecx >> 19) & 1u;
    const bool pclmul = (ecx >> 1) & 1u;
    const bool osxsave = (ecx >> 27) & 1u;
    const bool avx = (ecx >> 28) & 1u;
    f.pclmul = sse2 && sse41 && pclmul;

    unsigned ebx7 = 0, ecx7 = 0;
    if (__get_cpuid_max(0, nullptr) >= 7 && __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) {
        ebx7 = ebx;
        ecx7 = ecx;
    }
    const bool avx2 = (ebx7 >> 5) & 1u;
    const bool avx512f = (ebx7 >> 16) & 1u;
    const bool vpclmul = (ecx7 >> 10) & 1u;
    const unsigned xcr0 = osxsave ? ReadXcr0() : 0u;
    const bool osYmm = (xcr0 & 0x06u) == 0x06u;  // XMM and upper YMM halves
    const bool osZmm = (xcr0 & 0xE6u) == 0xE6u;  // and the opmask and ZMM states
    f.vpclmul256 = f.pclmul && avx && avx2 && vpclmul && osYmm;
    f.vpclmul512 = f.vpclmul256 && avx512f && osZmm;
    return f;
}

#else

CpuFeatures Detect()
{
    return {};
}

#endif

} // namespace

const CpuFeatures& DetectCpuFeatures()
{
    static const CpuFeatures features = Detect();
    return features;
}

} // namespace kavrin
