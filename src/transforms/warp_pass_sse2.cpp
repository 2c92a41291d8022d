// The feedback pass with SSE2, four pixels per step. Each pixel's two 64-bit source pairs are
// widened to 16-bit lanes and multiplied by its weights spread over the lanes of their pixel;
// the top and bottom pairs and then the left and right halves are summed with unsigned
// saturation, which is the reference's limit at 65 535 since no term is negative.
#include "transforms/warp_pass.h"
#include "transforms/warp_pixel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace corvex {
namespace {

#define CORVEX_SSE2 __attribute__((target("sse2"), always_inline)) inline

// The eight words of one destination pixel: P00 x w0 + P10 x w2 in the low four, P01 x w1 +
// P11 x w3 in the high four. `pair` holds the pixel's weights as words w0 w0 w1 w1 w2 w2 w3 w3.
CORVEX_SSE2 __m128i BlockHalves(const char* source, const char* sourceBelow, __m128i pair,
                                __m128i sustain) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i topWeights = _mm_add_epi16(_mm_unpacklo_epi32(pair, pair), sustain);
  const __m128i bottomWeights = _mm_add_epi16(_mm_unpackhi_epi32(pair, pair), sustain);
  const __m128i top =
      _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(source)), zero);
  const __m128i bottom = _mm_unpacklo_epi8(
      _mm_loadl_epi64(reinterpret_cast<const __m128i*>(sourceBelow)), zero);
  return _mm_adds_epu16(_mm_mullo_epi16(top, topWeights), _mm_mullo_epi16(bottom, bottomWeights));
}

// Two pixels' halves summed and scaled: words of pixel a, then of pixel b.
CORVEX_SSE2 __m128i TwoPixels(__m128i a, __m128i b) {
  const __m128i sums = _mm_adds_epu16(_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b));
  return _mm_srli_epi16(sums, 8);
}

// Pixels i to i + 3.
CORVEX_SSE2 void FourPixels(const WarpPassArgs& args, const char* base, const char* below,
                            int64_t i, __m128i sustain, __m128i colours) {
  const __m128i zero = _mm_setzero_si128();
  const uint32_t* offsets = args.offsets + i;
  const __m128i weightBytes =
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(args.weights + 4 * i));
  const __m128i weights01 = _mm_unpacklo_epi8(weightBytes, zero);
  const __m128i weights23 = _mm_unpackhi_epi8(weightBytes, zero);
  const __m128i h0 = BlockHalves(base + offsets[0], below + offsets[0],
                                 _mm_unpacklo_epi16(weights01, weights01), sustain);
  const __m128i h1 = BlockHalves(base + offsets[1], below + offsets[1],
                                 _mm_unpackhi_epi16(weights01, weights01), sustain);
  const __m128i h2 = BlockHalves(base + offsets[2], below + offsets[2],
                                 _mm_unpacklo_epi16(weights23, weights23), sustain);
  const __m128i h3 = BlockHalves(base + offsets[3], below + offsets[3],
                                 _mm_unpackhi_epi16(weights23, weights23), sustain);
  const __m128i pixels = _mm_packus_epi16(TwoPixels(h0, h1), TwoPixels(h2, h3));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(args.destination + i),
                   _mm_and_si128(pixels, colours));
}

}  // namespace

__attribute__((target("sse2"))) void WarpPassSse2(const WarpPassArgs& args) {
  const char* base = reinterpret_cast<const char*>(args.previous);
  const size_t rowBytes = static_cast<size_t>(args.width) * 4;
  const int64_t count = static_cast<int64_t>(args.width) * args.height;
  // One more in blue, green and red; the top byte's lane is cleared at the end anyway.
  const __m128i sustain =
      args.sustain ? _mm_set_epi16(0, 1, 1, 1, 0, 1, 1, 1) : _mm_setzero_si128();
  const __m128i colours = _mm_set1_epi32(0x00FFFFFF);
  const char* below = RowBelow(base, rowBytes);
  int64_t i = 0;
  for (; i + 16 <= count - kEntriesAhead; i += 16) {
    PrefetchSources(base, rowBytes, args.offsets, i + kSourcesAhead);
    PrefetchSources(base, rowBytes, args.offsets, i + 8 + kSourcesAhead);
    PrefetchEntries(args.offsets, args.weights, i + kEntriesAhead);
    for (int step = 0; step < 16; step += 4) {
      FourPixels(args, base, below, i + step, sustain, colours);
    }
  }
  for (; i + 4 <= count; i += 4) FourPixels(args, base, below, i, sustain, colours);
  WarpPixels(args, i);
}

}  // namespace corvex

#else

namespace corvex {
// Off x86 there is no SSE2: the reference stands in, so callers need no conditions.
void WarpPassSse2(const WarpPassArgs& args) { WarpPassScalar(args); }
}  // namespace corvex

#endif
