#include "transforms/warp_pass.h"

#include <algorithm>

#include "simd/cpu_features.h"
#include "transforms/warp_pixel.h"

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

bool WarpPassOutgrowsTheCache(int32_t width, int32_t height) {
  constexpr size_t kBytesPerPixel = 16;
  return OutgrowsTheCache(kBytesPerPixel * static_cast<size_t>(std::max(width, 0)) *
                          static_cast<size_t>(std::max(height, 0)));
}

WarpPassFunction BestWarpPass() { return WarpPassVersions().back().pass; }

}  // namespace corvex
