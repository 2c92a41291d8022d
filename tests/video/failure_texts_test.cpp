#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

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

// DirectDraw's result codes as its published headers give them, written out here rather than
// taken from the constants the plug-in uses, each with the name after "DDERR_".
const std::pair<uint32_t, const char*> kPublishedResults[] = {
    {0x80004001, "UNSUPPORTED"}, {0x80004005, "GENERIC"}, {0x800401F0, "NOTINITIALIZED"},
    {0x8007000E, "OUTOFMEMORY"}, {0x80070057, "INVALIDPARAMS"}, {0x88760005, "ALREADYINITIALIZED"},
    {0x8876000A, "CANNOTATTACHSURFACE"}, {0x88760014, "CANNOTDETACHSURFACE"},
    {0x88760028, "CURRENTLYNOTAVAIL"}, {0x88760037, "EXCEPTION"}, {0x8876005A, "HEIGHTALIGN"},
    {0x8876005F, "INCOMPATIBLEPRIMARY"}, {0x88760064, "INVALIDCAPS"},
    {0x8876006E, "INVALIDCLIPLIST"}, {0x88760078, "INVALIDMODE"}, {0x88760082, "INVALIDOBJECT"},
    {0x88760091, "INVALIDPIXELFORMAT"}, {0x88760096, "INVALIDRECT"}, {0x887600A0, "LOCKEDSURFACES"},
    {0x887600AA, "NO3D"}, {0x887600B4, "NOALPHAHW"}, {0x887600CD, "NOCLIPLIST"},
    {0x887600D2, "NOCOLORCONVHW"}, {0x887600D4, "NOCOOPERATIVELEVELSET"},
    {0x887600D7, "NOCOLORKEY"}, {0x887600DC, "NOCOLORKEYHW"}, {0x887600DE, "NODIRECTDRAWSUPPORT"},
    {0x887600E1, "NOEXCLUSIVEMODE"}, {0x887600E6, "NOFLIPHW"}, {0x887600F0, "NOGDI"},
    {0x887600FA, "NOMIRRORHW"}, {0x887600FF, "NOTFOUND"}, {0x88760104, "NOOVERLAYHW"},
    {0x8876010E, "OVERLAPPINGRECTS"}, {0x88760118, "NORASTEROPHW"}, {0x88760122, "NOROTATIONHW"},
    {0x88760136, "NOSTRETCHHW"}, {0x8876013C, "NOT4BITCOLOR"}, {0x8876013D, "NOT4BITCOLORINDEX"},
    {0x88760140, "NOT8BITCOLOR"}, {0x8876014A, "NOTEXTUREHW"}, {0x8876014F, "NOVSYNCHW"},
    {0x88760154, "NOZBUFFERHW"}, {0x8876015E, "NOZOVERLAYHW"}, {0x88760168, "OUTOFCAPS"},
    {0x8876017C, "OUTOFVIDEOMEMORY"}, {0x8876017E, "OVERLAYCANTCLIP"},
    {0x88760180, "OVERLAYCOLORKEYONLYONEACTIVE"}, {0x88760183, "PALETTEBUSY"},
    {0x88760190, "COLORKEYNOTSET"}, {0x8876019A, "SURFACEALREADYATTACHED"},
    {0x887601A4, "SURFACEALREADYDEPENDENT"}, {0x887601B3, "CANTLOCKSURFACE"},
    {0x887601B8, "SURFACEISOBSCURED"}, {0x887601C2, "SURFACELOST"},
    {0x887601CC, "SURFACENOTATTACHED"}, {0x887601D6, "TOOBIGHEIGHT"}, {0x887601E0, "TOOBIGSIZE"},
    {0x887601EA, "TOOBIGWIDTH"}, {0x887601FE, "UNSUPPORTEDFORMAT"}, {0x88760208, "UNSUPPORTEDMASK"},
    {0x88760209, "INVALIDSTREAM"}, {0x88760219, "VERTICALBLANKINPROGRESS"},
    {0x8876021C, "WASSTILLDRAWING"}, {0x88760230, "XALIGN"}, {0x88760231, "INVALIDDIRECTDRAWGUID"},
    {0x88760232, "DIRECTDRAWALREADYCREATED"}, {0x88760233, "NODIRECTDRAWHW"},
    {0x88760234, "PRIMARYSURFACEALREADYEXISTS"}, {0x88760235, "NOEMULATION"},
    {0x88760236, "REGIONTOOSMALL"}, {0x88760237, "CLIPPERISUSINGHWND"},
    {0x88760238, "NOCLIPPERATTACHED"}, {0x88760239, "NOHWND"}, {0x8876023A, "HWNDSUBCLASSED"},
    {0x8876023B, "HWNDALREADYSET"}, {0x8876023C, "NOPALETTEATTACHED"}, {0x8876023D, "NOPALETTEHW"},
    {0x8876023E, "BLTFASTCANTCLIP"}, {0x8876023F, "NOBLTHW"}, {0x88760240, "NODDROPSHW"},
    {0x88760241, "OVERLAYNOTVISIBLE"}, {0x88760242, "NOOVERLAYDEST"},
    {0x88760243, "INVALIDPOSITION"}, {0x88760244, "NOTAOVERLAYSURFACE"},
    {0x88760245, "EXCLUSIVEMODEALREADYSET"}, {0x88760246, "NOTFLIPPABLE"},
    {0x88760247, "CANTDUPLICATE"}, {0x88760248, "NOTLOCKED"}, {0x88760249, "CANTCREATEDC"},
    {0x8876024A, "NODC"}, {0x8876024B, "WRONGMODE"}, {0x8876024C, "IMPLICITLYCREATED"},
    {0x8876024D, "NOTPALETTIZED"}, {0x8876024E, "UNSUPPORTEDMODE"}, {0x8876024F, "NOMIPMAPHW"},
    {0x88760250, "INVALIDSURFACETYPE"}, {0x88760258, "NOOPTIMIZEHW"}, {0x88760259, "NOTLOADED"},
    {0x8876025A, "NOFOCUSWINDOW"}, {0x8876026C, "DCALREADYCREATED"},
    {0x88760276, "NONONLOCALVIDMEM"}, {0x88760280, "CANTPAGELOCK"}, {0x88760294, "CANTPAGEUNLOCK"},
    {0x887602A8, "NOTPAGELOCKED"}, {0x887602B2, "MOREDATA"}, {0x887602B3, "EXPIRED"},
    {0x887602B7, "VIDEONOTACTIVE"}, {0x887602BB, "DEVICEDOESNTOWNSURFACE"},
};

