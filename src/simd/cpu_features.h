#pragma once
#include <cstdint>

namespace corvex {

// What the processor offers beyond the x86-64 baseline (SSE2), for the kernels that choose
// their widest version at run time. The checks include the operating system's saving of the
// wider registers; off x86 both answer false.
bool CpuHasAvx2();
bool CpuHasAvx512Bw();  // AVX-512 F and BW

// 1 if the processor has MMX (CPUID function 1, EDX bit 23), else 0: the plug-in's start-up
// check. Off x86 the feedback pass runs as portable code, which needs no MMX, so it answers 1.
int32_t HasMmx();

}  // namespace corvex
