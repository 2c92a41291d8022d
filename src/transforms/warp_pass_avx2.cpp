// The feedback pass with AVX2, eight pixels per step. Each 128-bit lane holds one pixel's source
// block as it lies in memory (warp_pass_blocks.inc), and one byte shuffle per pair spreads it to
// the words (b0, b1, g0, g1, r0, r1, 0, 0), so that a multiply-add with the words (w0 + s,
// w1 + s) gives each channel's exact sum over the pair in 32 bits; the top byte's words are 0,
// which makes that byte 0. The top and bottom sums are added, and the unsigned pack to 16 bits
// limits each at 65 535: no term is negative, so that is the value the reference's saturating
// additions reach.
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

// Byte shuffles that spread a block's top or bottom pair to (b0, b1, g0, g1, r0, r1, 0, 0).
struct Shuffles {
  __m256i topPair, bottomPair;
};

// The 32-bit channel sums (blue, green, red, 0) of the two pixels in `blocks`. Their weight words,
// sustain added, are (w0, w1) in 32-bit element `top` and (w2, w3) in element `top` + 1 of each
// lane of `weights`.
template <int top>
CORVEX_AVX2 __m256i ChannelSums(__m256i blocks, __m256i weights, const Shuffles& k) {
  constexpr int kTopWeights = top * 0x55, kBottomWeights = (top + 1) * 0x55;
  const __m256i upper = _mm256_madd_epi16(_mm256_shuffle_epi8(blocks, k.topPair),
                                          _mm256_shuffle_epi32(weights, kTopWeights));
  const __m256i lower = _mm256_madd_epi16(_mm256_shuffle_epi8(blocks, k.bottomPair),
                                          _mm256_shuffle_epi32(weights, kBottomWeights));
  return _mm256_add_epi32(upper, lower);
}

}  // namespace

__attribute__((target("avx2"))) void WarpPassAvx2(const WarpPassArgs& args) {
  // Locals, so that the stores cannot be taken to change them.
  const char* base = reinterpret_cast<const char*>(args.previous);
  const uint32_t* offsets = args.offsets;
  const uint8_t* weights = args.weights;
  uint32_t* destination = args.destination;
  const size_t rowBytes = static_cast<size_t>(args.width) * 4;
  const int64_t count = static_cast<int64_t>(args.width) * args.height;
  const __m256i sustain = _mm256_set1_epi16(args.sustain ? 1 : 0);
  const __m256i zero = _mm256_setzero_si256();
  const char z = static_cast<char>(0x80);  // a shuffle index with the high bit set gives 0
  Shuffles k;
  k.topPair = _mm256_setr_epi8(0, z, 4, z, 1, z, 5, z, 2, z, 6, z, z, z, z, z,  //
                               0, z, 4, z, 1, z, 5, z, 2, z, 6, z, z, z, z, z);
  k.bottomPair = _mm256_setr_epi8(8, z, 12, z, 9, z, 13, z, 10, z, 14, z, z, z, z, z,  //
                                  8, z, 12, z, 9, z, 13, z, 10, z, 14, z, z, z, z, z);
  int64_t i = 0;
  for (; i + 8 <= count; i += 8) {
    PrefetchSourceAhead(base, rowBytes, offsets, i, count);
    const uint32_t* o = offsets + i;
    // The weight words of pixels 0, 1 | 4, 5 and of 2, 3 | 6, 7.
    const __m256i weightBytes =
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + 4 * i));
    const __m256i weights01 = _mm256_add_epi16(_mm256_unpacklo_epi8(weightBytes, zero), sustain);
    const __m256i weights23 = _mm256_add_epi16(_mm256_unpackhi_epi8(weightBytes, zero), sustain);
    // The sums of pixels 0 | 4, 1 | 5, 2 | 6 and 3 | 7, in that pairing so that the in-lane packs
    // below leave the pixels in their order.
    const __m256i sums04 =
        ChannelSums<0>(LoadBlocks(base + o[0], base + o[4], rowBytes), weights01, k);
    const __m256i sums15 =
        ChannelSums<2>(LoadBlocks(base + o[1], base + o[5], rowBytes), weights01, k);
    const __m256i sums26 =
        ChannelSums<0>(LoadBlocks(base + o[2], base + o[6], rowBytes), weights23, k);
    const __m256i sums37 =
        ChannelSums<2>(LoadBlocks(base + o[3], base + o[7], rowBytes), weights23, k);
    const __m256i words0145 = _mm256_srli_epi16(_mm256_packus_epi32(sums04, sums15), 8);
    const __m256i words2367 = _mm256_srli_epi16(_mm256_packus_epi32(sums26, sums37), 8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i),
                        _mm256_packus_epi16(words0145, words2367));
  }
  WarpPixels(args, i);
}

}  // namespace corvex

#else

namespace corvex {
void WarpPassAvx2(const WarpPassArgs& args) { WarpPassScalar(args); }
}  // namespace corvex

#endif
