#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>

#include "video/portable/compose_format.h"

namespace corvex {

static_assert(std::endian::native == std::endian::little,
              "the conversions store pixel pairs as little-endian words");

// One conversion of a finished picture into a display format: `width` x `height` pixels of
// 0x00RRGGBB at `source` (rows back to back) into `target`, whose rows start `pitch` bytes
// apart. Every row is converted in pairs of pixels, so an odd width leaves the last column
// alone. Bytes between rows are never written, except the one byte after each Rgb24 row.
using ConvertFunction = void (*)(const uint32_t* source, int32_t width, int32_t height,
                                 uint8_t* target, int32_t pitch);

// The six conversions of one instruction set, indexed by ComposeFormat.
struct ComposeKernels {
  const char* name;
  ConvertFunction convert[kComposeFormatCount];

  ConvertFunction operator[](ComposeFormat format) const {
    return convert[static_cast<int32_t>(format)];
  }
};

const ComposeKernels& ScalarComposeKernels();  // the reference
const ComposeKernels& Sse2ComposeKernels();
const ComposeKernels& Avx2ComposeKernels();    // only where the CPU has AVX2 (CpuHasAvx2)
// The AVX2 set whose 32-bit conversion stores past the caches; the other formats as above.
const ComposeKernels& Avx2StreamingComposeKernels();

// The fastest set this CPU runs, chosen once.
const ComposeKernels& BestComposeKernels();
// The fastest set for a conversion that moves `bytes` (source and target): where that outgrows
// the last-level cache, the picture would be gone from it before the blit reads it, so the
// 32-bit conversion stores past it.
const ComposeKernels& BestComposeKernelsFor(size_t bytes);

}  // namespace corvex
