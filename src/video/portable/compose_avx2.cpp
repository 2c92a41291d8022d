// The conversions with 256-bit AVX2 registers, chosen at run time on processors that have it.
// In-lane packs leave the pixels in the order 0-3, 8-11, 4-7, 12-15; one 64-bit permute puts
// them back before each store.
#include "simd/row_copy.h"
#include "video/portable/compose_kernels.h"
#include "video/portable/compose_rows.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#define CORVEX_AVX2 __attribute__((target("avx2")))

namespace corvex {
namespace {

using namespace compose;

constexpr int kInLaneOrder = 0xD8;  // 64-bit chunks 0, 2, 1, 3

CORVEX_AVX2 void RowRgb32Avx2(const uint32_t* s, uint8_t* d, int32_t pairs) {
  const int32_t n = 2 * pairs;
  int32_t x = 0;
  for (; x + 8 <= n; x += 8) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 4 * x),
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + x)));
  }
  RowRgb32(s + x, d + 4 * x, (n - x) / 2);
}

// The 32-bit conversion copies each row's pairs as they are, so its version that stores past
// the caches is the shared streaming row copy.
void RowRgb32Streaming(const uint32_t* s, uint8_t* d, int32_t pairs) {
  StreamingRowCopy(d, reinterpret_cast<const uint8_t*>(s), static_cast<size_t>(pairs) * 8);
}

void ConvertRgb32Streaming(const uint32_t* source, int32_t width, int32_t height,
                           uint8_t* target, int32_t pitch) {
  ConvertRows<RowRgb32Streaming>(source, width, height, target, pitch);
  FinishRowCopies();  // the streamed picture is complete before the overlays and the blit read it
}

// Eight pixels become 24 bytes, stored with one 32-byte store whose last 8 bytes the next
// step (or the row's tail) writes again. The loop stops while such a store still ends inside
// the row's pixel data, so nothing past the row is touched.
CORVEX_AVX2 void RowRgb24Avx2(const uint32_t* s, uint8_t* d, int32_t pairs) {
  const int32_t n = 2 * pairs;
  const __m256i dropTopBytes = _mm256_setr_epi8(
      0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,  //
      0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  const __m256i joinLanes = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
  int32_t x = 0;
  for (; x + 11 <= n; x += 8) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + x));
    const __m256i packed =
        _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(v, dropTopBytes), joinLanes);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 3 * x), packed);
  }
  RowRgb24(s + x, d + 3 * x, (n - x) / 2);
  if (pairs > 0) d[3 * n] = 0;  // the reference's last overlapping store
}

// As the 128-bit version: blue and red moved with one multiply-add, green masked or shifted;
// the unsigned pack keeps values up to 0xFFFF.
template <bool FiveGreenBits>
CORVEX_AVX2 inline __m256i Pack16(__m256i p) {
  const __m256i blueRed = _mm256_and_si256(p, _mm256_set1_epi32(0x00F800F8));
  if constexpr (FiveGreenBits) {
    const __m256i moved = _mm256_madd_epi16(blueRed, _mm256_set1_epi32(0x10000004));
    return _mm256_or_si256(_mm256_srli_epi32(moved, 5),
                           _mm256_and_si256(_mm256_srli_epi32(p, 6), _mm256_set1_epi32(0x03E0)));
  }
  const __m256i moved = _mm256_madd_epi16(blueRed, _mm256_set1_epi32(0x20000004));
  return _mm256_srli_epi32(_mm256_or_si256(moved, _mm256_and_si256(p, _mm256_set1_epi32(0xFC00))),
                           5);
}

template <bool FiveGreenBits, void (*Tail)(const uint32_t*, uint8_t*, int32_t)>
CORVEX_AVX2 void Row16Avx2(const uint32_t* s, uint8_t* d, int32_t pairs) {
  const int32_t n = 2 * pairs;
  int32_t x = 0;
  for (; x + 16 <= n; x += 16) {
    const __m256i* in = reinterpret_cast<const __m256i*>(s + x);
    const __m256i a = Pack16<FiveGreenBits>(_mm256_loadu_si256(in));
    const __m256i b = Pack16<FiveGreenBits>(_mm256_loadu_si256(in + 1));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 2 * x),
                        _mm256_permute4x64_epi64(_mm256_packus_epi32(a, b), kInLaneOrder));
  }
  Tail(s + x, d + 2 * x, (n - x) / 2);
}

