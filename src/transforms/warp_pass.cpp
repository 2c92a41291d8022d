#include "transforms/warp_pass.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace corvex {

void WarpPassScalar(const WarpPassArgs& args) {
  const uint32_t s = args.sustain ? 1u : 0u;
  const int32_t row = args.width;
  const int64_t count = static_cast<int64_t>(args.width) * args.height;
  for (int64_t i = 0; i < count; ++i) {
    const uint32_t* p = args.previous + (args.offsets[i] >> 2);
    const uint8_t* w = args.weights + 4 * i;
    const uint32_t p00 = p[0], p01 = p[1], p10 = p[row], p11 = p[row + 1];
    const uint32_t w0 = w[0] + s, w1 = w[1] + s, w2 = w[2] + s, w3 = w[3] + s;
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const uint32_t sum = ((p00 >> shift) & 255) * w0 + ((p01 >> shift) & 255) * w1 +
                           ((p10 >> shift) & 255) * w2 + ((p11 >> shift) & 255) * w3;
      // The terms are never negative, so saturating each addition at 16 bits is the same as
      // limiting the total.
      out |= (std::min(sum, 65535u) >> 8) << shift;
    }
    args.destination[i] = out;
  }
}

namespace {
bool CpuHasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}
}  // namespace

WarpPassFunction BestWarpPass() {
#if defined(__x86_64__) || defined(__i386__)
  if (CpuHasAvx2()) return &WarpPassAvx2;
  return &WarpPassSse2;
#else
  return &WarpPassScalar;
#endif
}

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
