// The 4:2:0 picture handed to the encoder.
#include "yuv_picture.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

namespace corvex::host {
namespace {

using Yuv = std::tuple<int, int, int>;

// The one sample of a 2x2 picture of one colour.
Yuv OfColour(uint32_t colour) {
  const std::vector<uint32_t> pixels(4, colour);
  std::array<uint8_t, 6> out{};
  ConvertToYuv420(pixels.data(), 2, 2, out.data());
  EXPECT_EQ(out[0], out[3]) << "one colour, one luma";
  return {out[0], out[4], out[5]};
}

TEST(YuvPicture, PrimaryColoursHaveTheirBt709LimitedRangeValues) {
  // The reference values of BT.709 colour bars at 8 bits.
  EXPECT_EQ(OfColour(0x000000), Yuv(16, 128, 128));
  EXPECT_EQ(OfColour(0xFFFFFF), Yuv(235, 128, 128));
  EXPECT_EQ(OfColour(0xFF0000), Yuv(63, 102, 240));
  EXPECT_EQ(OfColour(0x00FF00), Yuv(173, 42, 26));
  EXPECT_EQ(OfColour(0x0000FF), Yuv(32, 240, 118));
  EXPECT_EQ(OfColour(0xFFFF00), Yuv(219, 16, 138));
  EXPECT_EQ(OfColour(0x00FFFF), Yuv(188, 154, 16));
  EXPECT_EQ(OfColour(0xFF00FF), Yuv(78, 214, 230));
}

TEST(YuvPicture, ChromaIsTheMeanOfFourPixelsAndAnOddEdgeIsBlack) {
  // 3x3: a white column on the left, red elsewhere; padded to 4x4.
  const uint32_t w = 0xFFFFFF, r = 0xFF0000;
  const std::vector<uint32_t> pixels = {w, r, r, w, r, r, w, r, r};
  const YuvSize size = YuvSizeOf(3, 3);
  ASSERT_EQ(size.width, 4);
  ASSERT_EQ(size.height, 4);
  std::vector<uint8_t> out(size.Bytes() + 1, 0xAA);
  ConvertToYuv420(pixels.data(), 3, 3, out.data());
  EXPECT_EQ(out.back(), 0xAA) << "written past the picture";
  const std::vector<uint8_t> luma(out.begin(), out.begin() + 16);
  EXPECT_EQ(luma, (std::vector<uint8_t>{235, 63, 63, 16, 235, 63, 63, 16, 235, 63, 63, 16, 16, 16, 16, 16}));
  const uint8_t* cb = out.data() + 16;
  const uint8_t* cr = cb + 4;
  // Top left: two white, two red, mean (255, 127.5, 127.5): Cb 115.17, Cr 184.00.
  EXPECT_EQ(cb[0], 115);
  EXPECT_EQ(cr[0], 184);
  // Top right: two red, two black, mean (127.5, 0, 0): the same.
  EXPECT_EQ(cb[1], 115);
  EXPECT_EQ(cr[1], 184);
  // Bottom right: one red and three black, mean (63.75, 0, 0): Cb 121.58, Cr 156.00.
  EXPECT_EQ(cb[3], 122);
  EXPECT_EQ(cr[3], 156);
}

}  // namespace
}  // namespace corvex::host
