// The feedback pass with AVX-512 (F and BW), sixteen pixels per step, each 64-bit lane holding
// one destination pixel's source pair as it lies in memory. Instead of widening the bytes, the
// pair is split into its even bytes (blue, red) and odd bytes (green, top byte) with a mask and
// a shift, so no shuffle is spent on the pixels: the even and odd halves are multiplied by the
// pixel's weights, the top and bottom pairs and then the left and right pixels are summed with
// unsigned saturation, and the high bytes of the sums are put back together.
#include "transforms/warp_pass.h"
#include "transforms/warp_pixel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

// GCC 12's AVX-512 intrinsics pass _mm512_undefined_epi32() as the unused source of their
// masked builtins, which its own flow analysis then reports as uninitialized.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace corvex {
namespace {

#define CORVEX_AVX512 __attribute__((target("avx512f,avx512bw"), always_inline)) inline

CORVEX_AVX512 long long LoadPair(const char* at) {
  long long value;
  __builtin_memcpy(&value, at, 8);
  return value;
}

// The 64-bit pairs at eight byte offsets, lane k from offsets[k]: broadcast loads merged
// under a mask, which keeps the shuffle unit out of it.
CORVEX_AVX512 __m512i LoadPairs(const char* base, const uint32_t* offsets) {
  __m512i pairs = _mm512_set1_epi64(LoadPair(base + offsets[0]));
  for (int k = 1; k < 8; ++k) {
    pairs = _mm512_mask_set1_epi64(pairs, static_cast<__mmask8>(1u << k),
                                   LoadPair(base + offsets[k]));
  }
  return pairs;
}

struct Constants {
  __m512i sustain;        // 1 in every word: blue, red, and green once masked
  __m512i evenBytes;      // 0x00FF in every word
  __m512i oddWeights;     // keeps the words of green, clears those of the top byte
  __m512i greenByte;      // 0xFF00 in every word
  __m512i topControl;     // spreads w0, w1 of each lane's pixel as (w0, w0, w1, w1)
  __m512i bottomControl;  // the same for w2, w3
};

// Eight destination pixels, one in the low 32 bits of each 64-bit lane.
CORVEX_AVX512 __m512i EightPixels(const char* base, size_t rowBytes, const uint32_t* offsets,
                                  const uint8_t* weights, const Constants& k) {
  const __m512i top = LoadPairs(base, offsets);
  const __m512i bottom = LoadPairs(base + rowBytes, offsets);
  // Lane k: the words (w0, w1, w2, w3) of pixel k.
  const __m512i weightWords =
      _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights)));
  const __m512i evenTop =
      _mm512_add_epi16(_mm512_shuffle_epi8(weightWords, k.topControl), k.sustain);
  const __m512i evenBottom =
      _mm512_add_epi16(_mm512_shuffle_epi8(weightWords, k.bottomControl), k.sustain);
  const __m512i oddTop = _mm512_and_si512(evenTop, k.oddWeights);
  const __m512i oddBottom = _mm512_and_si512(evenBottom, k.oddWeights);
  // Words (b0, r0, b1, r1) and (g0, a0, g1, a1) of the left (0) and right (1) pixel.
  const __m512i even = _mm512_adds_epu16(
      _mm512_mullo_epi16(_mm512_and_si512(top, k.evenBytes), evenTop),
      _mm512_mullo_epi16(_mm512_and_si512(bottom, k.evenBytes), evenBottom));
  const __m512i odd =
      _mm512_adds_epu16(_mm512_mullo_epi16(_mm512_srli_epi16(top, 8), oddTop),
                        _mm512_mullo_epi16(_mm512_srli_epi16(bottom, 8), oddBottom));
  // Left plus right pixel in the low 32 bits of each lane.
  const __m512i evenSums = _mm512_adds_epu16(even, _mm512_srli_epi64(even, 32));
  const __m512i oddSums = _mm512_adds_epu16(odd, _mm512_srli_epi64(odd, 32));
  // Blue and red from the high bytes of the even sums, green from the odd ones: 0xF8 is
  // a | (b & c) over (even >> 8, odd, 0xFF00).
  return _mm512_ternarylogic_epi32(_mm512_srli_epi16(evenSums, 8), oddSums, k.greenByte, 0xF8);
}

}  // namespace

__attribute__((target("avx512f,avx512bw"))) void WarpPassAvx512(const WarpPassArgs& args) {
  const char* base = reinterpret_cast<const char*>(args.previous);
  const size_t rowBytes = static_cast<size_t>(args.width) * 4;
  const int64_t count = static_cast<int64_t>(args.width) * args.height;
  Constants k;
  k.sustain = args.sustain ? _mm512_set1_epi16(1) : _mm512_setzero_si512();
  k.evenBytes = _mm512_set1_epi16(0x00FF);
  k.oddWeights = _mm512_set1_epi32(0x0000FFFF);
  k.greenByte = _mm512_set1_epi16(static_cast<short>(0xFF00));
  k.topControl = _mm512_broadcast_i32x4(
      _mm_setr_epi8(0, 1, 0, 1, 2, 3, 2, 3, 8, 9, 8, 9, 10, 11, 10, 11));
  k.bottomControl = _mm512_broadcast_i32x4(
      _mm_setr_epi8(4, 5, 4, 5, 6, 7, 6, 7, 12, 13, 12, 13, 14, 15, 14, 15));
  int64_t i = 0;
  for (; i + 16 <= count; i += 16) {
    PrefetchSourceAhead(base, rowBytes, args.offsets, i, count);
    const __m512i low = EightPixels(base, rowBytes, args.offsets + i, args.weights + 4 * i, k);
    const __m512i high =
        EightPixels(base, rowBytes, args.offsets + i + 8, args.weights + 4 * i + 32, k);
    uint32_t* out = args.destination + i;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm512_cvtepi64_epi32(low));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8), _mm512_cvtepi64_epi32(high));
  }
  WarpPixels(args, i);
}

}  // namespace corvex

#else

namespace corvex {
void WarpPassAvx512(const WarpPassArgs& args) { WarpPassScalar(args); }
}  // namespace corvex

#endif
