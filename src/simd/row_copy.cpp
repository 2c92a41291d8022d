#include "simd/row_copy.h"

#include <algorithm>
#include <cstring>

#include "simd/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#define CORVEX_SSE2 __attribute__((target("sse2")))
#endif

namespace corvex {

namespace {

constexpr size_t kLineBytes = 64;

#if defined(__x86_64__) || defined(__i386__)
// Every 64-bit x86 processor has SSE2; a 32-bit one is asked.
bool CanStream() {
  static const bool sse2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2") != 0;
  }();
  return sse2;
}

// Four 16-byte streaming stores fill one line, so the processor sends it to memory whole
// instead of reading it first; the loads need no alignment.
CORVEX_SSE2 void StreamLines(uint8_t* target, const uint8_t* source, size_t lines) {
  for (size_t line = 0; line < lines; ++line) {
    const auto* from = reinterpret_cast<const __m128i*>(source + line * kLineBytes);
    auto* to = reinterpret_cast<__m128i*>(target + line * kLineBytes);
    const __m128i a = _mm_loadu_si128(from), b = _mm_loadu_si128(from + 1);
    const __m128i c = _mm_loadu_si128(from + 2), d = _mm_loadu_si128(from + 3);
    _mm_stream_si128(to, a);
    _mm_stream_si128(to + 1, b);
    _mm_stream_si128(to + 2, c);
    _mm_stream_si128(to + 3, d);
  }
}

CORVEX_SSE2 void FenceStores() { _mm_sfence(); }
#endif

}  // namespace

void PlainRowCopy(uint8_t* target, const uint8_t* source, size_t bytes) {
  std::memcpy(target, source, bytes);
}

void StreamingRowCopy(uint8_t* target, const uint8_t* source, size_t bytes) {
#if defined(__x86_64__) || defined(__i386__)
  if (CanStream()) {
    const auto misaligned = static_cast<size_t>(reinterpret_cast<uintptr_t>(target) % kLineBytes);
    const size_t head = std::min(bytes, (kLineBytes - misaligned) % kLineBytes);
    std::memcpy(target, source, head);
    const size_t lines = (bytes - head) / kLineBytes;
    StreamLines(target + head, source + head, lines);
    const size_t done = head + lines * kLineBytes;
    std::memcpy(target + done, source + done, bytes - done);
    return;
  }
#endif
  PlainRowCopy(target, source, bytes);
}

RowCopy RowCopyFor(size_t bytes) {
  return OutgrowsTheCache(bytes) ? &StreamingRowCopy : &PlainRowCopy;
}

void FinishRowCopies() {
#if defined(__x86_64__) || defined(__i386__)
  if (CanStream()) FenceStores();
#endif
}

}  // namespace corvex
