// The feedback pass with AVX2, eight pixels per step. The 64-bit source pairs of four pixels
// come in as one register per row (broadcast loads and blends, which measured faster than a
// gather); unpacking against zero widens pixels 0 and 2 into one register and pixels 1 and 3
// into another. Each pixel's weights are spread over its 16-bit lanes by one byte shuffle of
// the four pixels' weight bytes, with 0 for the top byte's lane so that byte comes out 0. The
// top and bottom pairs and then the left and right halves are summed with unsigned
// saturation, which is the reference's limit at 65 535 since no term is negative.
#include "transforms/warp_pass.h"
#include "transforms/warp_pixel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace corvex {
namespace {

#define CORVEX_AVX2 __attribute__((target("avx2"), always_inline)) inline

// Shuffle control that turns the 16 weight bytes of four pixels (in both 128-bit lanes) into
// the words (w, w, w, 0, w', w', w', 0) of weights `first` and `first` + 1 of pixel `pixel` in
// the low lane and of pixel `pixel` + 2 in the high lane.
CORVEX_AVX2 __m256i SpreadWeights(int pixel, int first) {
  const char z = static_cast<char>(0x80);  // a shuffle index with the high bit set gives 0
  const char a = static_cast<char>(4 * pixel + first), b = static_cast<char>(a + 1);
  const char c = static_cast<char>(a + 8), d = static_cast<char>(a + 9);
  return _mm256_setr_epi8(a, z, a, z, a, z, z, z, b, z, b, z, b, z, z, z,  //
                          c, z, c, z, c, z, z, z, d, z, d, z, d, z, z, z);
}

struct Constants {
  __m256i sustain;
  __m256i top02, bottom02, top13, bottom13;
};

CORVEX_AVX2 __m256i Spread(__m256i weightBytes, __m256i control, const Constants& k) {
  return _mm256_add_epi16(_mm256_shuffle_epi8(weightBytes, control), k.sustain);
}

// The 64-bit pairs at four byte offsets, one per quarter. Broadcast loads and blends keep
// the shuffle unit free for the weights.
CORVEX_AVX2 long long LoadPair(const char* at) {
  long long value;
  __builtin_memcpy(&value, at, 8);
  return value;
}

CORVEX_AVX2 __m256i LoadPairs(const char* base, const uint32_t* offsets) {
  const __m256i p0 = _mm256_set1_epi64x(LoadPair(base + offsets[0]));
  const __m256i p1 = _mm256_set1_epi64x(LoadPair(base + offsets[1]));
  const __m256i p2 = _mm256_set1_epi64x(LoadPair(base + offsets[2]));
  const __m256i p3 = _mm256_set1_epi64x(LoadPair(base + offsets[3]));
  return _mm256_blend_epi32(_mm256_blend_epi32(p0, p1, 0x0C), _mm256_blend_epi32(p2, p3, 0xC0),
                            0xF0);
}

// Four destination pixels as 16-bit channel sums shifted down by 8: pixels 0 and 1 in the low
// lane, 2 and 3 in the high lane.
CORVEX_AVX2 __m256i FourPixels(const char* base, size_t rowBytes, const uint32_t* offsets,
                               const uint8_t* weights, const Constants& k) {
  const __m256i top = LoadPairs(base, offsets);
  const __m256i bottom = LoadPairs(base + rowBytes, offsets);
  const __m256i weightBytes =
      _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(weights)));
  const __m256i zero = _mm256_setzero_si256();
  // Pixels 0 | 2 and 1 | 3: P00 x w0 + P10 x w2 in the low four words of a lane, P01 x w1 +
  // P11 x w3 in the high four.
  const __m256i halves02 = _mm256_adds_epu16(
      _mm256_mullo_epi16(_mm256_unpacklo_epi8(top, zero), Spread(weightBytes, k.top02, k)),
      _mm256_mullo_epi16(_mm256_unpacklo_epi8(bottom, zero), Spread(weightBytes, k.bottom02, k)));
  const __m256i halves13 = _mm256_adds_epu16(
      _mm256_mullo_epi16(_mm256_unpackhi_epi8(top, zero), Spread(weightBytes, k.top13, k)),
      _mm256_mullo_epi16(_mm256_unpackhi_epi8(bottom, zero), Spread(weightBytes, k.bottom13, k)));
  const __m256i sums = _mm256_adds_epu16(_mm256_unpacklo_epi64(halves02, halves13),
                                         _mm256_unpackhi_epi64(halves02, halves13));
  return _mm256_srli_epi16(sums, 8);
}

}  // namespace

__attribute__((target("avx2"))) void WarpPassAvx2(const WarpPassArgs& args) {
  const char* base = reinterpret_cast<const char*>(args.previous);
  const size_t rowBytes = static_cast<size_t>(args.width) * 4;
  const int64_t count = static_cast<int64_t>(args.width) * args.height;
  Constants k;
  k.sustain = args.sustain ? _mm256_set1_epi64x(0x0000000100010001) : _mm256_setzero_si256();
  k.top02 = SpreadWeights(0, 0);
  k.bottom02 = SpreadWeights(0, 2);
  k.top13 = SpreadWeights(1, 0);
  k.bottom13 = SpreadWeights(1, 2);
  int64_t i = 0;
  for (; i + 8 <= count; i += 8) {
    PrefetchSourceAhead(base, rowBytes, args.offsets, i, count);
    const __m256i low = FourPixels(base, rowBytes, args.offsets + i, args.weights + 4 * i, k);
    const __m256i high =
        FourPixels(base, rowBytes, args.offsets + i + 4, args.weights + 4 * i + 16, k);
    // The pack interleaves the lanes (0 1 4 5 | 2 3 6 7); the permute puts them in order.
    const __m256i pixels = _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(args.destination + i), pixels);
  }
  WarpPixels(args, i);
}

}  // namespace corvex

#else

namespace corvex {
void WarpPassAvx2(const WarpPassArgs& args) { WarpPassScalar(args); }
}  // namespace corvex

#endif
