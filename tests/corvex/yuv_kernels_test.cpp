// Every version of the 4:2:0 conversion against the plain reference, bit for bit.
#include "yuv_kernels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "simd/cpu_features.h"
#include "yuv_picture.h"

namespace corvex::host {
namespace {

constexpr size_t kGuard = 64;
constexpr uint8_t kSentinel = 0xA5;

std::vector<const YuvKernel*> FastVersions() {
  std::vector<const YuvKernel*> versions = {&Sse2YuvKernel()};
  if (CpuHasAvx2()) versions.push_back(&Avx2YuvKernel());
  if (CpuHasAvx512Bw()) versions.push_back(&Avx512YuvKernel());
  return versions;
}

// A picture whose rows start `pitch` bytes apart, sentinels before it and in the padding of
// every row, and nothing after its last pixel, so a read past it is the sanitizer's to see.
// Half the pixels take each channel's extremes, where a sum or a weight overflows first; the
// top byte is noise the conversion must ignore.
struct Source {
  std::vector<uint8_t> bytes;
  const uint8_t* pixels;
  ptrdiff_t pitch;
};

Source MakeSource(int32_t width, int32_t height, ptrdiff_t pitch, std::mt19937& random) {
  Source source;
  source.bytes.assign(kGuard + static_cast<size_t>(pitch) * static_cast<size_t>(height - 1) +
                          static_cast<size_t>(width) * 4,
                      kSentinel);
  source.pixels = source.bytes.data() + kGuard;
  source.pitch = pitch;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint32_t pixel = random();
      if (random() & 1)
        pixel = (pixel & 0xFF000000) | ((random() & 1) ? 0xFF0000 : 0) |
                ((random() & 1) ? 0xFF00 : 0) | ((random() & 1) ? 0xFF : 0);
      std::memcpy(source.bytes.data() + kGuard + y * pitch + x * 4, &pixel, 4);
    }
  }
  return source;
}

// The output planes with sentinels on both sides; the guards are checked as part of the bytes.
std::vector<uint8_t> Convert(const YuvKernel& kernel, const Source& source, int32_t width,
                             int32_t height) {
  std::vector<uint8_t> out(kGuard + YuvSizeOf(width, height).Bytes() + kGuard, kSentinel);
  kernel.convert(source.pixels, source.pitch, width, height, out.data() + kGuard);
  return out;
}

TEST(YuvKernels, EveryVersionGivesTheReferenceBitsOverOddSizesAndPaddedRows) {
  std::mt19937 random(20261206);
  const int32_t widths[] = {1, 2, 3, 15, 16, 17, 31, 32, 33, 47, 63, 64, 65, 127, 641};
  const int32_t heights[] = {1, 2, 3, 17};
  for (const int32_t width : widths) {
    for (const int32_t height : heights) {
      for (const int32_t padding : {0, 4, 28}) {
        const ptrdiff_t pitch = static_cast<ptrdiff_t>(width) * 4 + padding;
        const Source source = MakeSource(width, height, pitch, random);
        const std::vector<uint8_t> expected = Convert(ScalarYuvKernel(), source, width, height);
        const std::vector<uint8_t> guard(kGuard, kSentinel);
        ASSERT_TRUE(std::equal(guard.begin(), guard.end(), expected.begin()));
        ASSERT_TRUE(std::equal(guard.begin(), guard.end(), expected.end() - kGuard));
        for (const YuvKernel* kernel : FastVersions()) {
          EXPECT_EQ(Convert(*kernel, source, width, height), expected)
              << kernel->name << " at " << width << "x" << height << ", pitch " << pitch;
        }
      }
    }
  }
}

// The row walk and the channel masks are shared by every version, so the comparison above
// cannot see them: here the same colours, tight and with noise in the top byte and the row
// padding, must give the same planes.
TEST(YuvKernels, RowPaddingAndTheTopByteChangeNothing) {
  std::mt19937 random(77);
  constexpr int32_t kWidth = 67, kHeight = 5;
  const Source noisy = MakeSource(kWidth, kHeight, kWidth * 4 + 36, random);
  Source tight;
  tight.bytes.resize(static_cast<size_t>(kWidth) * kHeight * 4);
  tight.pixels = tight.bytes.data();
  tight.pitch = kWidth * 4;
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      uint32_t pixel;
      std::memcpy(&pixel, noisy.pixels + y * noisy.pitch + x * 4, 4);
      pixel &= 0x00FFFFFF;
      std::memcpy(tight.bytes.data() + (y * kWidth + x) * 4, &pixel, 4);
    }
  }
  std::vector<const YuvKernel*> versions = FastVersions();
  versions.push_back(&ScalarYuvKernel());
  for (const YuvKernel* kernel : versions) {
    EXPECT_EQ(Convert(*kernel, noisy, kWidth, kHeight), Convert(*kernel, tight, kWidth, kHeight))
        << kernel->name;
  }
}

TEST(YuvKernels, AFullHdPictureIsTheSameInEveryVersion) {
  std::mt19937 random(1080);
  const Source source = MakeSource(1920, 1080, 1920 * 4, random);
  const std::vector<uint8_t> expected = Convert(ScalarYuvKernel(), source, 1920, 1080);
  for (const YuvKernel* kernel : FastVersions()) {
    EXPECT_EQ(Convert(*kernel, source, 1920, 1080), expected) << kernel->name;
  }
}

}  // namespace
}  // namespace corvex::host
