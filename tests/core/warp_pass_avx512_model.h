#pragma once
#include "transforms/warp_pass.h"

namespace corvex::testing {

// The AVX-512 feedback pass run on any processor: its kernel source over a scalar model of
// the intrinsics it uses.
void WarpPassAvx512Model(const WarpPassArgs& args);

}  // namespace corvex::testing
