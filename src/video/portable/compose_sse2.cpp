// The conversions with 128-bit SSE2 registers: 4 to 16 pixels per step, the scalar row code
// for the pairs left over at the end of each row.
#include "video/portable/compose_kernels.h"
#include "video/portable/compose_rows.h"

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>

#define CORVEX_SSE2 __attribute__((target("sse2")))

namespace corvex {
namespace {

using namespace compose;

CORVEX_SSE2 void RowRgb32Sse2(const uint32_t* s, uint8_t* d, int32_t pairs) {
  const int32_t n = 2 * pairs;
  int32_t x = 0;
  for (; x + 4 <= n; x += 4) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * x),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x)));
  }
  RowRgb32(s + x, d + 4 * x, (n - x) / 2);
}

// Each 64-bit lane packs its two pixels into its low 6 bytes; the lanes are stored with
// 8-byte stores 6 bytes apart, each store's last two bytes written again by the next one. The
// loop stops while those two bytes still lie inside the row, and the row's tail rewrites them.
CORVEX_SSE2 void RowRgb24Sse2(const uint32_t* s, uint8_t* d, int32_t pairs) {
  const int32_t n = 2 * pairs;
  const __m128i lowPixel = _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF);
  const __m128i highPixel = _mm_set_epi32(0x0000FFFF, static_cast<int32_t>(0xFF000000u),
                                          0x0000FFFF, static_cast<int32_t>(0xFF000000u));
  int32_t x = 0;
  for (; x + 6 <= n; x += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x));
    const __m128i lanes =
        _mm_or_si128(_mm_and_si128(v, lowPixel), _mm_and_si128(_mm_srli_epi64(v, 8), highPixel));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d + 3 * x), lanes);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d + 3 * x + 6), _mm_srli_si128(lanes, 8));
  }
  RowRgb24(s + x, d + 3 * x, (n - x) / 2);
  if (pairs > 0) d[3 * n] = 0;  // the reference's last overlapping store
}

// Blue and red are masked to their top five bits and moved into place with one multiply-add
// of the two 16-bit halves of each pixel; green is masked in place (six bits) or shifted (five
// bits). The result is biased by 0x8000 so the signed saturating pack keeps every value.
template <bool FiveGreenBits>
CORVEX_SSE2 inline __m128i Pack16Biased(__m128i p) {
  const __m128i blueRed = _mm_and_si128(p, _mm_set1_epi32(0x00F800F8));
  __m128i field;
  if constexpr (FiveGreenBits) {
    const __m128i moved = _mm_madd_epi16(blueRed, _mm_set1_epi32(0x10000004));
    field = _mm_or_si128(_mm_srli_epi32(moved, 5),
                         _mm_and_si128(_mm_srli_epi32(p, 6), _mm_set1_epi32(0x03E0)));
  } else {
    const __m128i moved = _mm_madd_epi16(blueRed, _mm_set1_epi32(0x20000004));
    field = _mm_srli_epi32(_mm_or_si128(moved, _mm_and_si128(p, _mm_set1_epi32(0xFC00))), 5);
  }
  return _mm_sub_epi32(field, _mm_set1_epi32(0x8000));
}

template <bool FiveGreenBits, void (*Tail)(const uint32_t*, uint8_t*, int32_t)>
CORVEX_SSE2 void Row16Sse2(const uint32_t* s, uint8_t* d, int32_t pairs) {
  const int32_t n = 2 * pairs;
  const __m128i bias = _mm_set1_epi16(static_cast<int16_t>(0x8000));
  int32_t x = 0;
  for (; x + 8 <= n; x += 8) {
    const __m128i* in = reinterpret_cast<const __m128i*>(s + x);
    const __m128i a = Pack16Biased<FiveGreenBits>(_mm_loadu_si128(in));
    const __m128i b = Pack16Biased<FiveGreenBits>(_mm_loadu_si128(in + 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 2 * x),
                     _mm_xor_si128(_mm_packs_epi32(a, b), bias));
  }
  Tail(s + x, d + 2 * x, (n - x) / 2);
}

