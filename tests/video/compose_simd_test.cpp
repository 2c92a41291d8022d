#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "simd/cpu_features.h"
#include "video/portable/compose_kernels.h"

namespace corvex::testing {
namespace {

constexpr size_t kGuard = 64;
constexpr uint8_t kSentinel = 0x5A;

std::vector<const ComposeKernels*> VectorKernels() {
  std::vector<const ComposeKernels*> sets = {&Sse2ComposeKernels()};
  if (CpuHasAvx2()) sets.push_back(&Avx2ComposeKernels());
  return sets;
}

int32_t RowBytes(ComposeFormat format, int32_t width) {
  switch (format) {
    case ComposeFormat::Rgb32: return 4 * width;
    case ComposeFormat::Rgb24: return 3 * width + 1;  // the byte after the last pair
    default: return 2 * width;
  }
}

// Converts into a buffer with sentinel guards before and after and sentinel padding in every
// row; returns the whole buffer, guards included.
std::vector<uint8_t> Convert(ConvertFunction convert, const std::vector<uint32_t>& source,
                             int32_t width, int32_t height, int32_t pitch) {
  std::vector<uint8_t> buffer(2 * kGuard + static_cast<size_t>(pitch) * height, kSentinel);
  convert(source.data(), width, height, buffer.data() + kGuard, pitch);
  return buffer;
}

// Every vector kernel gives the reference's bytes, touches nothing the reference leaves alone
// and reads nothing past the picture (the source is allocated to its exact size, so the
// sanitizer build catches an over-read).
TEST(ComposeKernels, VectorVersionsMatchTheReferenceByteForByte) {
  std::mt19937 random(20240607);
  const int32_t widths[] = {1, 2, 3, 4, 7, 8, 10, 15, 16, 17, 22, 31, 32, 33, 47, 64, 65, 100};
  const int32_t heights[] = {1, 3};
  const int32_t paddings[] = {0, 1, 5, 64};
  int32_t compared = 0;
  for (const ComposeKernels* kernels : VectorKernels()) {
    for (int32_t f = 0; f < kComposeFormatCount; ++f) {
      const auto format = static_cast<ComposeFormat>(f);
      for (int32_t width : widths) {
        for (int32_t height : heights) {
          for (int32_t padding : paddings) {
            SCOPED_TRACE(::testing::Message() << kernels->name << " " << ComposeFormatName(format)
                                              << " " << width << "x" << height << " +"
                                              << padding);
            std::vector<uint32_t> source(static_cast<size_t>(width) * height);
            for (uint32_t& pixel : source) pixel = random();  // top bytes set too
            const int32_t pitch = RowBytes(format, width) + padding;
            const std::vector<uint8_t> expected =
                Convert(ScalarComposeKernels()[format], source, width, height, pitch);
            const std::vector<uint8_t> actual =
                Convert((*kernels)[format], source, width, height, pitch);
            ASSERT_EQ(expected, actual);
            for (size_t i = 0; i < kGuard; ++i) {
              ASSERT_EQ(actual[i], kSentinel);
              ASSERT_EQ(actual[actual.size() - 1 - i], kSentinel);
            }
            ++compared;
          }
        }
      }
    }
  }
  EXPECT_GE(compared, 6 * 18 * 2 * 4);
}

TEST(ComposeKernels, TheChosenSetIsTheWidestTheProcessorRuns) {
  const ComposeKernels& best = BestComposeKernels();
  EXPECT_EQ(&best, CpuHasAvx2() ? &Avx2ComposeKernels() : &Sse2ComposeKernels());
}

}  // namespace
}  // namespace corvex::testing
