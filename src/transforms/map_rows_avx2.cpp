// The row kernels with AVX2, four pixels per step in double lanes. Square root, products, sums,
// differences and truncating conversions are the scalar code's IEEE operations lane by lane
// (no contraction into fused multiply-adds), so every entry has the scalar bits.
#include "transforms/map_rows.h"
#include "transforms/sampling_rule.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace corvex {
namespace {

#define CORVEX_AVX2 __attribute__((target("avx2"), always_inline)) inline

// trunc(a * b * 255) of four lanes, as 32-bit integers (0 to 255 here).
CORVEX_AVX2 __m128i Weight(__m256d a, __m256d b, __m256d scale) {
  return _mm256_cvttpd_epi32(_mm256_mul_pd(_mm256_mul_pd(a, b), scale));
}

}  // namespace

__attribute__((target("avx2"))) void MapDistancesAvx2(double dy, double centerX, int32_t count,
                                                      double* distances) {
  const __m256d dySquared = _mm256_set1_pd(dy * dy);
  const __m256d centre = _mm256_set1_pd(centerX);
  const __m256d tiny = _mm256_set1_pd(0.00000001);
  const __m256d step = _mm256_set1_pd(4.0);
  __m256d x = _mm256_setr_pd(0.0, 1.0, 2.0, 3.0);  // whole numbers: each step is exact
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m256d dx = _mm256_sub_pd(x, centre);
    const __m256d sum = _mm256_add_pd(_mm256_mul_pd(dx, dx), dySquared);
    _mm256_storeu_pd(distances + i, _mm256_add_pd(_mm256_sqrt_pd(sum), tiny));
    x = _mm256_add_pd(x, step);
  }
  for (; i < count; ++i) distances[i] = DistanceFrom(i - centerX, dy);
}

__attribute__((target("avx2"))) void MapPointsAvx2(double centerX, double centerY,
                                                   const double* radii, const double* cosines,
                                                   const double* sines, int32_t count, double* sx,
                                                   double* sy) {
  const __m256d cx = _mm256_set1_pd(centerX);
  const __m256d cy = _mm256_set1_pd(centerY);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m256d r = _mm256_loadu_pd(radii + i);
    _mm256_storeu_pd(sx + i, _mm256_add_pd(cx, _mm256_mul_pd(r, _mm256_loadu_pd(cosines + i))));
    _mm256_storeu_pd(sy + i, _mm256_add_pd(cy, _mm256_mul_pd(r, _mm256_loadu_pd(sines + i))));
  }
  MapPointsScalar(centerX, centerY, radii + i, cosines + i, sines + i, count - i, sx + i, sy + i);
}

__attribute__((target("avx2"))) void SampleRowAvx2(const double* sx, const double* sy,
                                                   int32_t count, int32_t width, int32_t height,
                                                   uint32_t* offsets, uint8_t* weights) {
  const __m256d zero = _mm256_setzero_pd();
  const __m256d one = _mm256_set1_pd(1.0);
  const __m256d scale = _mm256_set1_pd(255.0);
  const __m256d lastColumn = _mm256_set1_pd(width - 1);
  const __m256d lastRow = _mm256_set1_pd(height - 1);
  const __m128i rowLength = _mm_set1_epi32(width);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    __m256d x = _mm256_loadu_pd(sx + i);
    __m256d y = _mm256_loadu_pd(sy + i);
    // Ordered comparisons: a NaN lane is outside, as in the scalar test.
    const __m256d inside = _mm256_and_pd(
        _mm256_and_pd(_mm256_cmp_pd(x, zero, _CMP_GE_OQ), _mm256_cmp_pd(x, lastColumn, _CMP_LE_OQ)),
        _mm256_and_pd(_mm256_cmp_pd(y, zero, _CMP_GE_OQ), _mm256_cmp_pd(y, lastRow, _CMP_LE_OQ)));
    // Outside lanes become (0, 0) so their conversions stay in range; their entries are
    // cleared below.
    x = _mm256_and_pd(x, inside);
    y = _mm256_and_pd(y, inside);
    const __m128i ix = _mm256_cvttpd_epi32(x);
    const __m128i iy = _mm256_cvttpd_epi32(y);
    const __m256d ax = _mm256_sub_pd(one, _mm256_sub_pd(x, _mm256_cvtepi32_pd(ix)));
    const __m256d ay = _mm256_sub_pd(one, _mm256_sub_pd(y, _mm256_cvtepi32_pd(iy)));
    const __m256d bx = _mm256_sub_pd(one, ax);
    const __m256d by = _mm256_sub_pd(one, ay);
    // The inside mask as one 32-bit lane per pixel (the low halves of the 64-bit lanes).
    const __m128i keep = _mm256_cvtpd_epi32(_mm256_and_pd(inside, one));  // 1 or 0
    const __m128i mask = _mm_sub_epi32(_mm_setzero_si128(), keep);
    const __m128i offset = _mm_slli_epi32(_mm_add_epi32(_mm_mullo_epi32(iy, rowLength), ix), 2);
    // Each pixel's four weights as one little-endian 32-bit word: w0 in the low byte.
    const __m128i packed =
        _mm_or_si128(_mm_or_si128(Weight(ay, ax, scale), _mm_slli_epi32(Weight(ay, bx, scale), 8)),
                     _mm_or_si128(_mm_slli_epi32(Weight(by, ax, scale), 16),
                                  _mm_slli_epi32(Weight(by, bx, scale), 24)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(offsets + i), _mm_and_si128(offset, mask));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(weights + 4 * i), _mm_and_si128(packed, mask));
  }
  SampleRowScalar(sx + i, sy + i, count - i, width, height, offsets + i, weights + 4 * i);
}

}  // namespace corvex

#else

namespace corvex {
void MapDistancesAvx2(double dy, double centerX, int32_t count, double* distances) {
  MapDistancesScalar(dy, centerX, count, distances);
}
void SampleRowAvx2(const double* sx, const double* sy, int32_t count, int32_t width, int32_t height,
                   uint32_t* offsets, uint8_t* weights) {
  SampleRowScalar(sx, sy, count, width, height, offsets, weights);
}
void MapPointsAvx2(double centerX, double centerY, const double* radii, const double* cosines,
                   const double* sines, int32_t count, double* sx, double* sy) {
  MapPointsScalar(centerX, centerY, radii, cosines, sines, count, sx, sy);
}
}  // namespace corvex

#endif
