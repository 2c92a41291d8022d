#include "yuv_picture.h"

#include "simd/cpu_features.h"
#include "yuv_kernels.h"

namespace corvex::host {

YuvSize YuvSizeOf(int32_t width, int32_t height) {
  return YuvSize{(width + 1) & ~1, (height + 1) & ~1};
}

const YuvKernel& BestYuvKernel() {
  static const YuvKernel& best = CpuHasAvx512Bw() ? Avx512YuvKernel()
                                 : CpuHasAvx2()   ? Avx2YuvKernel()
                                                  : Sse2YuvKernel();
  return best;
}

void ConvertToYuv420(const uint32_t* pixels, int32_t width, int32_t height, uint8_t* out) {
  BestYuvKernel().convert(reinterpret_cast<const uint8_t*>(pixels),
                          static_cast<ptrdiff_t>(width) * 4, width, height, out);
}

}  // namespace corvex::host
