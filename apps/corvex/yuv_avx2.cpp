// The conversion with 256-bit AVX2 registers, 32 pixels of two rows a step, chosen at run time
// on processors that have it. The arithmetic is the SSE2 version's; in-lane packs leave luma
// in 4-pixel groups 0, 2, 4, 6, 1, 3, 5, 7 and chroma in 2-sample groups split between the
// two 128-bit halves, each put back in order before it is stored.
#include "yuv_kernels.h"
#include "yuv_rows.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#define CORVEX_AVX2 __attribute__((target("avx2")))

namespace corvex::host {
namespace {

using namespace yuv;

constexpr int32_t kYgLow = kYg / 2, kYgHigh = kYg - kYg / 2;

CORVEX_AVX2 inline __m256i Words(int32_t low, int32_t high) {
  return _mm256_set1_epi32(static_cast<int32_t>((static_cast<uint32_t>(high) << 16) |
                                                (static_cast<uint32_t>(low) & 0xFFFF)));
}

CORVEX_AVX2 inline __m256i BlueRed(__m256i p) {
  return _mm256_and_si256(p, _mm256_set1_epi32(0x00FF00FF));
}
CORVEX_AVX2 inline __m256i Green(__m256i p) {
  return _mm256_and_si256(_mm256_srli_epi32(p, 8), _mm256_set1_epi32(0xFF));
}

CORVEX_AVX2 inline __m256i Load(const uint32_t* s) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
}

CORVEX_AVX2 inline __m256i Luma8(__m256i p) {
  const __m256i g = Green(p);
  const __m256i sum = _mm256_add_epi32(
      _mm256_madd_epi16(BlueRed(p), Words(kYb, kYr)),
      _mm256_madd_epi16(_mm256_or_si256(g, _mm256_slli_epi32(g, 16)), Words(kYgLow, kYgHigh)));
  return _mm256_srli_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(kHalf)), 16);
}

CORVEX_AVX2 inline void StoreLuma(const uint32_t* s, uint8_t* d) {
  const __m256i low = _mm256_packs_epi32(Luma8(Load(s)), Luma8(Load(s + 8)));
  const __m256i high = _mm256_packs_epi32(Luma8(Load(s + 16)), Luma8(Load(s + 24)));
  const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(low, high),
                                                    _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), _mm256_add_epi8(bytes, _mm256_set1_epi8(16)));
}

// Each even lane plus the odd lane after it, within each half: samples 0, 1, 4, 5 | 2, 3, 6, 7
// of the eight 2x2 blocks of a and b.
CORVEX_AVX2 inline __m256i PairSums(__m256i a, __m256i b) {
  const __m256 fa = _mm256_castsi256_ps(a), fb = _mm256_castsi256_ps(b);
  return _mm256_add_epi32(_mm256_castps_si256(_mm256_shuffle_ps(fa, fb, _MM_SHUFFLE(2, 0, 2, 0))),
                          _mm256_castps_si256(_mm256_shuffle_ps(fa, fb, _MM_SHUFFLE(3, 1, 3, 1))));
}

struct BlockSums {
  __m256i blueRed;
  __m256i green;
};

CORVEX_AVX2 inline BlockSums Blocks(const uint32_t* top, const uint32_t* bottom) {
  const __m256i t0 = Load(top), t1 = Load(top + 8), b0 = Load(bottom), b1 = Load(bottom + 8);
  return {PairSums(_mm256_add_epi32(BlueRed(t0), BlueRed(b0)),
                   _mm256_add_epi32(BlueRed(t1), BlueRed(b1))),
          PairSums(_mm256_add_epi32(Green(t0), Green(b0)), _mm256_add_epi32(Green(t1), Green(b1)))};
}

CORVEX_AVX2 inline __m256i Chroma8(const BlockSums& sums, int32_t r, int32_t g, int32_t b) {
  const __m256i sum = _mm256_add_epi32(_mm256_madd_epi16(sums.blueRed, Words(b, r)),
                                       _mm256_madd_epi16(sums.green, Words(g, 0)));
  return _mm256_srai_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(kHalf << 2)), 18);
}

CORVEX_AVX2 int32_t RowPairAvx2(const RowPair& rows, int32_t width) {
  int32_t x = 0;
  for (; x + 32 <= width; x += 32) {
    StoreLuma(rows.top + x, rows.lumaTop + x);
    StoreLuma(rows.bottom + x, rows.lumaBottom + x);
    const BlockSums left = Blocks(rows.top + x, rows.bottom + x);
    const BlockSums right = Blocks(rows.top + x + 16, rows.bottom + x + 16);
    // Words: samples 0, 1, 4, 5, 8, 9, 12, 13 | 2, 3, 6, 7, 10, 11, 14, 15.
    const __m256i cb =
        _mm256_packs_epi32(Chroma8(left, kCbR, kCbG, kCbB), Chroma8(right, kCbR, kCbG, kCbB));
    const __m256i cr =
        _mm256_packs_epi32(Chroma8(left, kCrR, kCrG, kCrB), Chroma8(right, kCrR, kCrG, kCrB));
    const __m256i offset = _mm256_set1_epi16(128);
    const __m256i both =
        _mm256_packus_epi16(_mm256_add_epi16(cb, offset), _mm256_add_epi16(cr, offset));
    // Each half holds Cb then Cr; interleaving the halves' sample pairs restores the order.
    const __m128i low = _mm256_castsi256_si128(both), high = _mm256_extracti128_si256(both, 1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rows.cb + x / 2), _mm_unpacklo_epi16(low, high));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rows.cr + x / 2), _mm_unpackhi_epi16(low, high));
  }
  return x;
}

}  // namespace

const YuvKernel& Avx2YuvKernel() {
  static const YuvKernel kernel{"avx2", &ConvertRowPairs<RowPairAvx2>};
  return kernel;
}

}  // namespace corvex::host

#else

namespace corvex::host {
const YuvKernel& Avx2YuvKernel() { return ScalarYuvKernel(); }
}  // namespace corvex::host

#endif
