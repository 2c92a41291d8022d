#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "video/portable/direct_draw_results.h"
#include "video_fixture.h"

namespace corvex::testing {
namespace {

// One failing call of the display or the window system, what it takes to reach it, and the
// exact text of the box that ends the process.
struct FailureCase {
  const char* name;
  std::function<void(VideoTest&)> act;
  std::string expected;
};

void PrintTo(const FailureCase& failure, std::ostream* out) { *out << failure.name; }

void Inject(VideoTest& t, const char* call, int32_t result, int32_t skip = 0) {
  t.display().failures.Inject(call, result, skip);
}

void LoseAndCompose(VideoTest& t, int32_t skipRestores, int32_t displayMode, int32_t result) {
  t.Start(displayMode, 1);
  t.display().LoseSurfaces();
  Inject(t, "Restore", result, skipRestores);
  t.video->Compose();
}

const FailureCase kCases[] = {
    {"DirectDrawObjectInTheProbe",
     [](VideoTest& t) {
       Inject(t, "DirectDrawCreate", DDERR_NODIRECTDRAWHW);
       t.video = std::make_unique<Video>(t.backend);
       t.video->HasDirectDraw6();
     },
     "Error creating DirectDraw object - DDERR_NODIRECTDRAWHW"},
    {"DirectDrawObjectInCreate",
     [](VideoTest& t) {
       Inject(t, "DirectDrawCreate", DDERR_OUTOFMEMORY, 1);
       t.Start();
     },
     "Error creating DirectDraw object - DDERR_OUTOFMEMORY"},
    {"DeviceRefusedInCreate",
     [](VideoTest& t) {
       Inject(t, "QueryInterface", E_NOINTERFACE, 1);
       t.Start();
     },
     "Error creating DirectDraw object - Result: 80004002\n"},
    {"DisplayModeForTheMemoryFigures",
     [](VideoTest& t) {
       Inject(t, "GetDisplayMode", DDERR_GENERIC);
       t.Start();
     },
     "Video::GetTotalVideoMemory(), failed to retrive primary surface properties - "
     "DDERR_GENERIC"},
    {"CountingPass",
     [](VideoTest& t) {
       Inject(t, "EnumDisplayModes", DDERR_INVALIDPARAMS);
       t.Start();
     },
     "Error counting display modes - DDERR_INVALIDPARAMS"},
    {"StoringPass",
     [](VideoTest& t) {
       Inject(t, "EnumDisplayModes", DDERR_NODIRECTDRAWSUPPORT, 1);
       t.Start();
     },
     "Error enumerating display modes - DDERR_NODIRECTDRAWSUPPORT"},
    {"OnlyPalettizedModes",
     [](VideoTest& t) {
       t.display().modes = {StandardMode(640, 480, 8), StandardMode(800, 600, 8)};
       t.Start();
     },
     "No compatible video modes available"},
    {"NoEntryOf480Lines",
     [](VideoTest& t) {
       t.display().modes = {StandardMode(320, 240, 32), StandardMode(800, 600, 32)};
       t.Start();
     },
     "No available resolutions"},
    {"WindowClass",
     [](VideoTest& t) {
       t.windows().failures.Inject("RegisterClass", 0);
       t.Start();
     },
     "Error registering window class"},
    {"Window",
     [](VideoTest& t) {
       t.windows().failures.Inject("CreateWindow", 0);
       t.Start();
     },
     "Error creating window"},
    {"Capabilities",
     [](VideoTest& t) {
       Inject(t, "GetCaps", DDERR_CURRENTLYNOTAVAIL);
       t.Start();
     },
     "Unable to retrieve DirectDraw Caps - DDERR_CURRENTLYNOTAVAIL"},
    {"CooperativeLevel",
     [](VideoTest& t) {
       Inject(t, "SetCooperativeLevel", DDERR_EXCLUSIVEMODEALREADYSET);
       t.Start(kFullScreen, 1);
     },
     "Error setting cooperative level - DDERR_EXCLUSIVEMODEALREADYSET"},
    {"SetDisplayMode",
     [](VideoTest& t) {
       Inject(t, "SetDisplayMode", DDERR_INVALIDMODE);
       t.Start(kFullScreen, 1);
     },
     "Error changing resolution - DDERR_INVALIDMODE"},
    {"RestoreDisplayModeForAWindow",
     [](VideoTest& t) {
       Inject(t, "RestoreDisplayMode", DDERR_NOEXCLUSIVEMODE);
       t.Start(kWindowed, 1);
     },
     "Error changing resolution - DDERR_NOEXCLUSIVEMODE"},
    {"RestoreDisplayModeForTheBackground",
     [](VideoTest& t) {
       Inject(t, "RestoreDisplayMode", DDERR_UNSUPPORTEDMODE);
       t.Start(kBackground, 1);
     },
     "Error changing resolution - DDERR_UNSUPPORTEDMODE"},
    {"DisplayModeAfterTheChange",
     [](VideoTest& t) {
       Inject(t, "GetDisplayMode", DDERR_WASSTILLDRAWING, 1);
       t.Start(kWindowed, 1);
     },
     "Video::ChangeRes(), Error retrieving display resolution - DDERR_WASSTILLDRAWING"},
    {"CooperativeLevelOnRelease",
     [](VideoTest& t) {
       t.Start(kFullScreen, 1);
       Inject(t, "SetCooperativeLevel", DDERR_NOHWND);
       t.video->ReleaseResources();
     },
     "Video::ReleaseResources, Error setting cooperative level - DDERR_NOHWND"},
    {"PrimaryInFullScreen",
     [](VideoTest& t) {
       Inject(t, "CreateSurface", DDERR_OUTOFVIDEOMEMORY);
       t.Start(kFullScreen, 1);
     },
     "Error creating desktop surface - DDERR_OUTOFVIDEOMEMORY"},
    {"PrimaryForAWindow",
     [](VideoTest& t) {
       Inject(t, "CreateSurface", DDERR_NOTINITIALIZED);
       t.Start(kWindowed, 1);
     },
     "Video::AllocateSurfaces, Error creating desktop surface - DDERR_NOTINITIALIZED"},
    {"PrimaryForTheBackground",
     [](VideoTest& t) {
       Inject(t, "CreateSurface", DDERR_PRIMARYSURFACEALREADYEXISTS);
       t.Start(kBackground, 1);
     },
     "Video::AllocateSurfaces, Error creating desktop surface - "
     "DDERR_PRIMARYSURFACEALREADYEXISTS"},
    {"Clipper",
     [](VideoTest& t) {
       Inject(t, "CreateClipper", DDERR_OUTOFMEMORY);
       t.Start(kWindowed, 1);
     },
     "Error creating directdraw clipper object - DDERR_OUTOFMEMORY"},
    {"ClipperToTheWindow",
     [](VideoTest& t) {
       Inject(t, "SetHWnd", DDERR_CLIPPERISUSINGHWND);
       t.Start(kWindowed, 1);
     },
     "Error associating directdraw clipper with window - DDERR_CLIPPERISUSINGHWND"},
    {"ClipperToThePrimary",
     [](VideoTest& t) {
       Inject(t, "SetClipper", static_cast<int32_t>(0x88760123u));
       t.Start(kWindowed, 1);
     },
     "Error associating directdraw clipper with primary surface - Result: 88760123\n"},
    {"NoOverlayOfAnyFormat",
     [](VideoTest& t) {
       t.display().overlaySupport = OverlaySupport::None;
       t.Start(kBackground, 1);
     },
     "Your hardware doesn't support RGB nor YUV overlays.  See FAQ - DDERR_NOOVERLAYHW"},
    {"ComposeSurface",
     [](VideoTest& t) {
       Inject(t, "CreateSurface", DDERR_OUTOFMEMORY, 1);
       t.Start(kFullScreen, 1);
     },
     "Error creating system memory compose surface - DDERR_OUTOFMEMORY"},
    {"UnsupportedDesktopDepth",
     [](VideoTest& t) {
       t.display().desktop = StandardMode(800, 600, 8);
       t.Start(kWindowed, 1);
     },
     "Video::AllocateSurfaces, Unsupported display depth of 8 bits per pixel (16, 24 or 32 "
     "needed)"},
    {"RestoringTheComposeSurface",
     [](VideoTest& t) { LoseAndCompose(t, 0, kFullScreen, DDERR_WRONGMODE); },
     "Video::RestoreSurfaces, Error restoring compose buffer - DDERR_WRONGMODE"},
    {"RestoringThePrimary",
     [](VideoTest& t) { LoseAndCompose(t, 1, kWindowed, DDERR_GENERIC); },
     "Video::RestoreSurfaces, Error restoring front desktop buffer - DDERR_GENERIC"},
    {"RestoringTheOverlay",
     [](VideoTest& t) { LoseAndCompose(t, 2, kBackground, DDERR_OUTOFVIDEOMEMORY); },
     "Video::RestoreSurfaces, Error restoring back desktop buffer - DDERR_OUTOFVIDEOMEMORY"},
    {"Lock",
     [](VideoTest& t) {
       t.Start(kFullScreen, 1);
       Inject(t, "Lock", DDERR_SURFACELOST);
       t.Frame();
     },
     "Video::Compose, failed to lock compose surface - DDERR_SURFACELOST"},
    {"Unlock",
     [](VideoTest& t) {
       t.Start(kFullScreen, 1);
       Inject(t, "Unlock", DDERR_NOTLOCKED);
       t.Frame();
     },
     "Video::Compose, failed to unlock compose surface - DDERR_NOTLOCKED"},
    {"BlitToTheScreen",
     [](VideoTest& t) {
       t.Start(kFullScreen, 1);
       Inject(t, "Blt", static_cast<int32_t>(0x88760099u));
       t.Frame();
     },
     "Video::Flip(), Error blitting backbuffer - Result: 88760099\n"},
    {"BlitIntoTheWindow",
     [](VideoTest& t) {
       t.Start(kWindowed, 1);
       Inject(t, "Blt", DDERR_NOBLTHW);
       t.Frame();
     },
     "Video::Flip(), Error blitting backbuffer - DDERR_NOBLTHW"},
    {"OverlayUpdate",
     [](VideoTest& t) {
       t.Start(kBackground, 1);
       Inject(t, "UpdateOverlay", DDERR_NOFLIPHW);
       t.Frame();
     },
     "Video::Flip(), Error blitting backbuffer - DDERR_NOFLIPHW "},
    {"InformationContext",
     [](VideoTest& t) {
       t.Start(kFullScreen, 1);
       t.video->showInfo = 1;
       t.Frame();  // the first frame only starts the clock
       Inject(t, "GetDC", DDERR_CANTCREATEDC);
       t.Frame();
     },
     "Video::ShowInfo, Error getting compose device context - DDERR_CANTCREATEDC"},
    {"MessageContext",
     [](VideoTest& t) {
       t.Start(kFullScreen, 1);
       t.video->SetMessage("Renderer Locked");
       Inject(t, "GetDC", DDERR_DCALREADYCREATED);
       t.Frame();
     },
     "Video::ShowMessage, Error getting compose device context - DDERR_DCALREADYCREATED"},
    {"ReleasingTheInformationContext",
     [](VideoTest& t) {
       t.Start(kWindowed, 1);
       t.video->showInfo = 1;
       t.Frame();
       Inject(t, "ReleaseDC", DDERR_NODC);
       t.Frame();
     },
     "Video::Render, Error releasing compose buffer device context - DDERR_NODC"},
    {"ReleasingTheMessageContext",
     [](VideoTest& t) {
       t.Start(kWindowed, 1);
       t.video->SetMessage("Transform Unlocked");
       Inject(t, "ReleaseDC", DDERR_GENERIC);
       t.Frame();
     },
     "Video::Render, Error releasing compose buffer device context - DDERR_GENERIC"},
};

class FailureText : public VideoTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureText, ShowsItsTextInAnErrorBoxAndEndsTheProcess) {
  EXPECT_EQ(ExitText([this] { GetParam().act(*this); }), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(EveryFailure, FailureText, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FailureCase>& info) {
                           return std::string(info.param.name);
                         });

class QuietResult : public VideoTest {};

// A busy compose surface has no memory to give: that frame keeps the last picture, and the
// next frame converts again.
TEST_F(QuietResult, ABusyLockSkipsThatFramesConversion) {
  Start(kFullScreen, 1);
  Frame();
  const Picture before = display().SurfacePicture(video->composeSurface);
  video->frameBuffer[0] = 0x00ABCDEF;
  display().failures.Inject("Lock", DDERR_SURFACEBUSY);
  video->Compose();
  EXPECT_TRUE(windows().messageBoxes.empty());
  EXPECT_EQ(display().SurfacePicture(video->composeSurface).pixels, before.pixels);
  EXPECT_FALSE(Surface(video->composeSurface)->locked);
  video->Compose();
  EXPECT_EQ(display().SurfacePicture(video->composeSurface).At(0, 0), 0x00ABCDEFu);
}

TEST_F(QuietResult, AWindowAlreadySetIsNoFailureOfTheCooperativeLevel) {
  Start(kWindowed, 1);
  display().failures.Inject("SetCooperativeLevel", DDERR_HWNDALREADYSET);
  Switch(kWindowed, 0);
  EXPECT_TRUE(windows().messageBoxes.empty());
  EXPECT_EQ(video->width, 320);
  EXPECT_EQ(video->lastResult, 0);
}

TEST_F(QuietResult, TheBlitOntoAnRgbOverlayIsNotJudged) {
  Start(kBackground, 1);
  display().failures.Inject("Blt", DDERR_SURFACELOST);
  Frame();
  EXPECT_TRUE(windows().messageBoxes.empty());
  EXPECT_TRUE(Surface(video->overlaySurface)->overlayShown);
}

// The silent code from a call whose refusal only postpones its effect leaves the plug-in
// running: it may lack a surface or a mode for a while, but it neither shows a box nor
// crashes, and it releases everything at the end.
TEST_F(QuietResult, TheBusyCodeNeverStopsThePlugIn) {
  const char* calls[] = {"GetCaps",       "SetDisplayMode", "RestoreDisplayMode",
                         "CreateSurface", "CreateClipper",  "SetHWnd",
                         "SetClipper",    "SetColorKey",    "Lock",
                         "Unlock",        "Blt",            "UpdateOverlay",
                         "GetDC"};
  for (const char* call : calls) {
    for (int32_t mode : {kFullScreen, kWindowed, kBackground}) {
      SCOPED_TRACE(::testing::Message() << call << " in mode " << mode);
      display().failures.Inject(call, DDERR_SURFACEBUSY);
      try {
        Start(mode, 1);
        video->showInfo = 1;
        video->SetMessage("busy");
        for (int frame = 0; frame < 3; ++frame) Frame();
        Switch((mode + 1) % kDisplayModeCount, 0);
        Frame();
      } catch (const platform::headless::ProcessExit&) {
        ADD_FAILURE() << "ended with: " << windows().messageBoxes.back().text;
        windows().messageBoxes.clear();
      }
      display().failures.Clear();
      video.reset();
      EXPECT_TRUE(windows().messageBoxes.empty());
      EXPECT_EQ(display().LiveSurfaces(), 0);
      EXPECT_EQ(display().LiveClippers(), 0);
      EXPECT_EQ(display().LiveDirectDrawObjects(), 0);
    }
  }
}

}  // namespace
}  // namespace corvex::testing
