#include "transforms/warp_pass.h"

#include "simd/cpu_features.h"
#include "transforms/warp_pixel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace corvex {

void WarpPassScalar(const WarpPassArgs& args) {
  WarpPixels(args, 0);
}

std::vector<WarpPassVersion> WarpPassVersions() {
  std::vector<WarpPassVersion> versions{{"scalar", &WarpPassScalar}};
#if defined(__x86_64__) || defined(__i386__)
  versions.push_back({"sse2", &WarpPassSse2});
  if (CpuHasAvx2()) versions.push_back({"avx2", &WarpPassAvx2});
  if (CpuHasAvx512Bw()) versions.push_back({"avx512", &WarpPassAvx512});
#endif
  return versions;
}

WarpPassFunction BestWarpPass() { return WarpPassVersions().back().pass; }

int32_t HasMmx() {
#if defined(__x86_64__) || defined(__i386__)
  unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return 0;
  return static_cast<int32_t>((edx >> 23) & 1);
#else
  // Off x86 the feedback pass runs as portable code, which needs no MMX: the check passes.
  return 1;
#endif
}

}  // namespace corvex
