#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "platform/direct_draw_results.h"
#include "platform/display_flags.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/headless_text.h"
#include "platform/headless/host_window.h"
#include "simd/cpu_features.h"

namespace corvex::testing {
namespace {

using namespace platform;
using namespace platform::headless;

// The simulated display behaves as the real device does where the plug-in relies on it.
class HeadlessDevice : public ::testing::Test {
 public:
  HeadlessDevice() {
    DirectDrawObject* object = nullptr;
    EXPECT_EQ(backend.display.DirectDrawCreate(&object), dd::Ok);
    EXPECT_EQ(object->QueryDisplayDevice(&device), dd::Ok);
    object->Release();
  }
  ~HeadlessDevice() override { device->Release(); }

  // A surface of size x size pixels (0: unsized), in a FourCC format when one is given.
  Result Create(uint32_t caps, int32_t size, uint32_t fourCC, Surface** surface) {
    SurfaceDescription description;
    description.flags =
        ddsd::Caps | (size ? ddsd::Width | ddsd::Height : 0) | (fourCC ? ddsd::PixelFormat : 0);
    description.width = description.height = static_cast<uint32_t>(size);
    description.caps.caps = caps;
    description.pixelFormat = PixelFormat{kPixelFormatSize, ddpf::FourCC, fourCC};
    EXPECT_EQ(device->CreateSurface(&description, surface), dderr::InvalidParams);  // unsized
    description.size = kSurfaceDescriptionSize;
    return device->CreateSurface(&description, surface);
  }

