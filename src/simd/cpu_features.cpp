#include "simd/cpu_features.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace corvex {

bool CpuHasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

bool CpuHasAvx512Bw() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
#else
  return false;
#endif
}

namespace {

constexpr size_t kAssumedCacheBytes = size_t{8} << 20;

#if defined(__x86_64__) || defined(__i386__)
// The largest data or unified cache that a CPUID leaf of deterministic cache parameters lists
// (leaf 4 on Intel, 0x8000001D on AMD, which share the layout), or 0.
size_t LargestCacheOf(unsigned leaf) {
  size_t largest = 0;
  for (unsigned index = 0; index < 16; ++index) {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    __cpuid_count(leaf, index, eax, ebx, ecx, edx);
    const unsigned type = eax & 31;  // 0: no more caches, 2: instructions only
    if (type == 0) break;
    if (type == 2) continue;
    const size_t ways = (ebx >> 22) + 1, partitions = ((ebx >> 12) & 0x3FF) + 1;
    const size_t lineBytes = (ebx & 0xFFF) + 1, sets = size_t{ecx} + 1;
    largest = std::max(largest, ways * partitions * lineBytes * sets);
  }
  return largest;
}
#endif

size_t AskLastLevelCacheBytes() {
#if defined(__x86_64__) || defined(__i386__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  const unsigned extended = __get_cpuid_max(0x80000000, nullptr);
  // The AMD leaf exists only with the topology extensions (CPUID 0x80000001, ECX bit 22).
  if (extended >= 0x8000001D && __get_cpuid(0x80000001, &eax, &ebx, &ecx, &edx) != 0 &&
      ((ecx >> 22) & 1) != 0) {
    if (const size_t bytes = LargestCacheOf(0x8000001D); bytes != 0) return bytes;
  }
  if (__get_cpuid_max(0, nullptr) >= 4) {
    if (const size_t bytes = LargestCacheOf(4); bytes != 0) return bytes;
  }
#endif
  return kAssumedCacheBytes;
}

}  // namespace

size_t LastLevelCacheBytes() {
  static const size_t bytes = AskLastLevelCacheBytes();
  return bytes;
}

bool OutgrowsTheCache(size_t bytes) { return bytes > LastLevelCacheBytes(); }

int32_t HasMmx() {
#if defined(__x86_64__) || defined(__i386__)
  unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return 0;
  return static_cast<int32_t>((edx >> 23) & 1);
#else
  return 1;
#endif
}

}  // namespace corvex
