// The AVX-512 feedback pass's own source compiled against the scalar model of its intrinsics.
#include "warp_pass_avx512_model.h"

#include <cstdint>
#include <cstring>

#include "transforms/warp_pixel.h"

namespace corvex::testing {
namespace avx512_model {

#include "avx512_model.h"

#define CORVEX_AVX512 inline
#include "transforms/warp_pass_avx512_kernel.inc"
#undef CORVEX_AVX512

}  // namespace avx512_model

void WarpPassAvx512Model(const WarpPassArgs& args) { avx512_model::Avx512Pass(args); }

}  // namespace corvex::testing
