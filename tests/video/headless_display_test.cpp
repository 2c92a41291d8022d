#include <gtest/gtest.h>

#include "platform/display_flags.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/headless_text.h"
#include "platform/headless/host_window.h"
#include "video/portable/direct_draw_results.h"

namespace corvex::testing {
namespace {

using namespace platform;
using namespace platform::headless;

// The simulated display behaves as the real device does where the plug-in relies on it.
class HeadlessDevice : public ::testing::Test {
 public:
  HeadlessDevice() {
    DirectDrawObject* object = nullptr;
    EXPECT_EQ(backend.display.DirectDrawCreate(&object), DD_OK);
    EXPECT_EQ(object->QueryDisplayDevice(&device), DD_OK);
    object->Release();
  }
  ~HeadlessDevice() override { device->Release(); }

  // A surface of size x size pixels (0: unsized), in a FourCC format when one is given.
  Result Create(uint32_t caps, int32_t size, uint32_t fourCC, Surface** surface) {
    SurfaceDescription description;
    description.flags =
        DDSD_CAPS | (size ? DDSD_WIDTH | DDSD_HEIGHT : 0) | (fourCC ? DDSD_PIXELFORMAT : 0);
    description.width = description.height = static_cast<uint32_t>(size);
    description.caps.caps = caps;
    description.pixelFormat = PixelFormat{kPixelFormatSize, DDPF_FOURCC, fourCC};
    EXPECT_EQ(device->CreateSurface(&description, surface), DDERR_INVALIDPARAMS);  // unsized
    description.size = kSurfaceDescriptionSize;
    return device->CreateSurface(&description, surface);
  }

  HeadlessBackend backend;
  HostWindow window{backend};
  DisplayDevice* device = nullptr;
};

TEST_F(HeadlessDevice, ASurfaceLockedOrDrawnOnIsBusy) {
  Surface* surface = nullptr;
  ASSERT_EQ(Create(DDSCAPS_SYSTEMMEMORY, 33, 0, &surface), DD_OK);
  SurfaceDescription locked;
  locked.size = kSurfaceDescriptionSize;
  ASSERT_EQ(surface->Lock(nullptr, &locked, DDLOCK_WAIT), DD_OK);
  EXPECT_EQ(locked.pitch, 136);  // rows aligned to 8 bytes
  DeviceContext* context = nullptr;
  EXPECT_EQ(surface->GetDC(&context), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
  EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
  ASSERT_EQ(surface->GetDC(&context), DD_OK);
  EXPECT_EQ(surface->Lock(nullptr, &locked, DDLOCK_WAIT), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->ReleaseDC(context), DD_OK);
  surface->Release();
}

TEST_F(HeadlessDevice, TheScreenBelongsToItsModeAndOverlaysToVideoMemory) {
  backend.display.modes = {StandardMode(640, 480, 16)};
  backend.display.videoMemory = 480 * 480 * 2;  // one overlay of 480 x 480
  Surface *primary = nullptr, *overlay = nullptr, *refused = nullptr;
  ASSERT_EQ(Create(DDSCAPS_PRIMARYSURFACE, 0, 0, &primary), DD_OK);
  EXPECT_EQ(Create(DDSCAPS_PRIMARYSURFACE, 0, 0, &refused), DDERR_PRIMARYSURFACEALREADYEXISTS);
  EXPECT_EQ(device->SetDisplayMode(640, 480, 16, 0, 0), DDERR_NOEXCLUSIVEMODE);
  ASSERT_EQ(device->SetCooperativeLevel(window.handle(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
            DD_OK);
  EXPECT_EQ(device->SetDisplayMode(800, 600, 16, 0, 0), DDERR_INVALIDMODE);
  ASSERT_EQ(device->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
  EXPECT_EQ(primary->Restore(), DDERR_WRONGMODE);  // made for the desktop's mode
  primary->Release();

  ASSERT_EQ(Create(DDSCAPS_OVERLAY | DDSCAPS_VIDEOMEMORY, 480, 0, &overlay), DD_OK);
  EXPECT_EQ(Create(DDSCAPS_OVERLAY, 8, 0, &refused), DDERR_OUTOFVIDEOMEMORY);
  overlay->Release();
}

TEST(HeadlessPixelsAndText, NarrowChannelsWidenYuvComesBackAndBytesAreReadAsUtf8) {
  const uint8_t grey565[2] = {0x10, 0x84}, greyUyvy[4] = {128, 127, 128, 127};
  EXPECT_EQ(ReadRgb(grey565, 0, PixelLayout{2, 0xF800, 0x07E0, 0x001F, 0}), 0x848284u);
  EXPECT_EQ(ReadRgb(greyUyvy, 1, PixelLayout{2, 0, 0, 0, FOURCC_UYVY}), 0x7F7F7Fu);
  EXPECT_EQ(DecodeText("A\xC3\xA9", 3), (std::vector<uint32_t>{'A', 0xE9}));
  EXPECT_EQ(DecodeText("\xE9t\xE2\x82\xAC", 5), (std::vector<uint32_t>{0xE9, 't', 0x20AC}));
  EXPECT_EQ(DecodeText("\xE2\x82", 2), (std::vector<uint32_t>{0xE2, 0x82}));
}

}  // namespace
}  // namespace corvex::testing