  HeadlessBackend backend;
  HostWindow window{backend};
  DisplayDevice* device = nullptr;
};

TEST_F(HeadlessDevice, ASurfaceLockedOrDrawnOnIsBusy) {
  Surface* surface = nullptr;
  ASSERT_EQ(Create(ddscaps::SystemMemory, 33, 0, &surface), dd::Ok);
  SurfaceDescription locked;
  locked.size = kSurfaceDescriptionSize;
  ASSERT_EQ(surface->Lock(nullptr, &locked, ddlock::Wait), dd::Ok);
  EXPECT_EQ(locked.pitch, 136);  // rows aligned to 8 bytes
  DeviceContext* context = nullptr;
  EXPECT_EQ(surface->GetDC(&context), dderr::SurfaceBusy);
  EXPECT_EQ(surface->Unlock(nullptr), dd::Ok);
  EXPECT_EQ(surface->Unlock(nullptr), dderr::NotLocked);
  ASSERT_EQ(surface->GetDC(&context), dd::Ok);
  EXPECT_EQ(surface->Lock(nullptr, &locked, ddlock::Wait), dderr::SurfaceBusy);
  EXPECT_EQ(surface->ReleaseDC(context), dd::Ok);
  surface->Release();
}

TEST_F(HeadlessDevice, TheScreenBelongsToItsModeAndOverlaysToVideoMemory) {
  backend.display.modes = {StandardMode(640, 480, 16)};
  backend.display.videoMemory = 480 * 480 * 2;  // one overlay of 480 x 480
  Surface *primary = nullptr, *overlay = nullptr, *refused = nullptr;
  ASSERT_EQ(Create(ddscaps::PrimarySurface, 0, 0, &primary), dd::Ok);
  EXPECT_EQ(Create(ddscaps::PrimarySurface, 0, 0, &refused), dderr::PrimarySurfaceAlreadyExists);
  EXPECT_EQ(device->SetDisplayMode(640, 480, 16, 0, 0), dderr::NoExclusiveMode);
  ASSERT_EQ(device->SetCooperativeLevel(window.handle(), ddscl::Exclusive | ddscl::FullScreen),
            dd::Ok);
  EXPECT_EQ(device->SetDisplayMode(800, 600, 16, 0, 0), dderr::InvalidMode);
  ASSERT_EQ(device->SetDisplayMode(640, 480, 16, 0, 0), dd::Ok);
  EXPECT_EQ(primary->Restore(), dderr::WrongMode);  // made for the desktop's mode
  primary->Release();

  ASSERT_EQ(Create(ddscaps::Overlay | ddscaps::VideoMemory, 480, 0, &overlay), dd::Ok);
  EXPECT_EQ(Create(ddscaps::Overlay, 8, 0, &refused), dderr::OutOfVideoMemory);
  overlay->Release();
}

// A blit of a picture that outgrows the last-level cache, whole and into a window of the
// target a few pixels in, with rows that start off the cache lines: each pixel it covers comes
// from its place in the source and every other byte of the target keeps its value.
TEST_F(HeadlessDevice, ABlitLargerThanTheCacheCopiesExactlyItsRectangle) {
  backend.display.extraPitch = 12;
  const auto side = static_cast<int32_t>(std::sqrt(LastLevelCacheBytes() / 8.0)) + 16;
  Surface *from = nullptr, *to = nullptr;
  ASSERT_EQ(Create(ddscaps::SystemMemory, side, 0, &from), dd::Ok);
  ASSERT_EQ(Create(ddscaps::SystemMemory, side, 0, &to), dd::Ok);
  auto pixels = [&](Surface* surface, auto&& visit) {
    SurfaceDescription locked;
    locked.size = kSurfaceDescriptionSize;
    ASSERT_EQ(surface->Lock(nullptr, &locked, ddlock::Wait), dd::Ok);
    for (int32_t y = 0; y < side; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.surface) +
                                              static_cast<ptrdiff_t>(y) * locked.pitch);
      for (int32_t x = 0; x < side; ++x) visit(x, y, row[x]);
    }
    ASSERT_EQ(surface->Unlock(nullptr), dd::Ok);
  };
  auto pattern = [](int32_t x, int32_t y) {
    return static_cast<uint32_t>(x * 0x10001 ^ y * 0x3F1);
  };
  constexpr uint32_t kUntouched = 0xCDCDCDCD;
  pixels(from, [&](int32_t x, int32_t y, uint32_t& pixel) { pixel = pattern(x, y); });
  const Rect whole{0, 0, side, side};
  const Rect window{3, 5, side - 1, side - 2}, source{1, 0, side - 3, side - 7};
  for (const auto& [destination, sourceRect] : {std::pair{whole, whole}, {window, source}}) {
    SCOPED_TRACE(::testing::Message() << "into " << destination.left << "," << destination.top);
    pixels(to, [&](int32_t, int32_t, uint32_t& pixel) { pixel = kUntouched; });
    ASSERT_EQ(to->Blt(&destination, from, &sourceRect, 0), dd::Ok);
    int64_t wrong = 0;
    pixels(to, [&](int32_t x, int32_t y, uint32_t& pixel) {
      const bool inside = x >= destination.left && x < destination.right &&
                          y >= destination.top && y < destination.bottom;
      const uint32_t expected = inside ? pattern(x - destination.left + sourceRect.left,
                                                 y - destination.top + sourceRect.top)
                                       : kUntouched;
      wrong += pixel != expected;
    });
    EXPECT_EQ(wrong, 0);
  }
  from->Release();
  to->Release();
}

TEST(HeadlessPixelsAndText, NarrowChannelsWidenYuvComesBackAndBytesAreReadAsUtf8) {
  const uint8_t grey565[2] = {0x10, 0x84}, greyUyvy[4] = {128, 127, 128, 127};
  EXPECT_EQ(ReadRgb(grey565, 0, PixelLayout{2, 0xF800, 0x07E0, 0x001F, 0}), 0x848284u);
  EXPECT_EQ(ReadRgb(greyUyvy, 1, PixelLayout{2, 0, 0, 0, fourcc::Uyvy}), 0x7F7F7Fu);
  EXPECT_EQ(DecodeText("A\xC3\xA9", 3), (std::vector<uint32_t>{'A', 0xE9}));
  EXPECT_EQ(DecodeText("\xE9t\xE2\x82\xAC", 5), (std::vector<uint32_t>{0xE9, 't', 0x20AC}));
  EXPECT_EQ(DecodeText("\xE2\x82", 2), (std::vector<uint32_t>{0xE2, 0x82}));
}

}  // namespace
}  // namespace corvex::testing
