// The feedback pass with AVX2, eight pixels per step, as two groups of four: pixels 0, 1, 4, 5
// and 2, 3, 6, 7. A group's top pairs (a source pixel and its right neighbour) fill one register
// and its bottom pairs another, two pixels to each 128-bit lane. One byte shuffle spreads a
// register's blue and green to the words (b0, b1, b0', b1', g0, g1, g0', g1') of the lane's two
// pixels, another its red to (r0, r1, r0', r1', 0, 0, 0, 0), so that a multiply-add with the
// words (w0 + s, w1 + s) of each pixel (w2 + s, w3 + s for the bottom pairs) gives each
// channel's exact sum over a pair in 32 bits. The top and bottom sums are added, and the
// unsigned pack to 16 bits limits each at 65 535: no term is negative, so that is the value the
// reference's saturating additions reach. A last byte shuffle takes the high byte of each sum
// to its place in the pixel, with 0 for the top byte.
#include "transforms/warp_pass.h"
#include "transforms/warp_pixel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace corvex {
namespace {

#define CORVEX_AVX2 __attribute__((target("avx2"), always_inline)) inline

#define CORVEX_BLOCKS CORVEX_AVX2
#include "transforms/warp_pass_blocks.inc"
#undef CORVEX_BLOCKS

struct Shuffles {
  __m256i blueGreen, red;     // the pairs' channels as words, for the multiply-adds
  __m256i toFirst, toSecond;  // a group's eight high bytes to the low or high half of a lane
};

// The four pixels of the group that starts at pixel `first` of the step (first, first + 1,
// first + 4, first + 5), as bytes in the lane half that `place` picks, 0 elsewhere. `weights`
// holds the group's weight words, sustain added: (w0, w1, w2, w3) of each pixel in its lane's
// order.
CORVEX_AVX2 __m256i Group(const char* base, const char* below, const uint32_t* o, int first,
                          __m256i weights, const Shuffles& k, __m256i place) {
  const uint32_t o0 = o[first], o1 = o[first + 1], o4 = o[first + 4], o5 = o[first + 5];
  const __m256i top = LoadPairs(base + o0, base + o1, base + o4, base + o5);
  const __m256i bottom = LoadPairs(below + o0, below + o1, below + o4, below + o5);
  // (w0, w1) and (w2, w3) of the lane's two pixels, each twice.
  const __m256i topWeights = _mm256_shuffle_epi32(weights, 0x88);
  const __m256i bottomWeights = _mm256_shuffle_epi32(weights, 0xDD);
  const __m256i blueGreen =
      _mm256_add_epi32(_mm256_madd_epi16(_mm256_shuffle_epi8(top, k.blueGreen), topWeights),
                       _mm256_madd_epi16(_mm256_shuffle_epi8(bottom, k.blueGreen), bottomWeights));
  const __m256i red =
      _mm256_add_epi32(_mm256_madd_epi16(_mm256_shuffle_epi8(top, k.red), topWeights),
                       _mm256_madd_epi16(_mm256_shuffle_epi8(bottom, k.red), bottomWeights));
  return _mm256_shuffle_epi8(_mm256_packus_epi32(blueGreen, red), place);
}

// Pixels i to i + 7: the weight words of pixels 0, 1 | 4, 5 and of 2, 3 | 6, 7, each group's
// pixels, and the eight stored (with `stream` past the caches).
template <bool stream>
CORVEX_AVX2 void Step(const char* base, const char* below, const uint32_t* offsets,
                      const uint8_t* weights, uint32_t* destination, int64_t i, __m256i sustain,
                      const Shuffles& k) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i weightBytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + 4 * i));
  const __m256i weights0145 = _mm256_add_epi16(_mm256_unpacklo_epi8(weightBytes, zero), sustain);
  const __m256i weights2367 = _mm256_add_epi16(_mm256_unpackhi_epi8(weightBytes, zero), sustain);
  const __m256i pixels0145 = Group(base, below, offsets + i, 0, weights0145, k, k.toFirst);
  const __m256i pixels2367 = Group(base, below, offsets + i, 2, weights2367, k, k.toSecond);
  const __m256i pixels = _mm256_or_si256(pixels0145, pixels2367);
  if (stream) {
    _mm256_stream_si256(reinterpret_cast<__m256i*>(destination + i), pixels);
  } else {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i), pixels);
  }
}

