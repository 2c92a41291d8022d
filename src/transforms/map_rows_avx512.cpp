// The row kernels with AVX-512, eight pixels per step in double lanes. The same IEEE operations
// as the scalar code lane by lane (no contraction into fused multiply-adds); a lane whose source
// is outside is masked out of every conversion, which leaves its offset and weights 0.
#include "transforms/map_rows.h"
#include "transforms/sampling_rule.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

// GCC 12's AVX-512 intrinsics pass an undefined register as the unused source of some of their
// builtins, which its own flow analysis then reports as uninitialized.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace corvex {
namespace {

#define CORVEX_AVX512 __attribute__((target("avx512f,avx2"), always_inline)) inline

// trunc(a * b * 255) of eight lanes as 32-bit integers (0 to 255 here), 0 where `inside` is not.
CORVEX_AVX512 __m256i Weight(__mmask8 inside, __m512d a, __m512d b, __m512d scale) {
  return _mm512_maskz_cvttpd_epi32(inside, _mm512_mul_pd(_mm512_mul_pd(a, b), scale));
}

}  // namespace

__attribute__((target("avx512f,avx2"))) void MapDistancesAvx512(double dy, double centerX,
                                                                int32_t count, double* distances) {
  const __m512d dySquared = _mm512_set1_pd(dy * dy);
  const __m512d centre = _mm512_set1_pd(centerX);
  const __m512d tiny = _mm512_set1_pd(0.00000001);
  const __m512d step = _mm512_set1_pd(8.0);
  __m512d x = _mm512_setr_pd(0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0);  // each step is exact
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m512d dx = _mm512_sub_pd(x, centre);
    const __m512d sum = _mm512_add_pd(_mm512_mul_pd(dx, dx), dySquared);
    _mm512_storeu_pd(distances + i, _mm512_add_pd(_mm512_sqrt_pd(sum), tiny));
    x = _mm512_add_pd(x, step);
  }
  for (; i < count; ++i) distances[i] = DistanceFrom(i - centerX, dy);
}

__attribute__((target("avx512f,avx2"))) void SampleRowAvx512(const double* sx, const double* sy,
                                                             int32_t count, int32_t width,
                                                             int32_t height, uint32_t* offsets,
                                                             uint8_t* weights) {
  const __m512d zero = _mm512_setzero_pd();
  const __m512d one = _mm512_set1_pd(1.0);
  const __m512d scale = _mm512_set1_pd(255.0);
  const __m512d lastColumn = _mm512_set1_pd(width - 1);
  const __m512d lastRow = _mm512_set1_pd(height - 1);
  const __m256i rowLength = _mm256_set1_epi32(width);
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m512d x = _mm512_loadu_pd(sx + i);
    const __m512d y = _mm512_loadu_pd(sy + i);
    // Ordered comparisons: a NaN lane is outside, as in the scalar test.
    const __mmask8 inside = _mm512_cmp_pd_mask(x, zero, _CMP_GE_OQ) &
                            _mm512_cmp_pd_mask(x, lastColumn, _CMP_LE_OQ) &
                            _mm512_cmp_pd_mask(y, zero, _CMP_GE_OQ) &
                            _mm512_cmp_pd_mask(y, lastRow, _CMP_LE_OQ);
    const __m256i ix = _mm512_maskz_cvttpd_epi32(inside, x);
    const __m256i iy = _mm512_maskz_cvttpd_epi32(inside, y);
    const __m512d ax = _mm512_sub_pd(one, _mm512_sub_pd(x, _mm512_cvtepi32_pd(ix)));
    const __m512d ay = _mm512_sub_pd(one, _mm512_sub_pd(y, _mm512_cvtepi32_pd(iy)));
    const __m512d bx = _mm512_sub_pd(one, ax);
    const __m512d by = _mm512_sub_pd(one, ay);
    const __m256i offset =
        _mm256_slli_epi32(_mm256_add_epi32(_mm256_mullo_epi32(iy, rowLength), ix), 2);
    // Each pixel's four weights as one little-endian 32-bit word: w0 in the low byte.
    const __m256i packed = _mm256_or_si256(
        _mm256_or_si256(Weight(inside, ay, ax, scale),
                        _mm256_slli_epi32(Weight(inside, ay, bx, scale), 8)),
        _mm256_or_si256(_mm256_slli_epi32(Weight(inside, by, ax, scale), 16),
                        _mm256_slli_epi32(Weight(inside, by, bx, scale), 24)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(offsets + i), offset);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(weights + 4 * i), packed);
  }
  SampleRowAvx2(sx + i, sy + i, count - i, width, height, offsets + i, weights + 4 * i);
}

}  // namespace corvex

#else

namespace corvex {
void MapDistancesAvx512(double dy, double centerX, int32_t count, double* distances) {
  MapDistancesScalar(dy, centerX, count, distances);
}
void SampleRowAvx512(const double* sx, const double* sy, int32_t count, int32_t width,
                     int32_t height, uint32_t* offsets, uint8_t* weights) {
  SampleRowScalar(sx, sy, count, width, height, offsets, weights);
}
}  // namespace corvex

#endif
