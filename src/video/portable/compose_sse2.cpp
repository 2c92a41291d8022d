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

// Four pixels into 12 bytes (bytes 12 to 15 zero): each 64-bit lane first packs its two
// pixels into 6 bytes, then the upper lane's 6 bytes move down next to the lower lane's.
CORVEX_SSE2 inline __m128i PackFourRgb24(__m128i v) {
  const __m128i lowPixel = _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF);
  const __m128i highPixel = _mm_set_epi32(0x0000FFFF, static_cast<int32_t>(0xFF000000u),
                                          0x0000FFFF, static_cast<int32_t>(0xFF000000u));
  const __m128i lanes =
      _mm_or_si128(_mm_and_si128(v, lowPixel), _mm_and_si128(_mm_srli_epi64(v, 8), highPixel));
  const __m128i firstSix = _mm_set_epi32(0, 0, 0x0000FFFF, -1);
  const __m128i nextSix = _mm_set_epi32(0, -1, static_cast<int32_t>(0xFFFF0000u), 0);
  return _mm_or_si128(_mm_and_si128(lanes, firstSix),
                      _mm_and_si128(_mm_srli_si128(lanes, 2), nextSix));
}

CORVEX_SSE2 void RowRgb24Sse2(const uint32_t* s, uint8_t* d, int32_t pairs) {
  const int32_t n = 2 * pairs;
  int32_t x = 0;
  for (; x + 16 <= n; x += 16) {
    const __m128i* in = reinterpret_cast<const __m128i*>(s + x);
    const __m128i g0 = PackFourRgb24(_mm_loadu_si128(in));
    const __m128i g1 = PackFourRgb24(_mm_loadu_si128(in + 1));
    const __m128i g2 = PackFourRgb24(_mm_loadu_si128(in + 2));
    const __m128i g3 = PackFourRgb24(_mm_loadu_si128(in + 3));
    __m128i* out = reinterpret_cast<__m128i*>(d + 3 * x);
    _mm_storeu_si128(out, _mm_or_si128(g0, _mm_slli_si128(g1, 12)));
    _mm_storeu_si128(out + 1, _mm_or_si128(_mm_srli_si128(g1, 4), _mm_slli_si128(g2, 8)));
    _mm_storeu_si128(out + 2, _mm_or_si128(_mm_srli_si128(g2, 8), _mm_slli_si128(g3, 4)));
  }
  RowRgb24(s + x, d + 3 * x, (n - x) / 2);
  if (pairs > 0) d[3 * n] = 0;  // the reference's last overlapping store
}

// Fields are moved into place per 32-bit lane, sign-extended from 16 bits so the signed
// saturating pack keeps every value as it is.
template <int RedShift, uint32_t RedMask, int GreenShift, uint32_t GreenMask>
CORVEX_SSE2 inline __m128i Pack16(__m128i p) {
  const __m128i field =
      _mm_or_si128(_mm_or_si128(_mm_and_si128(_mm_srli_epi32(p, RedShift),
                                              _mm_set1_epi32(static_cast<int32_t>(RedMask))),
                                _mm_and_si128(_mm_srli_epi32(p, GreenShift),
                                              _mm_set1_epi32(static_cast<int32_t>(GreenMask)))),
                   _mm_and_si128(_mm_srli_epi32(p, 3), _mm_set1_epi32(0x1F)));
  return _mm_srai_epi32(_mm_slli_epi32(field, 16), 16);
}

template <int RedShift, uint32_t RedMask, int GreenShift, uint32_t GreenMask,
          void (*Tail)(const uint32_t*, uint8_t*, int32_t)>
CORVEX_SSE2 void Row16Sse2(const uint32_t* s, uint8_t* d, int32_t pairs) {
  const int32_t n = 2 * pairs;
  int32_t x = 0;
  for (; x + 8 <= n; x += 8) {
    const __m128i* in = reinterpret_cast<const __m128i*>(s + x);
    const __m128i a = Pack16<RedShift, RedMask, GreenShift, GreenMask>(_mm_loadu_si128(in));
    const __m128i b = Pack16<RedShift, RedMask, GreenShift, GreenMask>(_mm_loadu_si128(in + 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 2 * x), _mm_packs_epi32(a, b));
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
       &ConvertRows<Row16Sse2<8, 0xF800u, 5, 0x07E0u, RowRgb565>>,
       &ConvertRows<Row16Sse2<9, 0x7C00u, 6, 0x03E0u, RowRgb555>>,
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
