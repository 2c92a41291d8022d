#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "simd/cpu_features.h"
#include "video/portable/compose_kernels.h"

namespace corvex::testing {
namespace {

using Bytes = std::vector<uint8_t>;
using enum ComposeFormat;
constexpr uint8_t kSentinel = 0xCD;
constexpr int32_t kBytesPerPixel[kComposeFormatCount] = {4, 3, 2, 2, 2, 2};

// Converts into rows of pitch bytes between two guards of `guard` bytes, all sentinels before;
// returns the whole buffer.
Bytes Convert(ConvertFunction convert, const std::vector<uint32_t>& source, int32_t width,
              int32_t height, int32_t pitch, size_t guard = 0) {
  Bytes buffer(2 * guard + static_cast<size_t>(pitch) * height, kSentinel);
  convert(source.data(), width, height, buffer.data() + guard, pitch);
  return buffer;
}

Bytes Row(ComposeFormat format, const std::vector<uint32_t>& pixels, int32_t pitch) {
  return Convert(ScalarComposeKernels()[format], pixels, static_cast<int32_t>(pixels.size()), 1,
                 pitch);
}

TEST(Compose, WorkedColoursAndTheTopByte) {
  struct Case {
    uint32_t pixel;
    uint16_t rgb565, rgb555;
    uint8_t y, u, v;
  };
  const Case cases[] = {
      {0x000000, 0x0000, 0x0000, 0, 128, 128},  {0xFFFFFF, 0xFFFF, 0x7FFF, 252, 129, 129},
      {0xFF0000, 0xF800, 0x7C00, 73, 93, 219},  {0x00FF00, 0x07E0, 0x03E0, 144, 55, 55},
      {0x0000FF, 0x001F, 0x001F, 35, 237, 111}, {0x808080, 0x8410, 0x4210, 127, 128, 128},
      {0x123456, 0x11AA, 0x08CA, 46, 147, 113},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.pixel);
    // The top byte reaches only 32-bit targets.
    const std::vector<uint32_t> pair = {c.pixel | 0xFF000000, c.pixel | 0x5A000000};
    for (auto [format, word] : {std::pair{Rgb565, c.rgb565}, std::pair{Rgb555, c.rgb555}}) {
      const auto low = static_cast<uint8_t>(word), high = static_cast<uint8_t>(word >> 8);
      EXPECT_EQ(Row(format, pair, 4), (Bytes{low, high, low, high})) << ComposeFormatName(format);
    }
    EXPECT_EQ(Row(Uyvy, pair, 4), (Bytes{c.u, c.y, c.v, c.y}));
    EXPECT_EQ(Row(Yuy2, pair, 4), (Bytes{c.y, c.u, c.y, c.v}));
  }
  const std::vector<uint32_t> pair = {0xAA123456, 0x55FEDCBA};
  EXPECT_EQ(Row(Rgb32, pair, 8), (Bytes{0x56, 0x34, 0x12, 0xAA, 0xBA, 0xDC, 0xFE, 0x55}));
  // Blue, green, red twice, then the byte after the pair written as 0.
  EXPECT_EQ(Row(Rgb24, pair, 8), (Bytes{0x56, 0x34, 0x12, 0xBA, 0xDC, 0xFE, 0x00, kSentinel}));
  // U comes from the even pixel, V from the odd one.
  EXPECT_EQ(Row(Uyvy, {0xFF0000, 0x0000FF}, 4), (Bytes{0x5D, 0x49, 0x6F, 0x23}));
  EXPECT_EQ(Row(Yuy2, {0xFF0000, 0x0000FF}, 4), (Bytes{0x49, 0x5D, 0x23, 0x6F}));
}

// Each row's pairs land at y x pitch; the last column of an odd width and the padding keep
// what was there, except the one byte after an Rgb24 row's pairs.
TEST(Compose, OddWidthsAndPaddingAreLeftAlone) {
  constexpr int32_t kHeight = 3;
  for (int32_t width : {1, 5}) {
    std::vector<uint32_t> source(static_cast<size_t>(width) * kHeight);
    for (size_t i = 0; i < source.size(); ++i) source[i] = 0x01010101u * (i + 1);
    for (int32_t f = 0; f < kComposeFormatCount; ++f) {
      SCOPED_TRACE(::testing::Message() << "format " << f << " width " << width);
      const auto format = static_cast<ComposeFormat>(f);
      const int32_t pitch = kBytesPerPixel[f] * width + 7;
      const int32_t pairs = width / 2;
      const int32_t written =
          2 * pairs * kBytesPerPixel[f] + (format == Rgb24 && pairs > 0 ? 1 : 0);
      const Bytes target = Convert(ScalarComposeKernels()[format], source, width, kHeight, pitch);
      for (int32_t y = 0; y < kHeight; ++y) {
        const auto first = source.begin() + y * width;
        const Bytes alone = Row(format, {first, first + 2 * pairs}, pitch);
        for (int32_t i = 0; i < pitch; ++i) {
          const uint8_t byte = target[static_cast<size_t>(y * pitch + i)];
          EXPECT_EQ(byte, i < written ? alone[i] : kSentinel) << "row " << y << " byte " << i;
        }
      }
    }
  }
}

// Every vector kernel gives the reference's bytes and touches nothing the reference leaves
// alone; the source has its exact size, so the sanitizer build catches an over-read.
TEST(Compose, VectorKernelsMatchTheReferenceByteForByte) {
  constexpr size_t kGuard = 64;
  std::vector<const ComposeKernels*> sets = {&Sse2ComposeKernels()};
  if (CpuHasAvx2()) sets.push_back(&Avx2ComposeKernels());
  EXPECT_EQ(&BestComposeKernels(), sets.back());
  EXPECT_EQ(&BestComposeKernelsFor(0), sets.back());
  // Rows whose pitch is a multiple of 8 bytes store past the caches from their first aligned
  // pair on; the others cannot be aligned and keep ordinary stores.
  if (CpuHasAvx2()) sets.push_back(&Avx2StreamingComposeKernels());
  std::mt19937 random(20240607);
  for (const ComposeKernels* kernels : sets) {
    for (int32_t f = 0; f < kComposeFormatCount; ++f) {
      for (int32_t width : {1, 2, 3, 4, 7, 8, 10, 15, 16, 17, 22, 31, 32, 33, 47, 64, 65, 100}) {
        for (int32_t height : {1, 3}) {
          for (int32_t padding : {0, 1, 5, 64}) {
            SCOPED_TRACE(::testing::Message() << kernels->name << " format " << f << " " << width
                                              << "x" << height << " +" << padding);
            std::vector<uint32_t> source(static_cast<size_t>(width) * height);
            for (uint32_t& pixel : source) pixel = random();  // top bytes set too
            const int32_t pitch = kBytesPerPixel[f] * width + (f == 1 ? 1 : 0) + padding;
            ASSERT_EQ(
                Convert(kernels->convert[f], source, width, height, pitch, kGuard),
                Convert(ScalarComposeKernels().convert[f], source, width, height, pitch, kGuard));
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace corvex::testing