// With `stream` the stores go past the caches, which needs them aligned to 32 bytes: the pixels
// before the first aligned step are computed one by one.
template <bool stream>
CORVEX_AVX2 void PassAvx2(const WarpPassArgs& args) {
  // Locals, so that the stores cannot be taken to change them.
  const char* base = reinterpret_cast<const char*>(args.previous);
  const uint32_t* offsets = args.offsets;
  const uint8_t* weights = args.weights;
  uint32_t* destination = args.destination;
  const size_t rowBytes = static_cast<size_t>(args.width) * 4;
  const char* below = RowBelow(base, rowBytes);
  const int64_t count = static_cast<int64_t>(args.width) * args.height;
  const __m256i sustain = _mm256_set1_epi16(args.sustain ? 1 : 0);
  const char z = static_cast<char>(0x80);  // a shuffle index with the high bit set gives 0
  // After the pack a lane holds the words (b, b', g, g', r, r', 0, 0) of its two pixels.
  Shuffles k;
  k.blueGreen = _mm256_setr_epi8(0, z, 4, z, 8, z, 12, z, 1, z, 5, z, 9, z, 13, z,  //
                                 0, z, 4, z, 8, z, 12, z, 1, z, 5, z, 9, z, 13, z);
  k.red = _mm256_setr_epi8(2, z, 6, z, 10, z, 14, z, z, z, z, z, z, z, z, z,  //
                           2, z, 6, z, 10, z, 14, z, z, z, z, z, z, z, z, z);
  k.toFirst = _mm256_setr_epi8(1, 5, 9, z, 3, 7, 11, z, z, z, z, z, z, z, z, z,  //
                               1, 5, 9, z, 3, 7, 11, z, z, z, z, z, z, z, z, z);
  k.toSecond = _mm256_setr_epi8(z, z, z, z, z, z, z, z, 1, 5, 9, z, 3, 7, 11, z,  //
                                z, z, z, z, z, z, z, z, 1, 5, 9, z, 3, 7, 11, z);
  int64_t i = 0;
  if (stream) {
    i = PixelsBeforeAlignedStores(args, 32);
    WarpPixelRange(args, 0, i);
  }
  // Prefetching runs two steps at a time, as long as what it asks for lies inside the map; the
  // last steps need none.
  for (; i + 16 <= count - kEntriesAhead; i += 16) {
    PrefetchSources(base, rowBytes, offsets, i + kSourcesAhead);
    PrefetchSources(base, rowBytes, offsets, i + 8 + kSourcesAhead);
    PrefetchEntries(offsets, weights, i + kEntriesAhead);
    Step<stream>(base, below, offsets, weights, destination, i, sustain, k);
    Step<stream>(base, below, offsets, weights, destination, i + 8, sustain, k);
  }
  for (; i + 8 <= count; i += 8) {
    Step<stream>(base, below, offsets, weights, destination, i, sustain, k);
  }
  if (stream) _mm_sfence();  // the streamed picture is complete before anyone reads it
  WarpPixels(args, i);
}

}  // namespace

__attribute__((target("avx2"))) void WarpPassAvx2(const WarpPassArgs& args) {
  if (args.streamStores) {
    PassAvx2<true>(args);
  } else {
    PassAvx2<false>(args);
  }
}

}  // namespace corvex

#else

namespace corvex {
void WarpPassAvx2(const WarpPassArgs& args) { WarpPassScalar(args); }
}  // namespace corvex

#endif
