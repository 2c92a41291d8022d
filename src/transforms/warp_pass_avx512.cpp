// The feedback pass with AVX-512 F and BW: the kernel of warp_pass_avx512_kernel.inc compiled
// with the processor's own intrinsics.
#include "transforms/warp_pass.h"
#include "transforms/warp_pixel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

// GCC 12's AVX-512 intrinsics pass an undefined register as the unused source of some of their
// builtins (the widening cast and the 256-bit insert here), which its own flow analysis then
// reports as uninitialized.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace corvex {
namespace {

#define CORVEX_AVX512 __attribute__((target("avx512f,avx512bw"), always_inline)) inline
#include "transforms/warp_pass_avx512_kernel.inc"
#undef CORVEX_AVX512

}  // namespace

__attribute__((target("avx512f,avx512bw"))) void WarpPassAvx512(const WarpPassArgs& args) {
  Avx512Pass(args);
}

}  // namespace corvex

#else

namespace corvex {
void WarpPassAvx512(const WarpPassArgs& args) { WarpPassScalar(args); }
}  // namespace corvex

#endif
