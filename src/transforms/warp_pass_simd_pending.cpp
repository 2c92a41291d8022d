// Placeholder until the vector passes land: both run the reference.
#include "transforms/warp_pass.h"

namespace corvex {
void WarpPassSse2(const WarpPassArgs& args) { WarpPassScalar(args); }
void WarpPassAvx2(const WarpPassArgs& args) { WarpPassScalar(args); }
}  // namespace corvex
