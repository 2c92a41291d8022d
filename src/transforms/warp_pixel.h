#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "transforms/warp_pass.h"

namespace corvex {

// One destination pixel of the feedback pass: the 2 x 2 block at byte offset `offset` of
// `previous` (row length `row` pixels) blended with the four weights w, each plus `s` in the
// colour channels. The reference arithmetic that every vector version must reproduce; the
// vector versions also use it for the pixels left over after their last full block.
inline uint32_t WarpPixel(const uint32_t* previous, uint32_t offset, const uint8_t* w,
                          int32_t row, uint32_t s) {
  const uint32_t* p = previous + (offset >> 2);
  const uint32_t p00 = p[0], p01 = p[1], p10 = p[row], p11 = p[row + 1];
  const uint32_t w0 = w[0] + s, w1 = w[1] + s, w2 = w[2] + s, w3 = w[3] + s;
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t sum = ((p00 >> shift) & 255) * w0 + ((p01 >> shift) & 255) * w1 +
                         ((p10 >> shift) & 255) * w2 + ((p11 >> shift) & 255) * w3;
    // The terms are never negative, so saturating each addition at 16 bits is the same as
    // limiting the total.
    out |= (std::min(sum, 65535u) >> 8) << shift;
  }
  return out;
}

// Runs WarpPixel for pixels `first` to `last` - 1: the reference pass, and the pixels that the
// vector passes leave before their first full step and after their last.
inline void WarpPixelRange(const WarpPassArgs& args, int64_t first, int64_t last) {
  const uint32_t s = args.sustain ? 1u : 0u;
  for (int64_t i = first; i < last; ++i) {
    args.destination[i] = WarpPixel(args.previous, args.offsets[i], args.weights + 4 * i,
                                    args.width, s);
  }
}

// Runs WarpPixel for pixels `first` to the end of the picture.
inline void WarpPixels(const WarpPassArgs& args, int64_t first) {
  WarpPixelRange(args, first, static_cast<int64_t>(args.width) * args.height);
}

// The pixels a pass that stores past the caches computes one by one before its first full step,
// so that the step's store is aligned to `alignment` bytes (at most the whole picture).
inline int64_t PixelsBeforeAlignedStores(const WarpPassArgs& args, size_t alignment) {
  const size_t misaligned = reinterpret_cast<uintptr_t>(args.destination) % alignment;
  const auto head = static_cast<int64_t>((alignment - misaligned) % alignment / 4);
  return std::min(head, static_cast<int64_t>(args.width) * args.height);
}

// How far ahead the passes ask for what they will read to be brought into the cache: the two
// source rows of pixel i + kSourcesAhead, since a map's reads wander where the hardware's own
// prefetching does not follow, and the map entries of pixel i + kEntriesAhead, which the hardware
// alone fetches too late while it also follows the source and the picture written. The passes
// prefetch only while both lie inside the map, so that no step has to clamp them, and do without
// over their last pixels.
inline constexpr int64_t kSourcesAhead = 192, kEntriesAhead = 1024;

// The two source rows of pixel i, which must lie inside the map. Always inlined, as is the next
// one: GCC 12 drops the prefetches of such a function when it is left to decide, as it did in
// the SSE2 and AVX2 passes.
__attribute__((always_inline)) inline void PrefetchSources(const char* base, size_t rowBytes,
                                                           const uint32_t* offsets, int64_t i) {
  const char* source = base + offsets[i];
  __builtin_prefetch(source);
  __builtin_prefetch(source + rowBytes);
}

// The map entries of pixels i to i + 15 (a cache line of offsets and one of weights).
__attribute__((always_inline)) inline void PrefetchEntries(const uint32_t* offsets,
                                                           const uint8_t* weights, int64_t i) {
  __builtin_prefetch(offsets + i);
  __builtin_prefetch(weights + 4 * i);
}

// The source row below `base` as a base of its own, so that a pass loads each bottom pair
// straight from it plus the pair's offset. Hidden from the compiler, which would otherwise add
// each offset to `base` once and the row to that: one more instruction for every pair.
inline const char* RowBelow(const char* base, size_t rowBytes) {
  const char* below = base + rowBytes;
  __asm__("" : "+r"(below));
  return below;
}

}  // namespace corvex
