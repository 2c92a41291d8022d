#pragma once
#include <cstddef>
#include <cstdint>

namespace corvex::host {

// One conversion of a picture into the encoder's 4:2:0 picture (see yuv_picture.h): `width` x
// `height` pixels of 0x??RRGGBB (the top byte is ignored) whose rows start `pitch` bytes apart,
// into `out`, the Y plane, then Cb, then Cr, of YuvSizeOf(width, height). Nothing outside
// those planes is written, nothing outside the picture's pixels is read.
using YuvConvertFunction = void (*)(const uint8_t* pixels, ptrdiff_t pitch, int32_t width,
                                    int32_t height, uint8_t* out);

struct YuvKernel {
  const char* name;
  YuvConvertFunction convert;
};

const YuvKernel& ScalarYuvKernel();  // the reference
const YuvKernel& Sse2YuvKernel();
const YuvKernel& Avx2YuvKernel();    // only where the CPU has AVX2 (CpuHasAvx2)
const YuvKernel& Avx512YuvKernel();  // only where the CPU has AVX-512 BW (CpuHasAvx512Bw)

// The fastest version this CPU runs, chosen once.
const YuvKernel& BestYuvKernel();

}  // namespace corvex::host
