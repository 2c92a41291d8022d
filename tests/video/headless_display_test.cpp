#include <gtest/gtest.h>

#include "platform/display_flags.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/headless_text.h"
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

  Surface* Create(uint32_t caps, int32_t width = 0, int32_t height = 0,
                  uint32_t fourCC = 0, Result* result = nullptr) {
    SurfaceDescription description;
    description.size = kSurfaceDescriptionSize;
    description.flags = DDSD_CAPS | (width ? DDSD_WIDTH | DDSD_HEIGHT : 0);
    description.width = static_cast<uint32_t>(width);
    description.height = static_cast<uint32_t>(height);
    description.caps.caps = caps;
    if (fourCC != 0) {
      description.flags |= DDSD_PIXELFORMAT;
      description.pixelFormat = PixelFormat{kPixelFormatSize, DDPF_FOURCC, fourCC};
    }
    Surface* surface = nullptr;
    const Result created = device->CreateSurface(&description, &surface);
    if (result != nullptr) *result = created;
    return surface;
  }

  HeadlessBackend backend;
  DisplayDevice* device = nullptr;
};

TEST_F(HeadlessDevice, ASurfaceLockedOrDrawnOnIsBusy) {
  Surface* surface = Create(DDSCAPS_SYSTEMMEMORY, 33, 4);
  SurfaceDescription locked;
  locked.size = kSurfaceDescriptionSize;
  ASSERT_EQ(surface->Lock(nullptr, &locked, DDLOCK_WAIT), DD_OK);
  EXPECT_EQ(locked.pitch, 136);  // rows aligned to 8 bytes
  EXPECT_EQ(surface->Lock(nullptr, &locked, DDLOCK_WAIT), DDERR_SURFACEBUSY);
  DeviceContext* context = nullptr;
  EXPECT_EQ(surface->GetDC(&context), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
  EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
  ASSERT_EQ(surface->GetDC(&context), DD_OK);
  EXPECT_EQ(surface->GetDC(&context), DDERR_DCALREADYCREATED);
  EXPECT_EQ(surface->Lock(nullptr, &locked, DDLOCK_WAIT), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->ReleaseDC(context), DD_OK);
  SurfaceDescription unsized;  // the record's size field is checked
  EXPECT_EQ(surface->Lock(nullptr, &unsized, DDLOCK_WAIT), DDERR_INVALIDPARAMS);
  surface->Release();
}

TEST_F(HeadlessDevice, TheScreenBelongsToItsModeAndOverlaysToVideoMemory) {
  backend.display.modes = {StandardMode(640, 480, 16)};
  backend.display.videoMemory = 640 * 480 * 2;
  Surface* primary = Create(DDSCAPS_PRIMARYSURFACE);
  Result result = DD_OK;
  EXPECT_EQ(Create(DDSCAPS_PRIMARYSURFACE, 0, 0, 0, &result), nullptr);
  EXPECT_EQ(result, DDERR_PRIMARYSURFACEALREADYEXISTS);
  EXPECT_EQ(device->SetDisplayMode(640, 480, 16, 0, 0), DDERR_NOEXCLUSIVEMODE);
  ASSERT_EQ(backend.windows.RegisterClass("c", [](WindowHandle, uint32_t, uintptr_t,
                                                  intptr_t) -> intptr_t { return 0; },
                                          nullptr),
            true);
  WindowHandle window = backend.windows.CreateWindow("c", "w", 0, 0, 0, 10, 10, nullptr, nullptr);
  ASSERT_EQ(device->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  EXPECT_EQ(device->SetDisplayMode(800, 600, 16, 0, 0), DDERR_INVALIDMODE);
  ASSERT_EQ(device->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
  EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);  // made for the desktop's mode
  EXPECT_EQ(primary->Restore(), DDERR_WRONGMODE);
  primary->Release();

  Surface* overlay = Create(DDSCAPS_OVERLAY | DDSCAPS_VIDEOMEMORY, 640, 480);
  ASSERT_NE(overlay, nullptr);
  EXPECT_EQ(backend.display.UsedVideoMemory(), 640u * 480 * 2);
  EXPECT_EQ(Create(DDSCAPS_OVERLAY, 8, 8, 0, &result), nullptr);
  EXPECT_EQ(result, DDERR_OUTOFVIDEOMEMORY);
  overlay->Release();
  EXPECT_EQ(backend.display.UsedVideoMemory(), 0u);
  backend.display.overlaySupport = OverlaySupport::Yuy2;
  EXPECT_EQ(Create(DDSCAPS_OVERLAY, 8, 8, 0, &result), nullptr);
  EXPECT_EQ(result, DDERR_INVALIDPIXELFORMAT);
  EXPECT_EQ(Create(DDSCAPS_OVERLAY, 8, 8, FOURCC_UYVY, &result), nullptr);
  Surface* yuy2 = Create(DDSCAPS_OVERLAY, 8, 8, FOURCC_YUY2);
  ASSERT_NE(yuy2, nullptr);
  DeviceContext* context = nullptr;
  EXPECT_EQ(yuy2->GetDC(&context), DDERR_CANTCREATEDC);
  yuy2->Release();
  backend.windows.DestroyWindow(window);
}

TEST(HeadlessPixels, ChannelsWidenAndYuvComesBackNearTheColour) {
  const PixelLayout rgb565{2, 0xF800, 0x07E0, 0x001F, 0};
  uint8_t pixel[4] = {};
  WriteRgb(pixel, 0, rgb565, 0xFFFFFF);
  EXPECT_EQ(ReadRgb(pixel, 0, rgb565), 0xFFFFFFu);
  WriteRgb(pixel, 0, rgb565, 0x808080);
  EXPECT_EQ(ReadRgb(pixel, 0, rgb565), 0x848284u);
  const PixelLayout uyvy{2, 0, 0, 0, FOURCC_UYVY};
  const uint8_t redPair[4] = {93, 73, 219, 73};  // what the conversion makes of two reds
  for (int32_t x : {0, 1}) {
    const uint32_t red = ReadRgb(redPair, x, uyvy);
    EXPECT_GE(red >> 16, 0xF8u);
    EXPECT_LE((red >> 8) & 255, 4u);
    EXPECT_LE(red & 255, 4u);
  }
  const uint8_t grey[4] = {128, 127, 128, 127};
  EXPECT_EQ(ReadRgb(grey, 1, uyvy), 0x7F7F7Fu);
}

TEST(HeadlessText, BytesAreReadAsUtf8WhereTheyFormIt) {
  EXPECT_EQ(DecodeText("A\xC3\xA9", 3), (std::vector<uint32_t>{'A', 0xE9}));
  EXPECT_EQ(DecodeText("\xE9t\xE9", 3), (std::vector<uint32_t>{0xE9, 't', 0xE9}));
  EXPECT_EQ(DecodeText("\xE2\x82\xAC", 3), (std::vector<uint32_t>{0x20AC}));
  EXPECT_EQ(DecodeText("\xE2\x82", 2), (std::vector<uint32_t>{0xE2, 0x82}));
}

}  // namespace
}  // namespace corvex::testing