// (c x v) >> 8 for v held as v << 8 in 16-bit lanes: the high half of the product.
CORVEX_AVX2 inline __m256i Term(__m256i shifted, int16_t c) {
  return _mm256_mulhi_epu16(shifted, _mm256_set1_epi16(c));
}

struct YuvLanes {
  __m256i chroma;  // U in the even lanes, V in the odd ones
  __m256i luma;
};

// Each channel is moved to bits 8-15 of its 32-bit lane (green already is), then packed with
// unsigned saturation, which keeps values up to 0xFF00 as they are.
CORVEX_AVX2 inline YuvLanes YuvOfSixteen(const uint32_t* s) {
  const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
  const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 8));
  const __m256i high = _mm256_set1_epi32(0xFF00);
  const __m256i blue = _mm256_packus_epi32(_mm256_and_si256(_mm256_slli_epi32(a, 8), high),
                                           _mm256_and_si256(_mm256_slli_epi32(b, 8), high));
  const __m256i green = _mm256_packus_epi32(_mm256_and_si256(a, high), _mm256_and_si256(b, high));
  const __m256i red = _mm256_packus_epi32(_mm256_and_si256(_mm256_srli_epi32(a, 8), high),
                                          _mm256_and_si256(_mm256_srli_epi32(b, 8), high));
  const __m256i half = _mm256_set1_epi16(128);
  const __m256i green74 = Term(green, 74);
  const __m256i luma = _mm256_add_epi16(_mm256_add_epi16(Term(blue, 36), Term(green, 145)),
                                        Term(red, 74));
  const __m256i u = _mm256_sub_epi16(
      _mm256_sub_epi16(_mm256_add_epi16(half, Term(blue, 110)), green74), Term(red, 36));
  const __m256i v = _mm256_sub_epi16(
      _mm256_sub_epi16(_mm256_add_epi16(half, Term(red, 92)), green74), Term(blue, 18));
  const __m256i evenLanes = _mm256_set1_epi32(0x0000FFFF);
  return YuvLanes{
      _mm256_or_si256(_mm256_and_si256(evenLanes, u), _mm256_andnot_si256(evenLanes, v)), luma};
}

// UYVY keeps chroma in the low byte of each pixel's 16 bits, YUY2 luma.
template <bool ChromaFirst, void (*Tail)(const uint32_t*, uint8_t*, int32_t)>
CORVEX_AVX2 void RowYuvAvx2(const uint32_t* s, uint8_t* d, int32_t pairs) {
  const int32_t n = 2 * pairs;
  int32_t x = 0;
  for (; x + 16 <= n; x += 16) {
    const YuvLanes yuv = YuvOfSixteen(s + x);
    const __m256i low = ChromaFirst ? yuv.chroma : yuv.luma;
    const __m256i high = ChromaFirst ? yuv.luma : yuv.chroma;
    const __m256i out = _mm256_or_si256(low, _mm256_slli_epi16(high, 8));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 2 * x),
                        _mm256_permute4x64_epi64(out, kInLaneOrder));
  }
  Tail(s + x, d + 2 * x, (n - x) / 2);
}

}  // namespace

const ComposeKernels& Avx2ComposeKernels() {
  static const ComposeKernels kernels{
      "avx2",
      {&ConvertRows<RowRgb32Avx2>, &ConvertRows<RowRgb24Avx2>,
       &ConvertRows<Row16Avx2<false, RowRgb565>>,
       &ConvertRows<Row16Avx2<true, RowRgb555>>,
       &ConvertRows<RowYuvAvx2<true, RowUyvy>>,
       &ConvertRows<RowYuvAvx2<false, RowYuy2>>}};
  return kernels;
}

const ComposeKernels& Avx2StreamingComposeKernels() {
  static const ComposeKernels kernels = [] {
    ComposeKernels streaming = Avx2ComposeKernels();
    streaming.name = "avx2 streaming";
    streaming.convert[static_cast<int32_t>(ComposeFormat::Rgb32)] = &ConvertRgb32Streaming;
    return streaming;
  }();
  return kernels;
}

}  // namespace corvex

#else

namespace corvex {
const ComposeKernels& Avx2ComposeKernels() { return ScalarComposeKernels(); }
const ComposeKernels& Avx2StreamingComposeKernels() { return ScalarComposeKernels(); }
}  // namespace corvex

#endif
