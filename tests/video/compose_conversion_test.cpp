#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "platform/headless/headless_pixels.h"
#include "video/portable/compose_kernels.h"

namespace corvex::testing {
namespace {

constexpr uint8_t kSentinel = 0xCD;

// Converts one row of pixels with the reference into a sentinel-filled buffer of pitch bytes.
std::vector<uint8_t> ConvertRow(ComposeFormat format, const std::vector<uint32_t>& pixels,
                                int32_t pitch) {
  std::vector<uint8_t> target(static_cast<size_t>(pitch), kSentinel);
  ScalarComposeKernels()[format](pixels.data(), static_cast<int32_t>(pixels.size()), 1,
                                 target.data(), pitch);
  return target;
}

uint16_t Word(const std::vector<uint8_t>& bytes, size_t pixel) {
  return static_cast<uint16_t>(bytes[2 * pixel] | bytes[2 * pixel + 1] << 8);
}

struct Yuv {
  int y, u, v;
};

// Y and U of the even pixel from a pair (p, p), V from the same pixel as the odd one.
Yuv YuvOf(uint32_t pixel) {
  const std::vector<uint8_t> uyvy = ConvertRow(ComposeFormat::Uyvy, {pixel, pixel}, 4);
  return Yuv{uyvy[1], uyvy[0], uyvy[2]};
}

TEST(ComposeValues, WorkedColoursInSixteenBitsAndYuv) {
  struct Case {
    uint32_t pixel;
    uint16_t rgb565;
    Yuv yuv;
  };
  const Case cases[] = {
      {0x000000, 0x0000, {0, 128, 128}},      // black
      {0xFFFFFF, 0xFFFF, {252, 129, 129}},    // white
      {0xFF0000, 0xF800, {73, 93, 219}},      // red
      {0x00FF00, 0x07E0, {144, 55, 55}},      // green
      {0x0000FF, 0x001F, {35, 237, 111}},     // blue
      {0x808080, 0x8410, {127, 128, 128}},    // grey
      {0x123456, 0x11AA, {46, 147, 113}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.pixel);
    EXPECT_EQ(Word(ConvertRow(ComposeFormat::Rgb565, {c.pixel, c.pixel}, 4), 0), c.rgb565);
    const Yuv yuv = YuvOf(c.pixel);
    EXPECT_EQ(yuv.y, c.yuv.y);
    EXPECT_EQ(yuv.u, c.yuv.u);
    EXPECT_EQ(yuv.v, c.yuv.v);
  }
}

TEST(ComposeValues, ChromaComesFromTheEvenPixelForUAndTheOddForV) {
  const std::vector<uint32_t> redThenBlue = {0xFF0000, 0x0000FF};
  EXPECT_EQ(ConvertRow(ComposeFormat::Uyvy, redThenBlue, 4),
            (std::vector<uint8_t>{0x5D, 0x49, 0x6F, 0x23}));
  EXPECT_EQ(ConvertRow(ComposeFormat::Yuy2, redThenBlue, 4),
            (std::vector<uint8_t>{0x49, 0x5D, 0x23, 0x6F}));
}

TEST(ComposeValues, ThirtyTwoAndTwentyFourBitBytes) {
  const std::vector<uint32_t> pair = {0xAA123456, 0x00FEDCBA};
  EXPECT_EQ(ConvertRow(ComposeFormat::Rgb32, pair, 8),
            (std::vector<uint8_t>{0x56, 0x34, 0x12, 0xAA, 0xBA, 0xDC, 0xFE, 0x00}));
  // Six bytes of blue, green, red, then the byte after the pair, written as 0.
  EXPECT_EQ(ConvertRow(ComposeFormat::Rgb24, pair, 8),
            (std::vector<uint8_t>{0x56, 0x34, 0x12, 0xBA, 0xDC, 0xFE, 0x00, kSentinel}));
}

// Five green bits: each channel's top five bits where a 16-bit display with a 0x03E0 green
// mask reads them, so the display shows the truncated colour and not a shifted one.
TEST(ComposeValues, FiveBitFieldsLieWhereTheDisplayReadsThem) {
  const std::vector<uint8_t> word = ConvertRow(ComposeFormat::Rgb555, {0x123456, 0xFFFFFF}, 4);
  EXPECT_EQ(Word(word, 0), (0x10 << 7) | (0x30 << 2) | (0x56 >> 3));
  EXPECT_EQ(Word(word, 1), 0x7FFF);
  const platform::headless::PixelLayout display{2, 0x7C00, 0x03E0, 0x001F, 0};
  for (uint32_t pixel : {0xF80000u, 0x00F800u, 0x0000F8u, 0x884422u}) {
    const std::vector<uint8_t> converted = ConvertRow(ComposeFormat::Rgb555, {pixel, 0}, 4);
    const uint32_t shown = platform::headless::ReadRgb(converted.data(), 0, display);
    // What the display shows keeps the top five bits of each channel.
    EXPECT_EQ(shown & 0xF8F8F8, pixel & 0xF8F8F8) << std::hex << pixel;
  }
}

TEST(ComposeValues, TheTopByteReachesOnlyThirtyTwoBitTargets) {
  const std::vector<uint32_t> clear = {0x00102030, 0x00405060, 0x00708090, 0x00A0B0C0};
  std::vector<uint32_t> marked = clear;
  for (uint32_t& pixel : marked) pixel |= 0xFF000000;
  for (int32_t f = 0; f < kComposeFormatCount; ++f) {
    const auto format = static_cast<ComposeFormat>(f);
    SCOPED_TRACE(ComposeFormatName(format));
    const std::vector<uint8_t> a = ConvertRow(format, clear, 20);
    const std::vector<uint8_t> b = ConvertRow(format, marked, 20);
    if (format != ComposeFormat::Rgb32) {
      EXPECT_EQ(a, b);
      continue;
    }
    for (size_t i = 0; i < a.size(); ++i) {
      const bool topByte = i < 16 && i % 4 == 3;
      EXPECT_EQ(a[i] != b[i], topByte) << "byte " << i;
    }
  }
}

// Rows of 6 pixels with 7 spare bytes each: only each row's own bytes change (and the one
// byte after a 24-bit row). Rows start at y x pitch in every format.
TEST(ComposeValues, PaddingBetweenRowsIsLeftAlone) {
  constexpr int32_t kWidth = 6, kHeight = 3;
  const int32_t rowBytes[kComposeFormatCount] = {24, 18, 12, 12, 12, 12};
  std::vector<uint32_t> source(kWidth * kHeight);
  for (size_t i = 0; i < source.size(); ++i) source[i] = 0x01010101u * (i + 1);
  for (int32_t f = 0; f < kComposeFormatCount; ++f) {
    const auto format = static_cast<ComposeFormat>(f);
    SCOPED_TRACE(ComposeFormatName(format));
    const int32_t pitch = rowBytes[f] + 7;
    std::vector<uint8_t> target(static_cast<size_t>(pitch * kHeight), kSentinel);
    ScalarComposeKernels()[format](source.data(), kWidth, kHeight, target.data(), pitch);
    for (int32_t y = 0; y < kHeight; ++y) {
      const uint8_t* row = target.data() + y * pitch;
      std::vector<uint8_t> alone = ConvertRow(format, {source.begin() + y * kWidth,
                                                       source.begin() + (y + 1) * kWidth},
                                              pitch);
      EXPECT_EQ(0, std::memcmp(row, alone.data(), static_cast<size_t>(pitch))) << "row " << y;
      const int32_t written = rowBytes[f] + (format == ComposeFormat::Rgb24 ? 1 : 0);
      for (int32_t i = 0; i < pitch; ++i) {
        EXPECT_EQ(row[i] == kSentinel, i >= written) << "row " << y << " byte " << i;
      }
    }
  }
}

// Rows go in pairs: the last column of an odd width keeps what was there, except the first
// byte of a 24-bit pixel, which the last pair's overlapping store sets to 0.
TEST(ComposeValues, AnOddWidthLeavesTheLastColumn) {
  const std::vector<uint32_t> five = {0x112233, 0x445566, 0x778899, 0xAABBCC, 0xDDEEFF};
  const std::vector<uint32_t> four(five.begin(), five.begin() + 4);
  const int32_t bytesPerPixel[kComposeFormatCount] = {4, 3, 2, 2, 2, 2};
  for (int32_t f = 0; f < kComposeFormatCount; ++f) {
    const auto format = static_cast<ComposeFormat>(f);
    SCOPED_TRACE(ComposeFormatName(format));
    const std::vector<uint8_t> odd = ConvertRow(format, five, 24);
    std::vector<uint8_t> even = ConvertRow(format, four, 24);
    if (format == ComposeFormat::Rgb24) {
      EXPECT_EQ(even[12], 0);
    }
    EXPECT_EQ(odd, even);  // the fifth pixel changed nothing
    EXPECT_EQ(odd[4 * bytesPerPixel[f] + 1], kSentinel);
  }
  for (int32_t f = 0; f < kComposeFormatCount; ++f) {
    const std::vector<uint8_t> one = ConvertRow(static_cast<ComposeFormat>(f), {0xFFFFFF}, 8);
    EXPECT_EQ(one, std::vector<uint8_t>(8, kSentinel)) << "width 1, format " << f;
  }
}

}  // namespace
}  // namespace corvex::testing
