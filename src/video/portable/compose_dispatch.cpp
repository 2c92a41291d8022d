#include "video/portable/compose_kernels.h"

#include "simd/cpu_features.h"

namespace corvex {

const ComposeKernels& BestComposeKernels() {
  static const ComposeKernels& best = CpuHasAvx2() ? Avx2ComposeKernels() : Sse2ComposeKernels();
  return best;
}

const ComposeKernels& BestComposeKernelsFor(size_t bytes) {
  if (CpuHasAvx2() && OutgrowsTheCache(bytes)) return Avx2StreamingComposeKernels();
  return BestComposeKernels();
}

}  // namespace corvex