TEST(DirectDrawResults, EveryCodeShowsItsPublishedNameAndNoOtherCodeHasOne) {
  for (const auto& [code, name] : kPublishedResults) {
    const char* text = DirectDrawResultText(static_cast<int32_t>(code));
    // The one name that has always ended in a blank keeps it.
    const std::string expected =
        std::string(" - DDERR_") + name + (std::string(name) == "NOFLIPHW" ? " " : "");
    EXPECT_EQ(text != nullptr ? text : "no name", expected) << std::hex << "code 0x" << code;
  }
  size_t published = 0, named = 0;
  for (const auto& result : kPublishedResults) published += result.first >> 16 == 0x8876;
  for (uint32_t code = 0; code < 0x10000; ++code) {
    named += DirectDrawResultText(MakeDirectDrawResult(code)) != nullptr;
  }
  EXPECT_EQ(named, published) << "DirectDraw's own codes: a name for a code it does not have";
  EXPECT_EQ(std::size(kPublishedResults), kNamedResultCount);
  EXPECT_EQ(static_cast<uint32_t>(dderr::SurfaceBusy), 0x887601AEu);
  EXPECT_EQ(DirectDrawResultText(dderr::SurfaceBusy), nullptr) << "the busy code is never shown";
  EXPECT_EQ(DirectDrawResultText(dd::Ok), nullptr);
}

TEST_F(VideoTest, WithoutAnExitTheErrorBoxIsShownAndTheCallReturns) {
  ShowError(windows(), "No usable resolution", 0);
  ShowDirectDrawError(windows(), "Lock", dderr::SurfaceLost, 0);
  ShowDirectDrawError(windows(), "Blit", static_cast<int32_t>(0x88760099u), 0);
  ShowDirectDrawError(windows(), "Busy", dderr::SurfaceBusy, 0);
  std::vector<std::string> texts;
  for (const auto& box : windows().messageBoxes) {
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.type, 0u);
    texts.push_back(box.text);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"No usable resolution", "Lock - DDERR_SURFACELOST",
                                             "Blit - Result: 88760099\n"}));
  EXPECT_TRUE(windows().exits.empty());
  EXPECT_EQ(ExitText([&] { ShowError(windows(), "Error registering window class", 1); }),
            "Error registering window class");
  EXPECT_EQ(windows().exits, std::vector<int32_t>{0});
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
