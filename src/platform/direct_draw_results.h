#pragma once
#include <cstdint>

// DirectDraw's result codes with the values its published headers give them, so every
// backend reports a failure by the same number and the error box names it the same way. The
// platform interface owns them; the layers above read them. Each family has a namespace named
// after the system's prefix (dderr::SurfaceLost is DDERR_SURFACELOST), so they live beside
// <ddraw.h>, whose names are macros.
namespace corvex {

using DirectDrawResult = int32_t;

inline constexpr DirectDrawResult MakeDirectDrawResult(uint32_t code) {
  return static_cast<DirectDrawResult>(0x88760000u | code);
}

namespace dd {
inline constexpr DirectDrawResult Ok = 0;
}  // namespace dd

namespace ddenumret {
inline constexpr DirectDrawResult Cancel = 0;
inline constexpr DirectDrawResult Ok = 1;
}  // namespace ddenumret

// A COM answer that is no DirectDraw code: the interface asked for does not exist.
namespace com {
inline constexpr DirectDrawResult NoInterface = static_cast<DirectDrawResult>(0x80004002u);
}  // namespace com

// The first five are system-wide codes that DirectDraw reports under its own names.
namespace dderr {
inline constexpr DirectDrawResult Generic = static_cast<DirectDrawResult>(0x80004005u);
inline constexpr DirectDrawResult InvalidParams = static_cast<DirectDrawResult>(0x80070057u);
inline constexpr DirectDrawResult NotInitialized = static_cast<DirectDrawResult>(0x800401F0u);
inline constexpr DirectDrawResult OutOfMemory = static_cast<DirectDrawResult>(0x8007000Eu);
inline constexpr DirectDrawResult Unsupported = static_cast<DirectDrawResult>(0x80004001u);
inline constexpr DirectDrawResult AlreadyInitialized = MakeDirectDrawResult(5);
inline constexpr DirectDrawResult BltFastCantClip = MakeDirectDrawResult(574);
inline constexpr DirectDrawResult CannotAttachSurface = MakeDirectDrawResult(10);
inline constexpr DirectDrawResult CannotDetachSurface = MakeDirectDrawResult(20);
inline constexpr DirectDrawResult CantCreateDC = MakeDirectDrawResult(585);
inline constexpr DirectDrawResult CantDuplicate = MakeDirectDrawResult(583);
inline constexpr DirectDrawResult CantLockSurface = MakeDirectDrawResult(435);
inline constexpr DirectDrawResult CantPageLock = MakeDirectDrawResult(640);
inline constexpr DirectDrawResult CantPageUnlock = MakeDirectDrawResult(660);
inline constexpr DirectDrawResult ClipperIsUsingHwnd = MakeDirectDrawResult(567);
inline constexpr DirectDrawResult ColorKeyNotSet = MakeDirectDrawResult(400);
inline constexpr DirectDrawResult CurrentlyNotAvail = MakeDirectDrawResult(40);
inline constexpr DirectDrawResult DCAlreadyCreated = MakeDirectDrawResult(620);
inline constexpr DirectDrawResult DeviceDoesntOwnSurface = MakeDirectDrawResult(699);
inline constexpr DirectDrawResult DirectDrawAlreadyCreated = MakeDirectDrawResult(562);
inline constexpr DirectDrawResult Exception = MakeDirectDrawResult(55);
inline constexpr DirectDrawResult ExclusiveModeAlreadySet = MakeDirectDrawResult(581);
inline constexpr DirectDrawResult Expired = MakeDirectDrawResult(691);
inline constexpr DirectDrawResult HeightAlign = MakeDirectDrawResult(90);
inline constexpr DirectDrawResult HwndAlreadySet = MakeDirectDrawResult(571);
inline constexpr DirectDrawResult HwndSubclassed = MakeDirectDrawResult(570);
inline constexpr DirectDrawResult ImplicitlyCreated = MakeDirectDrawResult(588);
inline constexpr DirectDrawResult IncompatiblePrimary = MakeDirectDrawResult(95);
inline constexpr DirectDrawResult InvalidCaps = MakeDirectDrawResult(100);
inline constexpr DirectDrawResult InvalidClipList = MakeDirectDrawResult(110);
inline constexpr DirectDrawResult InvalidDirectDrawGuid = MakeDirectDrawResult(561);
inline constexpr DirectDrawResult InvalidMode = MakeDirectDrawResult(120);
inline constexpr DirectDrawResult InvalidObject = MakeDirectDrawResult(130);
inline constexpr DirectDrawResult InvalidPixelFormat = MakeDirectDrawResult(145);
inline constexpr DirectDrawResult InvalidPosition = MakeDirectDrawResult(579);
inline constexpr DirectDrawResult InvalidRect = MakeDirectDrawResult(150);
inline constexpr DirectDrawResult InvalidStream = MakeDirectDrawResult(521);
inline constexpr DirectDrawResult InvalidSurfaceType = MakeDirectDrawResult(592);
inline constexpr DirectDrawResult LockedSurfaces = MakeDirectDrawResult(160);
inline constexpr DirectDrawResult MoreData = MakeDirectDrawResult(690);
inline constexpr DirectDrawResult No3D = MakeDirectDrawResult(170);
inline constexpr DirectDrawResult NoAlphaHw = MakeDirectDrawResult(180);
inline constexpr DirectDrawResult NoBltHw = MakeDirectDrawResult(575);
inline constexpr DirectDrawResult NoClipList = MakeDirectDrawResult(205);
inline constexpr DirectDrawResult NoClipperAttached = MakeDirectDrawResult(568);
inline constexpr DirectDrawResult NoColorConvHw = MakeDirectDrawResult(210);
inline constexpr DirectDrawResult NoColorKey = MakeDirectDrawResult(215);
inline constexpr DirectDrawResult NoColorKeyHw = MakeDirectDrawResult(220);
inline constexpr DirectDrawResult NoCooperativeLevelSet = MakeDirectDrawResult(212);
inline constexpr DirectDrawResult NoDC = MakeDirectDrawResult(586);
inline constexpr DirectDrawResult NoDDRopsHw = MakeDirectDrawResult(576);
inline constexpr DirectDrawResult NoDirectDrawHw = MakeDirectDrawResult(563);
inline constexpr DirectDrawResult NoDirectDrawSupport = MakeDirectDrawResult(222);
inline constexpr DirectDrawResult NoEmulation = MakeDirectDrawResult(565);
inline constexpr DirectDrawResult NoExclusiveMode = MakeDirectDrawResult(225);
inline constexpr DirectDrawResult NoFlipHw = MakeDirectDrawResult(230);
inline constexpr DirectDrawResult NoFocusWindow = MakeDirectDrawResult(602);
inline constexpr DirectDrawResult NoGdi = MakeDirectDrawResult(240);
inline constexpr DirectDrawResult NoHwnd = MakeDirectDrawResult(569);
inline constexpr DirectDrawResult NoMipmapHw = MakeDirectDrawResult(591);
inline constexpr DirectDrawResult NoMirrorHw = MakeDirectDrawResult(250);
inline constexpr DirectDrawResult NoNonLocalVidMem = MakeDirectDrawResult(630);
inline constexpr DirectDrawResult NoOptimizeHw = MakeDirectDrawResult(600);
inline constexpr DirectDrawResult NoOverlayDest = MakeDirectDrawResult(578);
inline constexpr DirectDrawResult NoOverlayHw = MakeDirectDrawResult(260);
inline constexpr DirectDrawResult NoPaletteAttached = MakeDirectDrawResult(572);
inline constexpr DirectDrawResult NoPaletteHw = MakeDirectDrawResult(573);
inline constexpr DirectDrawResult NoRasterOpHw = MakeDirectDrawResult(280);
inline constexpr DirectDrawResult NoRotationHw = MakeDirectDrawResult(290);
inline constexpr DirectDrawResult NoStretchHw = MakeDirectDrawResult(310);
inline constexpr DirectDrawResult Not4BitColor = MakeDirectDrawResult(316);
inline constexpr DirectDrawResult Not4BitColorIndex = MakeDirectDrawResult(317);
inline constexpr DirectDrawResult Not8BitColor = MakeDirectDrawResult(320);
inline constexpr DirectDrawResult NotAOverlaySurface = MakeDirectDrawResult(580);
inline constexpr DirectDrawResult NoTextureHw = MakeDirectDrawResult(330);
inline constexpr DirectDrawResult NotFlippable = MakeDirectDrawResult(582);
inline constexpr DirectDrawResult NotFound = MakeDirectDrawResult(255);
inline constexpr DirectDrawResult NotLoaded = MakeDirectDrawResult(601);
inline constexpr DirectDrawResult NotLocked = MakeDirectDrawResult(584);
inline constexpr DirectDrawResult NotPageLocked = MakeDirectDrawResult(680);
inline constexpr DirectDrawResult NotPalettized = MakeDirectDrawResult(589);
inline constexpr DirectDrawResult NoVSyncHw = MakeDirectDrawResult(335);
inline constexpr DirectDrawResult NoZBufferHw = MakeDirectDrawResult(340);
inline constexpr DirectDrawResult NoZOverlayHw = MakeDirectDrawResult(350);
inline constexpr DirectDrawResult OutOfCaps = MakeDirectDrawResult(360);
inline constexpr DirectDrawResult OutOfVideoMemory = MakeDirectDrawResult(380);
inline constexpr DirectDrawResult OverlappingRects = MakeDirectDrawResult(270);
inline constexpr DirectDrawResult OverlayCantClip = MakeDirectDrawResult(382);
inline constexpr DirectDrawResult OverlayColorKeyOnlyOneActive = MakeDirectDrawResult(384);
inline constexpr DirectDrawResult OverlayNotVisible = MakeDirectDrawResult(577);
inline constexpr DirectDrawResult PaletteBusy = MakeDirectDrawResult(387);
inline constexpr DirectDrawResult PrimarySurfaceAlreadyExists = MakeDirectDrawResult(564);
inline constexpr DirectDrawResult RegionTooSmall = MakeDirectDrawResult(566);
inline constexpr DirectDrawResult SurfaceAlreadyAttached = MakeDirectDrawResult(410);
inline constexpr DirectDrawResult SurfaceAlreadyDependent = MakeDirectDrawResult(420);
inline constexpr DirectDrawResult SurfaceIsObscured = MakeDirectDrawResult(440);
inline constexpr DirectDrawResult SurfaceLost = MakeDirectDrawResult(450);
inline constexpr DirectDrawResult SurfaceNotAttached = MakeDirectDrawResult(460);
inline constexpr DirectDrawResult TooBigHeight = MakeDirectDrawResult(470);
inline constexpr DirectDrawResult TooBigSize = MakeDirectDrawResult(480);
inline constexpr DirectDrawResult TooBigWidth = MakeDirectDrawResult(490);
inline constexpr DirectDrawResult UnsupportedFormat = MakeDirectDrawResult(510);
inline constexpr DirectDrawResult UnsupportedMask = MakeDirectDrawResult(520);
inline constexpr DirectDrawResult UnsupportedMode = MakeDirectDrawResult(590);
inline constexpr DirectDrawResult VerticalBlankInProgress = MakeDirectDrawResult(537);
inline constexpr DirectDrawResult VideoNotActive = MakeDirectDrawResult(695);
inline constexpr DirectDrawResult WasStillDrawing = MakeDirectDrawResult(540);
inline constexpr DirectDrawResult WrongMode = MakeDirectDrawResult(587);
inline constexpr DirectDrawResult XAlign = MakeDirectDrawResult(560);
inline constexpr DirectDrawResult SurfaceBusy = MakeDirectDrawResult(430);
}  // namespace dderr

}  // namespace corvex
