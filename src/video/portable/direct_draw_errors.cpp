#include "video/portable/direct_draw_errors.h"

#include <cstdio>
#include <cstring>

#include "base/cut_text.h"
#include "platform/direct_draw_results.h"

namespace corvex {

namespace {

struct NamedResult {
  DirectDrawResult result;
  const char* text;
};

// The names shown after the caller's text. " - dderr::NoFlipHw " has always ended in a blank
// and keeps it.
constexpr NamedResult kNamedResults[] = {
    {dderr::AlreadyInitialized, " - DDERR_ALREADYINITIALIZED"},
    {dderr::BltFastCantClip, " - DDERR_BLTFASTCANTCLIP"},
    {dderr::CannotAttachSurface, " - DDERR_CANNOTATTACHSURFACE"},
    {dderr::CannotDetachSurface, " - DDERR_CANNOTDETACHSURFACE"},
    {dderr::CantCreateDC, " - DDERR_CANTCREATEDC"},
    {dderr::CantDuplicate, " - DDERR_CANTDUPLICATE"},
    {dderr::CantLockSurface, " - DDERR_CANTLOCKSURFACE"},
    {dderr::CantPageLock, " - DDERR_CANTPAGELOCK"},
    {dderr::CantPageUnlock, " - DDERR_CANTPAGEUNLOCK"},
    {dderr::ClipperIsUsingHwnd, " - DDERR_CLIPPERISUSINGHWND"},
    {dderr::ColorKeyNotSet, " - DDERR_COLORKEYNOTSET"},
    {dderr::CurrentlyNotAvail, " - DDERR_CURRENTLYNOTAVAIL"},
    {dderr::DCAlreadyCreated, " - DDERR_DCALREADYCREATED"},
    {dderr::DeviceDoesntOwnSurface, " - DDERR_DEVICEDOESNTOWNSURFACE"},
    {dderr::DirectDrawAlreadyCreated, " - DDERR_DIRECTDRAWALREADYCREATED"},
    {dderr::Exception, " - DDERR_EXCEPTION"},
    {dderr::ExclusiveModeAlreadySet, " - DDERR_EXCLUSIVEMODEALREADYSET"},
    {dderr::Expired, " - DDERR_EXPIRED"},
    {dderr::Generic, " - DDERR_GENERIC"},
    {dderr::HeightAlign, " - DDERR_HEIGHTALIGN"},
    {dderr::HwndAlreadySet, " - DDERR_HWNDALREADYSET"},
    {dderr::HwndSubclassed, " - DDERR_HWNDSUBCLASSED"},
    {dderr::ImplicitlyCreated, " - DDERR_IMPLICITLYCREATED"},
    {dderr::IncompatiblePrimary, " - DDERR_INCOMPATIBLEPRIMARY"},
    {dderr::InvalidCaps, " - DDERR_INVALIDCAPS"},
    {dderr::InvalidClipList, " - DDERR_INVALIDCLIPLIST"},
    {dderr::InvalidDirectDrawGuid, " - DDERR_INVALIDDIRECTDRAWGUID"},
    {dderr::InvalidMode, " - DDERR_INVALIDMODE"},
    {dderr::InvalidObject, " - DDERR_INVALIDOBJECT"},
    {dderr::InvalidParams, " - DDERR_INVALIDPARAMS"},
    {dderr::InvalidPixelFormat, " - DDERR_INVALIDPIXELFORMAT"},
    {dderr::InvalidPosition, " - DDERR_INVALIDPOSITION"},
    {dderr::InvalidRect, " - DDERR_INVALIDRECT"},
    {dderr::InvalidStream, " - DDERR_INVALIDSTREAM"},
    {dderr::InvalidSurfaceType, " - DDERR_INVALIDSURFACETYPE"},
    {dderr::LockedSurfaces, " - DDERR_LOCKEDSURFACES"},
    {dderr::MoreData, " - DDERR_MOREDATA"},
    {dderr::No3D, " - DDERR_NO3D"},
    {dderr::NoAlphaHw, " - DDERR_NOALPHAHW"},
    {dderr::NoBltHw, " - DDERR_NOBLTHW"},
    {dderr::NoClipList, " - DDERR_NOCLIPLIST"},
    {dderr::NoClipperAttached, " - DDERR_NOCLIPPERATTACHED"},
    {dderr::NoColorConvHw, " - DDERR_NOCOLORCONVHW"},
    {dderr::NoColorKey, " - DDERR_NOCOLORKEY"},
    {dderr::NoColorKeyHw, " - DDERR_NOCOLORKEYHW"},
    {dderr::NoCooperativeLevelSet, " - DDERR_NOCOOPERATIVELEVELSET"},
    {dderr::NoDC, " - DDERR_NODC"},
    {dderr::NoDDRopsHw, " - DDERR_NODDROPSHW"},
    {dderr::NoDirectDrawHw, " - DDERR_NODIRECTDRAWHW"},
    {dderr::NoDirectDrawSupport, " - DDERR_NODIRECTDRAWSUPPORT"},
    {dderr::NoEmulation, " - DDERR_NOEMULATION"},
    {dderr::NoExclusiveMode, " - DDERR_NOEXCLUSIVEMODE"},
    {dderr::NoFlipHw, " - DDERR_NOFLIPHW "},
    {dderr::NoFocusWindow, " - DDERR_NOFOCUSWINDOW"},
    {dderr::NoGdi, " - DDERR_NOGDI"},
    {dderr::NoHwnd, " - DDERR_NOHWND"},
    {dderr::NoMipmapHw, " - DDERR_NOMIPMAPHW"},
    {dderr::NoMirrorHw, " - DDERR_NOMIRRORHW"},
    {dderr::NoNonLocalVidMem, " - DDERR_NONONLOCALVIDMEM"},
    {dderr::NoOptimizeHw, " - DDERR_NOOPTIMIZEHW"},
    {dderr::NoOverlayDest, " - DDERR_NOOVERLAYDEST"},
    {dderr::NoOverlayHw, " - DDERR_NOOVERLAYHW"},
    {dderr::NoPaletteAttached, " - DDERR_NOPALETTEATTACHED"},
    {dderr::NoPaletteHw, " - DDERR_NOPALETTEHW"},
    {dderr::NoRasterOpHw, " - DDERR_NORASTEROPHW"},
    {dderr::NoRotationHw, " - DDERR_NOROTATIONHW"},
    {dderr::NoStretchHw, " - DDERR_NOSTRETCHHW"},
    {dderr::Not4BitColor, " - DDERR_NOT4BITCOLOR"},
    {dderr::Not4BitColorIndex, " - DDERR_NOT4BITCOLORINDEX"},
    {dderr::Not8BitColor, " - DDERR_NOT8BITCOLOR"},
    {dderr::NotAOverlaySurface, " - DDERR_NOTAOVERLAYSURFACE"},
    {dderr::NoTextureHw, " - DDERR_NOTEXTUREHW"},
    {dderr::NotFlippable, " - DDERR_NOTFLIPPABLE"},
    {dderr::NotFound, " - DDERR_NOTFOUND"},
    {dderr::NotInitialized, " - DDERR_NOTINITIALIZED"},
    {dderr::NotLoaded, " - DDERR_NOTLOADED"},
    {dderr::NotLocked, " - DDERR_NOTLOCKED"},
    {dderr::NotPageLocked, " - DDERR_NOTPAGELOCKED"},
    {dderr::NotPalettized, " - DDERR_NOTPALETTIZED"},
    {dderr::NoVSyncHw, " - DDERR_NOVSYNCHW"},
    {dderr::NoZBufferHw, " - DDERR_NOZBUFFERHW"},
    {dderr::NoZOverlayHw, " - DDERR_NOZOVERLAYHW"},
    {dderr::OutOfCaps, " - DDERR_OUTOFCAPS"},
    {dderr::OutOfMemory, " - DDERR_OUTOFMEMORY"},
    {dderr::OutOfVideoMemory, " - DDERR_OUTOFVIDEOMEMORY"},
    {dderr::OverlappingRects, " - DDERR_OVERLAPPINGRECTS"},
    {dderr::OverlayCantClip, " - DDERR_OVERLAYCANTCLIP"},
    {dderr::OverlayColorKeyOnlyOneActive, " - DDERR_OVERLAYCOLORKEYONLYONEACTIVE"},
    {dderr::OverlayNotVisible, " - DDERR_OVERLAYNOTVISIBLE"},
    {dderr::PaletteBusy, " - DDERR_PALETTEBUSY"},
    {dderr::PrimarySurfaceAlreadyExists, " - DDERR_PRIMARYSURFACEALREADYEXISTS"},
    {dderr::RegionTooSmall, " - DDERR_REGIONTOOSMALL"},
    {dderr::SurfaceAlreadyAttached, " - DDERR_SURFACEALREADYATTACHED"},
    {dderr::SurfaceAlreadyDependent, " - DDERR_SURFACEALREADYDEPENDENT"},
    {dderr::SurfaceIsObscured, " - DDERR_SURFACEISOBSCURED"},
    {dderr::SurfaceLost, " - DDERR_SURFACELOST"},
    {dderr::SurfaceNotAttached, " - DDERR_SURFACENOTATTACHED"},
    {dderr::TooBigHeight, " - DDERR_TOOBIGHEIGHT"},
    {dderr::TooBigSize, " - DDERR_TOOBIGSIZE"},
    {dderr::TooBigWidth, " - DDERR_TOOBIGWIDTH"},
    {dderr::Unsupported, " - DDERR_UNSUPPORTED"},
    {dderr::UnsupportedFormat, " - DDERR_UNSUPPORTEDFORMAT"},
    {dderr::UnsupportedMask, " - DDERR_UNSUPPORTEDMASK"},
    {dderr::UnsupportedMode, " - DDERR_UNSUPPORTEDMODE"},
    {dderr::VerticalBlankInProgress, " - DDERR_VERTICALBLANKINPROGRESS"},
    {dderr::VideoNotActive, " - DDERR_VIDEONOTACTIVE"},
    {dderr::WasStillDrawing, " - DDERR_WASSTILLDRAWING"},
    {dderr::WrongMode, " - DDERR_WRONGMODE"},
    {dderr::XAlign, " - DDERR_XALIGN"},
};
static_assert(sizeof kNamedResults / sizeof kNamedResults[0] == kNamedResultCount);

}  // namespace

const char* DirectDrawResultText(DirectDrawResult result) {
  for (const NamedResult& named : kNamedResults) {
    if (named.result == result) return named.text;
  }
  return nullptr;
}

bool FormatDirectDrawError(const char* text, DirectDrawResult result,
                           char (&message)[kErrorTextSize]) {
  if (result == dderr::SurfaceBusy) return false;
  char fallback[32];
  const char* name = DirectDrawResultText(result);
  if (name == nullptr) {
    std::snprintf(fallback, sizeof fallback, " - Result: %08lx\n",
                  static_cast<unsigned long>(static_cast<uint32_t>(result)));
    name = fallback;
  }
  // The caller's text is first cut to 255 characters, then the name is joined to it and the
  // whole cut again to 255.
  CopyTextCut(text, message, kErrorTextSize);
  const size_t used = std::strlen(message);
  CopyTextCut(name, message + used, kErrorTextSize - used);
  return true;
}

}  // namespace corvex
