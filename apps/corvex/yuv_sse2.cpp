// The conversion with 128-bit SSE2 registers, 16 pixels of two rows a step. Each pixel stays
// in its 32-bit lane: blue and red are kept as two 16-bit words and green is moved beside
// itself, so one multiply-add per pair gives the exact integer sums of the plain code.
#include "yuv_kernels.h"
#include "yuv_rows.h"

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>

namespace corvex::host {
namespace {

using namespace yuv;

// Green's luma weight does not fit a signed 16-bit word: it is split over green's two copies.
constexpr int32_t kYgLow = kYg / 2, kYgHigh = kYg - kYg / 2;
static_assert(kYgHigh <= 32767 && kYr <= 32767 && kYb <= 32767);

inline __m128i Words(int32_t low, int32_t high) {
  return _mm_set1_epi32(static_cast<int32_t>((static_cast<uint32_t>(high) << 16) |
                                             (static_cast<uint32_t>(low) & 0xFFFF)));
}

inline __m128i BlueRed(__m128i p) { return _mm_and_si128(p, _mm_set1_epi32(0x00FF00FF)); }
inline __m128i Green(__m128i p) {
  return _mm_and_si128(_mm_srli_epi32(p, 8), _mm_set1_epi32(0xFF));
}

// Y - 16 of four pixels, one in each 32-bit lane.
inline __m128i Luma4(__m128i p) {
  const __m128i g = Green(p);
  const __m128i sum =
      _mm_add_epi32(_mm_madd_epi16(BlueRed(p), Words(kYb, kYr)),
                    _mm_madd_epi16(_mm_or_si128(g, _mm_slli_epi32(g, 16)), Words(kYgLow, kYgHigh)));
  return _mm_srli_epi32(_mm_add_epi32(sum, _mm_set1_epi32(kHalf)), 16);
}

// 16 luma bytes of 16 pixels.
inline void StoreLuma(const uint32_t* s, uint8_t* d) {
  const __m128i* in = reinterpret_cast<const __m128i*>(s);
  const __m128i low = _mm_packs_epi32(Luma4(_mm_loadu_si128(in)), Luma4(_mm_loadu_si128(in + 1)));
  const __m128i high =
      _mm_packs_epi32(Luma4(_mm_loadu_si128(in + 2)), Luma4(_mm_loadu_si128(in + 3)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(d),
                   _mm_add_epi8(_mm_packus_epi16(low, high), _mm_set1_epi8(16)));
}

// Adds each even lane to the odd lane after it, from two registers: four 2x2 sums.
inline __m128i PairSums(__m128i a, __m128i b) {
  const __m128 fa = _mm_castsi128_ps(a), fb = _mm_castsi128_ps(b);
  return _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(fa, fb, _MM_SHUFFLE(2, 0, 2, 0))),
                       _mm_castps_si128(_mm_shuffle_ps(fa, fb, _MM_SHUFFLE(3, 1, 3, 1))));
}

// The sums of four 2x2 blocks: blue and red words, and green words beside a zero.
struct BlockSums {
  __m128i blueRed;
  __m128i green;
};

inline BlockSums Blocks(const uint32_t* top, const uint32_t* bottom) {
  const __m128i* t = reinterpret_cast<const __m128i*>(top);
  const __m128i* b = reinterpret_cast<const __m128i*>(bottom);
  const __m128i t0 = _mm_loadu_si128(t), t1 = _mm_loadu_si128(t + 1);
  const __m128i b0 = _mm_loadu_si128(b), b1 = _mm_loadu_si128(b + 1);
  return {
      PairSums(_mm_add_epi32(BlueRed(t0), BlueRed(b0)), _mm_add_epi32(BlueRed(t1), BlueRed(b1))),
      PairSums(_mm_add_epi32(Green(t0), Green(b0)), _mm_add_epi32(Green(t1), Green(b1)))};
}

// One chroma plane's four samples less 128, as signed 32-bit lanes.
inline __m128i Chroma4(const BlockSums& sums, int32_t r, int32_t g, int32_t b) {
  const __m128i sum = _mm_add_epi32(_mm_madd_epi16(sums.blueRed, Words(b, r)),
                                    _mm_madd_epi16(sums.green, Words(g, 0)));
  return _mm_srai_epi32(_mm_add_epi32(sum, _mm_set1_epi32(kHalf << 2)), 18);
}

int32_t RowPairSse2(const RowPair& rows, int32_t width) {
  int32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    StoreLuma(rows.top + x, rows.lumaTop + x);
    StoreLuma(rows.bottom + x, rows.lumaBottom + x);
    const BlockSums left = Blocks(rows.top + x, rows.bottom + x);
    const BlockSums right = Blocks(rows.top + x + 8, rows.bottom + x + 8);
    const __m128i cb =
        _mm_packs_epi32(Chroma4(left, kCbR, kCbG, kCbB), Chroma4(right, kCbR, kCbG, kCbB));
    const __m128i cr =
        _mm_packs_epi32(Chroma4(left, kCrR, kCrG, kCrB), Chroma4(right, kCrR, kCrG, kCrB));
    const __m128i offset = _mm_set1_epi16(128);
    const __m128i both = _mm_packus_epi16(_mm_add_epi16(cb, offset), _mm_add_epi16(cr, offset));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(rows.cb + x / 2), both);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(rows.cr + x / 2), _mm_srli_si128(both, 8));
  }
  return x;
}

}  // namespace

const YuvKernel& Sse2YuvKernel() {
  static const YuvKernel kernel{"sse2", &ConvertRowPairs<RowPairSse2>};
  return kernel;
}

}  // namespace corvex::host

#else

namespace corvex::host {
const YuvKernel& Sse2YuvKernel() { return ScalarYuvKernel(); }
}  // namespace corvex::host

#endif
