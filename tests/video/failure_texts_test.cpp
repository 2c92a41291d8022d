#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>

#include "platform/direct_draw_results.h"
#include "video/error_reporting.h"
#include "video/portable/direct_draw_errors.h"
#include "video_fixture.h"

namespace corvex::testing {
namespace {

using platform::headless::HeadlessDisplay;

// When the chosen call fails: while the Video is created; in a frame with both overlays on
// after every surface was lost; or when the Video lets the display go.
enum class Stage { Create, Frame, Release };

struct FailureCase {
  const char* call;  // the call made to fail, skipping `skip` successful calls first
  int32_t result;
  int32_t skip;
  int32_t mode;
  Stage stage;
  const char* expected;  // the box's text; null: no box, the plug-in runs on
  void (*describe)(HeadlessDisplay&) = nullptr;  // a device that cannot serve instead
  int32_t resolution = 1;
};

void OnlyPalettized(HeadlessDisplay& d) { d.modes = {StandardMode(640, 480, 8)}; }
void No480Lines(HeadlessDisplay& d) {
  d.modes = {StandardMode(320, 240, 32), StandardMode(800, 600, 32)};
}
void NoOverlay(HeadlessDisplay& d) { d.overlaySupport = OverlaySupport::None; }
void PalettizedDesktop(HeadlessDisplay& d) { d.desktop = StandardMode(800, 600, 8); }

constexpr int32_t kFs = kFullScreen, kWin = kWindowed, kBg = kBackground;
constexpr Stage kCreate = Stage::Create, kFrame = Stage::Frame;

const FailureCase kCases[] = {
    {"DirectDrawCreate", dderr::NoDirectDrawHw, 0, kFs, kCreate,  // the probe
     "Error creating DirectDraw object - DDERR_NODIRECTDRAWHW"},
    {"DirectDrawCreate", dderr::OutOfMemory, 1, kFs, kCreate,
     "Error creating DirectDraw object - DDERR_OUTOFMEMORY"},
    {"QueryInterface", com::NoInterface, 1, kFs, kCreate,
     "Error creating DirectDraw object - Result: 80004002\n"},
    {"GetDisplayMode", dderr::Generic, 0, kFs, kCreate,
     "Video::GetTotalVideoMemory(), failed to retrive primary surface properties - "
     "DDERR_GENERIC"},
    {"EnumDisplayModes", dderr::InvalidParams, 0, kFs, kCreate,
     "Error counting display modes - DDERR_INVALIDPARAMS"},
    {"EnumDisplayModes", dderr::NoDirectDrawSupport, 1, kFs, kCreate,
     "Error enumerating display modes - DDERR_NODIRECTDRAWSUPPORT"},
    {"", 0, 0, kFs, kCreate, "No compatible video modes available", OnlyPalettized},
    {"", 0, 0, -1, kCreate, "No available resolutions", No480Lines, -1},
    {"RegisterClass", 0, 0, kFs, kCreate, "Error registering window class"},
    {"CreateWindow", 0, 0, kFs, kCreate, "Error creating window"},
    {"GetCaps", dderr::CurrentlyNotAvail, 0, kFs, kCreate,
     "Unable to retrieve DirectDraw Caps - DDERR_CURRENTLYNOTAVAIL"},
    {"SetCooperativeLevel", dderr::ExclusiveModeAlreadySet, 0, kFs, kCreate,
     "Error setting cooperative level - DDERR_EXCLUSIVEMODEALREADYSET"},
    {"SetCooperativeLevel", dderr::HwndAlreadySet, 0, kWin, kCreate, nullptr},
    {"SetDisplayMode", dderr::InvalidMode, 0, kFs, kCreate,
     "Error changing resolution - DDERR_INVALIDMODE"},
    {"RestoreDisplayMode", dderr::NoExclusiveMode, 0, kWin, kCreate,
     "Error changing resolution - DDERR_NOEXCLUSIVEMODE"},
    {"RestoreDisplayMode", dderr::UnsupportedMode, 0, kBg, kCreate,
     "Error changing resolution - DDERR_UNSUPPORTEDMODE"},
    {"GetDisplayMode", dderr::WasStillDrawing, 1, kWin, kCreate,
     "Video::ChangeRes(), Error retrieving display resolution - DDERR_WASSTILLDRAWING"},
    {"CreateSurface", dderr::OutOfVideoMemory, 0, kFs, kCreate,
     "Error creating desktop surface - DDERR_OUTOFVIDEOMEMORY"},
    {"CreateSurface", dderr::NotInitialized, 0, kWin, kCreate,
     "Video::AllocateSurfaces, Error creating desktop surface - DDERR_NOTINITIALIZED"},
    {"CreateSurface", dderr::PrimarySurfaceAlreadyExists, 0, kBg, kCreate,
     "Video::AllocateSurfaces, Error creating desktop surface - "
     "DDERR_PRIMARYSURFACEALREADYEXISTS"},
    {"CreateClipper", dderr::OutOfMemory, 0, kWin, kCreate,
     "Error creating directdraw clipper object - DDERR_OUTOFMEMORY"},
    {"SetHWnd", dderr::ClipperIsUsingHwnd, 0, kWin, kCreate,
     "Error associating directdraw clipper with window - DDERR_CLIPPERISUSINGHWND"},
    {"SetClipper", MakeDirectDrawResult(0x123), 0, kWin, kCreate,
     "Error associating directdraw clipper with primary surface - Result: 88760123\n"},
    {"", 0, 0, kBg, kCreate,
     "Your hardware doesn't support RGB nor YUV overlays.  See FAQ - DDERR_NOOVERLAYHW", NoOverlay},
    {"CreateSurface", dderr::OutOfMemory, 1, kFs, kCreate,
     "Error creating system memory compose surface - DDERR_OUTOFMEMORY"},
    {"", 0, 0, kWin, kCreate,
     "Video::AllocateSurfaces, Unsupported display depth of 8 bits per pixel (16, 24 or 32 "
     "needed)",
     PalettizedDesktop},
    {"Restore", dderr::WrongMode, 0, kFs, kFrame,
     "Video::RestoreSurfaces, Error restoring compose buffer - DDERR_WRONGMODE"},
    {"Restore", dderr::Generic, 1, kWin, kFrame,
     "Video::RestoreSurfaces, Error restoring front desktop buffer - DDERR_GENERIC"},
    {"Restore", dderr::OutOfVideoMemory, 2, kBg, kFrame,
     "Video::RestoreSurfaces, Error restoring back desktop buffer - DDERR_OUTOFVIDEOMEMORY"},
    {"Lock", dderr::InvalidRect, 0, kFs, kFrame,
     "Video::Compose, failed to lock compose surface - DDERR_INVALIDRECT"},
    {"Unlock", dderr::NotLocked, 0, kFs, kFrame,
     "Video::Compose, failed to unlock compose surface - DDERR_NOTLOCKED"},
    {"GetDC", dderr::CantCreateDC, 0, kFs, kFrame,
     "Video::ShowInfo, Error getting compose device context - DDERR_CANTCREATEDC"},
    {"GetDC", dderr::DCAlreadyCreated, 1, kBg, kFrame,
     "Video::ShowMessage, Error getting compose device context - DDERR_DCALREADYCREATED"},
    {"ReleaseDC", dderr::NoDC, 0, kWin, kFrame,
     "Video::Render, Error releasing compose buffer device context - DDERR_NODC"},
    {"ReleaseDC", dderr::Generic, 1, kWin, kFrame,
     "Video::Render, Error releasing compose buffer device context - DDERR_GENERIC"},
    {"Blt", MakeDirectDrawResult(0x99), 0, kFs, kFrame,
     "Video::Flip(), Error blitting backbuffer - Result: 88760099\n"},
    {"Blt", dderr::NoBltHw, 0, kWin, kFrame,
     "Video::Flip(), Error blitting backbuffer - DDERR_NOBLTHW"},
    {"Blt", dderr::SurfaceLost, 0, kBg, kFrame, nullptr},  // only the overlay update is judged
    {"UpdateOverlay", dderr::NoFlipHw, 0, kBg, kFrame,
     "Video::Flip(), Error blitting backbuffer - DDERR_NOFLIPHW "},
    {"SetCooperativeLevel", dderr::NoHwnd, 0, kFs, Stage::Release,
     "Video::ReleaseResources, Error setting cooperative level - DDERR_NOHWND"},
};

class FailureText : public VideoTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureText, ShowsItsTextInAnErrorBoxAndEndsTheProcess) {
  const FailureCase& c = GetParam();
  auto inject = [&] {
    display().failures.Inject(c.call, c.result, c.skip);
    windows().failures.Inject(c.call, c.result, c.skip);
  };
  auto act = [&] {
    if (c.describe != nullptr) c.describe(display());
    if (c.stage == Stage::Create) inject();
    Start(c.mode, c.resolution);
    if (c.stage == Stage::Frame) {
      video->showInfo = 1;
      video->SetMessage("Renderer Locked");
      Frame();  // starts the information overlay's clock
      display().LoseSurfaces();
      inject();
      Frame();
    }
    if (c.stage == Stage::Release) {
      inject();
      video->ReleaseResources();
    }
  };
  if (c.expected != nullptr) {
    EXPECT_EQ(ExitText(act), c.expected);
  } else {
    EXPECT_NO_THROW(act());
    EXPECT_TRUE(windows().messageBoxes.empty());
  }
}

void PrintTo(const FailureCase& c, std::ostream* out) {
  *out << c.call << "_" << std::hex << static_cast<uint32_t>(c.result) << "_mode" << c.mode;
}
INSTANTIATE_TEST_SUITE_P(EveryFailure, FailureText, ::testing::ValuesIn(kCases));

// The silent code leaves the plug-in running: it may lack a surface or a mode for a while (a
// busy lock skips that frame's conversion), but it neither shows a box nor crashes, and it
// releases everything at the end.
TEST_F(VideoTest, TheBusyCodeNeverStopsThePlugIn) {
  for (const char* call : {"GetCaps", "SetDisplayMode", "RestoreDisplayMode", "CreateSurface",
                           "CreateClipper", "SetHWnd", "SetClipper", "SetColorKey", "Lock",
                           "Unlock", "Blt", "UpdateOverlay", "GetDC"}) {
    for (int32_t mode : {kFullScreen, kWindowed, kBackground}) {
      SCOPED_TRACE(::testing::Message() << call << " in mode " << mode);
      display().failures.Inject(call, dderr::SurfaceBusy);
      EXPECT_NO_THROW({
        Start(mode, 1);
        video->showInfo = 1;
        video->SetMessage("busy");
        Frame();
        Frame();
        Switch((mode + 1) % kDisplayModeCount, 0);
        Frame();
      });
      display().failures.Clear();
      video.reset();
      EXPECT_TRUE(windows().messageBoxes.empty());
      EXPECT_EQ(
          display().LiveSurfaces() + display().LiveClippers() + display().LiveDirectDrawObjects(),
          0);
    }
  }
}

TEST(DirectDrawResults, TheTableNamesOneHundredAndNineCodesByTheirPublishedValues) {
  EXPECT_EQ(dderr::SurfaceLost, MakeDirectDrawResult(0x1C2));
  EXPECT_EQ(dderr::SurfaceBusy, MakeDirectDrawResult(0x1AE));
  EXPECT_EQ(static_cast<uint32_t>(dderr::Generic), 0x80004005u);
  std::set<std::string> names;
  auto visit = [&](int32_t code) {
    if (const char* text = DirectDrawResultText(code)) {
      EXPECT_EQ(std::string(text).rfind(" - DDERR_", 0), 0u) << text;
      names.insert(text);
    }
  };
  for (uint32_t code = 0; code < 0x1000; ++code) visit(MakeDirectDrawResult(code));
  for (int32_t code : {dderr::Generic, dderr::InvalidParams, dderr::OutOfMemory, dderr::Unsupported,
                       dderr::NotInitialized}) {
    visit(code);
  }
  EXPECT_EQ(names.size(), kNamedResultCount);
  EXPECT_STREQ(DirectDrawResultText(dderr::NotInitialized), " - DDERR_NOTINITIALIZED");
  EXPECT_EQ(DirectDrawResultText(dderr::SurfaceBusy), nullptr);
  EXPECT_EQ(DirectDrawResultText(dd::Ok), nullptr);
}

TEST(DirectDrawResults, MessagesAreCutTo255CharactersAndTheBusyCodeLeavesThemAlone) {
  char message[kErrorTextSize] = "before";
  EXPECT_FALSE(FormatDirectDrawError("busy", dderr::SurfaceBusy, message));
  EXPECT_STREQ(message, "before");
  ASSERT_TRUE(FormatDirectDrawError(std::string(300, 'x').c_str(), dderr::SurfaceLost, message));
  EXPECT_EQ(message, std::string(255, 'x'));
  ASSERT_TRUE(FormatDirectDrawError(std::string(250, 'y').c_str(), dderr::SurfaceLost, message));
  EXPECT_EQ(message, std::string(250, 'y') + " - DD");
}

}  // namespace
}  // namespace corvex::testing
