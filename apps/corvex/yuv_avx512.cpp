// The conversion with 512-bit AVX-512 (F and BW) registers, 64 pixels of two rows a step,
// chosen at run time on processors that have it. The arithmetic is the SSE2 version's; the
// in-lane packs leave luma in 4-pixel groups 0, 4, 8, 12, 1, 5, ... and chroma in 2-sample
// pairs spread over the four 128-bit lanes, and one cross-lane permute per store puts them in
// order.
#include "yuv_kernels.h"
#include "yuv_rows.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

// GCC 12's AVX-512 intrinsics pass _mm512_undefined_epi32() as the unused source of their
// masked builtins, which its own flow analysis then reports as uninitialized.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#define CORVEX_AVX512 __attribute__((target("avx512f,avx512bw")))

namespace corvex::host {
namespace {

using namespace yuv;

constexpr int32_t kYgLow = kYg / 2, kYgHigh = kYg - kYg / 2;

CORVEX_AVX512 inline __m512i Words(int32_t low, int32_t high) {
  return _mm512_set1_epi32(static_cast<int32_t>((static_cast<uint32_t>(high) << 16) |
                                                (static_cast<uint32_t>(low) & 0xFFFF)));
}

CORVEX_AVX512 inline __m512i BlueRed(__m512i p) {
  return _mm512_and_si512(p, _mm512_set1_epi32(0x00FF00FF));
}
CORVEX_AVX512 inline __m512i Green(__m512i p) {
  return _mm512_and_si512(_mm512_srli_epi32(p, 8), _mm512_set1_epi32(0xFF));
}

CORVEX_AVX512 inline __m512i Load(const uint32_t* s) { return _mm512_loadu_si512(s); }

CORVEX_AVX512 inline __m512i Luma16(__m512i p) {
  const __m512i g = Green(p);
  const __m512i sum = _mm512_add_epi32(
      _mm512_madd_epi16(BlueRed(p), Words(kYb, kYr)),
      _mm512_madd_epi16(_mm512_or_si512(g, _mm512_slli_epi32(g, 16)), Words(kYgLow, kYgHigh)));
  return _mm512_srli_epi32(_mm512_add_epi32(sum, _mm512_set1_epi32(kHalf)), 16);
}

CORVEX_AVX512 inline void StoreLuma(const uint32_t* s, uint8_t* d) {
  const __m512i low = _mm512_packs_epi32(Luma16(Load(s)), Luma16(Load(s + 16)));
  const __m512i high = _mm512_packs_epi32(Luma16(Load(s + 32)), Luma16(Load(s + 48)));
  const __m512i order = _mm512_setr_epi32(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
  const __m512i bytes = _mm512_permutexvar_epi32(order, _mm512_packus_epi16(low, high));
  _mm512_storeu_si512(d, _mm512_add_epi8(bytes, _mm512_set1_epi8(16)));
}

// Each even lane plus the odd lane after it, within each 128-bit lane k: samples 2k, 2k + 1,
// 2k + 8, 2k + 9 of the sixteen 2x2 blocks of a and b.
CORVEX_AVX512 inline __m512i PairSums(__m512i a, __m512i b) {
  const __m512 fa = _mm512_castsi512_ps(a), fb = _mm512_castsi512_ps(b);
  return _mm512_add_epi32(_mm512_castps_si512(_mm512_shuffle_ps(fa, fb, _MM_SHUFFLE(2, 0, 2, 0))),
                          _mm512_castps_si512(_mm512_shuffle_ps(fa, fb, _MM_SHUFFLE(3, 1, 3, 1))));
}

struct BlockSums {
  __m512i blueRed;
  __m512i green;
};

CORVEX_AVX512 inline BlockSums Blocks(const uint32_t* top, const uint32_t* bottom) {
  const __m512i t0 = Load(top), t1 = Load(top + 16), b0 = Load(bottom), b1 = Load(bottom + 16);
  return {PairSums(_mm512_add_epi32(BlueRed(t0), BlueRed(b0)),
                   _mm512_add_epi32(BlueRed(t1), BlueRed(b1))),
          PairSums(_mm512_add_epi32(Green(t0), Green(b0)), _mm512_add_epi32(Green(t1), Green(b1)))};
}

CORVEX_AVX512 inline __m512i Chroma16(const BlockSums& sums, int32_t r, int32_t g, int32_t b) {
  const __m512i sum = _mm512_add_epi32(_mm512_madd_epi16(sums.blueRed, Words(b, r)),
                                       _mm512_madd_epi16(sums.green, Words(g, 0)));
  return _mm512_srai_epi32(_mm512_add_epi32(sum, _mm512_set1_epi32(kHalf << 2)), 18);
}

CORVEX_AVX512 int32_t RowPairAvx512(const RowPair& rows, int32_t width) {
  // 16-bit units of the packed bytes: lane k holds Cb pairs k, k + 4, k + 8, k + 12, then the
  // same Cr pairs; out comes Cb pairs 0..15, then Cr pairs 0..15.
  const __m512i order =
      _mm512_set_epi16(31, 23, 15, 7, 30, 22, 14, 6, 29, 21, 13, 5, 28, 20, 12, 4,  //
                       27, 19, 11, 3, 26, 18, 10, 2, 25, 17, 9, 1, 24, 16, 8, 0);
  int32_t x = 0;
  for (; x + 64 <= width; x += 64) {
    StoreLuma(rows.top + x, rows.lumaTop + x);
    StoreLuma(rows.bottom + x, rows.lumaBottom + x);
    const BlockSums left = Blocks(rows.top + x, rows.bottom + x);
    const BlockSums right = Blocks(rows.top + x + 32, rows.bottom + x + 32);
    const __m512i cb =
        _mm512_packs_epi32(Chroma16(left, kCbR, kCbG, kCbB), Chroma16(right, kCbR, kCbG, kCbB));
    const __m512i cr =
        _mm512_packs_epi32(Chroma16(left, kCrR, kCrG, kCrB), Chroma16(right, kCrR, kCrG, kCrB));
    const __m512i offset = _mm512_set1_epi16(128);
    const __m512i both = _mm512_permutexvar_epi16(
        order, _mm512_packus_epi16(_mm512_add_epi16(cb, offset), _mm512_add_epi16(cr, offset)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(rows.cb + x / 2), _mm512_castsi512_si256(both));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(rows.cr + x / 2),
                        _mm512_extracti64x4_epi64(both, 1));
  }
  return x;
}

}  // namespace

const YuvKernel& Avx512YuvKernel() {
  static const YuvKernel kernel{"avx512", &ConvertRowPairs<RowPairAvx512>};
  return kernel;
}

}  // namespace corvex::host

#else

namespace corvex::host {
const YuvKernel& Avx512YuvKernel() { return ScalarYuvKernel(); }
}  // namespace corvex::host

#endif
