#pragma once
#include <cstddef>
#include <cstdint>

namespace corvex {

// What the processor offers beyond the x86-64 baseline (SSE2), for the kernels that choose
// their widest version at run time. The checks include the operating system's saving of the
// wider registers; off x86 both answer false.
bool CpuHasAvx2();
bool CpuHasAvx512Bw();  // AVX-512 F and BW

// The size of the processor's last-level (largest) cache, from CPUID; 8 MB where it does not say.
size_t LastLevelCacheBytes();

// Whether a step that moves `bytes` through memory outgrows that cache: what it writes is gone
// from the cache before anything reads it again, so its stores had better go straight to memory
// than first read each line they fill and push out what the step still needs.
bool OutgrowsTheCache(size_t bytes);

// 1 if the processor has MMX (CPUID function 1, EDX bit 23), else 0: the plug-in's start-up
// check. Off x86 the feedback pass runs as portable code, which needs no MMX, so it answers 1.
int32_t HasMmx();

}  // namespace corvex
