#include "video/portable/compose_kernels.h"

namespace corvex {

bool CpuHasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

const ComposeKernels& BestComposeKernels() {
  static const ComposeKernels& best = CpuHasAvx2() ? Avx2ComposeKernels() : Sse2ComposeKernels();
  return best;
}

}  // namespace corvex