// (c x v) >> 8 for v held as v << 8 in 16-bit lanes: the high half of the product.
CORVEX_SSE2 inline __m128i Term(__m128i shifted, int16_t c) {
  return _mm_mulhi_epu16(shifted, _mm_set1_epi16(c));
}

// Eight pixels as 16-bit lanes of chroma (U in the even lanes, V in the odd) and luma.
struct YuvLanes {
  __m128i chroma;
  __m128i luma;
};

// Each channel is packed to 16-bit lanes (0-255 fits the signed pack), then moved to the high
// byte once, so each product's high half is its truncated eighth.
CORVEX_SSE2 inline YuvLanes YuvOfEight(const uint32_t* s) {
  const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4));
  const __m128i byte = _mm_set1_epi32(255);
  const __m128i blue =
      _mm_slli_epi16(_mm_packs_epi32(_mm_and_si128(a, byte), _mm_and_si128(b, byte)), 8);
  const __m128i green = _mm_slli_epi16(_mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(a, 8), byte),
                                                       _mm_and_si128(_mm_srli_epi32(b, 8), byte)),
                                       8);
  const __m128i red = _mm_slli_epi16(_mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(a, 16), byte),
                                                     _mm_and_si128(_mm_srli_epi32(b, 16), byte)),
                                     8);
  const __m128i half = _mm_set1_epi16(128);
  const __m128i green74 = Term(green, 74);
  const __m128i luma = _mm_add_epi16(_mm_add_epi16(Term(blue, 36), Term(green, 145)),
                                     Term(red, 74));
  const __m128i u = _mm_sub_epi16(_mm_sub_epi16(_mm_add_epi16(half, Term(blue, 110)), green74),
                                  Term(red, 36));
  const __m128i v = _mm_sub_epi16(_mm_sub_epi16(_mm_add_epi16(half, Term(red, 92)), green74),
                                  Term(blue, 18));
  const __m128i evenLanes = _mm_set1_epi32(0x0000FFFF);
  return YuvLanes{_mm_or_si128(_mm_and_si128(evenLanes, u), _mm_andnot_si128(evenLanes, v)),
                  luma};
}

// UYVY keeps chroma in the low byte of each pixel's 16 bits, YUY2 luma.
template <bool ChromaFirst, void (*Tail)(const uint32_t*, uint8_t*, int32_t)>
CORVEX_SSE2 void RowYuvSse2(const uint32_t* s, uint8_t* d, int32_t pairs) {
  const int32_t n = 2 * pairs;
  int32_t x = 0;
  for (; x + 8 <= n; x += 8) {
    const YuvLanes yuv = YuvOfEight(s + x);
    const __m128i low = ChromaFirst ? yuv.chroma : yuv.luma;
    const __m128i high = ChromaFirst ? yuv.luma : yuv.chroma;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 2 * x),
                     _mm_or_si128(low, _mm_slli_epi16(high, 8)));
  }
  Tail(s + x, d + 2 * x, (n - x) / 2);
}

}  // namespace

const ComposeKernels& Sse2ComposeKernels() {
  static const ComposeKernels kernels{
      "sse2",
      {&ConvertRows<RowRgb32Sse2>, &ConvertRows<RowRgb24Sse2>,
       &ConvertRows<Row16Sse2<false, RowRgb565>>,
       &ConvertRows<Row16Sse2<true, RowRgb555>>,
       &ConvertRows<RowYuvSse2<true, RowUyvy>>,
       &ConvertRows<RowYuvSse2<false, RowYuy2>>}};
  return kernels;
}

}  // namespace corvex

#else

namespace corvex {
const ComposeKernels& Sse2ComposeKernels() { return ScalarComposeKernels(); }
}  // namespace corvex

#endif
