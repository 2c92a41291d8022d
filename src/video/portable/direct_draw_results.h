#pragma once
#include <cstdint>

// DirectDraw's result codes with the values its published headers give them, so every
// backend reports a failure by the same number and the error box names it the same way.
// (A Windows build keeps these apart from the system headers, which define the same names as
// macros.)
namespace corvex {

using DirectDrawResult = int32_t;

inline constexpr DirectDrawResult MakeDirectDrawResult(uint32_t code) {
  return static_cast<DirectDrawResult>(0x88760000u | code);
}

inline constexpr DirectDrawResult DD_OK = 0;
inline constexpr DirectDrawResult DDENUMRET_CANCEL = 0;
inline constexpr DirectDrawResult DDENUMRET_OK = 1;
// A COM answer that is no DirectDraw code: the interface asked for does not exist.
inline constexpr DirectDrawResult E_NOINTERFACE = static_cast<DirectDrawResult>(0x80004002u);
// System-wide codes that DirectDraw reports under its own names.
inline constexpr DirectDrawResult DDERR_GENERIC = static_cast<DirectDrawResult>(0x80004005u);
inline constexpr DirectDrawResult DDERR_INVALIDPARAMS = static_cast<DirectDrawResult>(0x80070057u);
inline constexpr DirectDrawResult DDERR_NOTINITIALIZED = static_cast<DirectDrawResult>(0x800401F0u);
inline constexpr DirectDrawResult DDERR_OUTOFMEMORY = static_cast<DirectDrawResult>(0x8007000Eu);
inline constexpr DirectDrawResult DDERR_UNSUPPORTED = static_cast<DirectDrawResult>(0x80004001u);

inline constexpr DirectDrawResult DDERR_ALREADYINITIALIZED = MakeDirectDrawResult(5);
inline constexpr DirectDrawResult DDERR_BLTFASTCANTCLIP = MakeDirectDrawResult(574);
inline constexpr DirectDrawResult DDERR_CANNOTATTACHSURFACE = MakeDirectDrawResult(10);
inline constexpr DirectDrawResult DDERR_CANNOTDETACHSURFACE = MakeDirectDrawResult(20);
inline constexpr DirectDrawResult DDERR_CANTCREATEDC = MakeDirectDrawResult(585);
inline constexpr DirectDrawResult DDERR_CANTDUPLICATE = MakeDirectDrawResult(583);
inline constexpr DirectDrawResult DDERR_CANTLOCKSURFACE = MakeDirectDrawResult(435);
inline constexpr DirectDrawResult DDERR_CANTPAGELOCK = MakeDirectDrawResult(640);
inline constexpr DirectDrawResult DDERR_CANTPAGEUNLOCK = MakeDirectDrawResult(660);
inline constexpr DirectDrawResult DDERR_CLIPPERISUSINGHWND = MakeDirectDrawResult(567);
inline constexpr DirectDrawResult DDERR_COLORKEYNOTSET = MakeDirectDrawResult(400);
inline constexpr DirectDrawResult DDERR_CURRENTLYNOTAVAIL = MakeDirectDrawResult(40);
inline constexpr DirectDrawResult DDERR_DCALREADYCREATED = MakeDirectDrawResult(620);
inline constexpr DirectDrawResult DDERR_DEVICEDOESNTOWNSURFACE = MakeDirectDrawResult(699);
inline constexpr DirectDrawResult DDERR_DIRECTDRAWALREADYCREATED = MakeDirectDrawResult(562);
inline constexpr DirectDrawResult DDERR_EXCEPTION = MakeDirectDrawResult(55);
inline constexpr DirectDrawResult DDERR_EXCLUSIVEMODEALREADYSET = MakeDirectDrawResult(581);
inline constexpr DirectDrawResult DDERR_EXPIRED = MakeDirectDrawResult(691);
inline constexpr DirectDrawResult DDERR_HEIGHTALIGN = MakeDirectDrawResult(90);
inline constexpr DirectDrawResult DDERR_HWNDALREADYSET = MakeDirectDrawResult(571);
inline constexpr DirectDrawResult DDERR_HWNDSUBCLASSED = MakeDirectDrawResult(570);
inline constexpr DirectDrawResult DDERR_IMPLICITLYCREATED = MakeDirectDrawResult(588);
inline constexpr DirectDrawResult DDERR_INCOMPATIBLEPRIMARY = MakeDirectDrawResult(95);
inline constexpr DirectDrawResult DDERR_INVALIDCAPS = MakeDirectDrawResult(100);
inline constexpr DirectDrawResult DDERR_INVALIDCLIPLIST = MakeDirectDrawResult(110);
inline constexpr DirectDrawResult DDERR_INVALIDDIRECTDRAWGUID = MakeDirectDrawResult(561);
inline constexpr DirectDrawResult DDERR_INVALIDMODE = MakeDirectDrawResult(120);
inline constexpr DirectDrawResult DDERR_INVALIDOBJECT = MakeDirectDrawResult(130);
inline constexpr DirectDrawResult DDERR_INVALIDPIXELFORMAT = MakeDirectDrawResult(145);
inline constexpr DirectDrawResult DDERR_INVALIDPOSITION = MakeDirectDrawResult(579);
inline constexpr DirectDrawResult DDERR_INVALIDRECT = MakeDirectDrawResult(150);
inline constexpr DirectDrawResult DDERR_INVALIDSTREAM = MakeDirectDrawResult(521);
inline constexpr DirectDrawResult DDERR_INVALIDSURFACETYPE = MakeDirectDrawResult(592);
inline constexpr DirectDrawResult DDERR_LOCKEDSURFACES = MakeDirectDrawResult(160);
inline constexpr DirectDrawResult DDERR_MOREDATA = MakeDirectDrawResult(690);
inline constexpr DirectDrawResult DDERR_NO3D = MakeDirectDrawResult(170);
inline constexpr DirectDrawResult DDERR_NOALPHAHW = MakeDirectDrawResult(180);
inline constexpr DirectDrawResult DDERR_NOBLTHW = MakeDirectDrawResult(575);
inline constexpr DirectDrawResult DDERR_NOCLIPLIST = MakeDirectDrawResult(205);
inline constexpr DirectDrawResult DDERR_NOCLIPPERATTACHED = MakeDirectDrawResult(568);
inline constexpr DirectDrawResult DDERR_NOCOLORCONVHW = MakeDirectDrawResult(210);
inline constexpr DirectDrawResult DDERR_NOCOLORKEY = MakeDirectDrawResult(215);
inline constexpr DirectDrawResult DDERR_NOCOLORKEYHW = MakeDirectDrawResult(220);
inline constexpr DirectDrawResult DDERR_NOCOOPERATIVELEVELSET = MakeDirectDrawResult(212);
inline constexpr DirectDrawResult DDERR_NODC = MakeDirectDrawResult(586);
inline constexpr DirectDrawResult DDERR_NODDROPSHW = MakeDirectDrawResult(576);
inline constexpr DirectDrawResult DDERR_NODIRECTDRAWHW = MakeDirectDrawResult(563);
inline constexpr DirectDrawResult DDERR_NODIRECTDRAWSUPPORT = MakeDirectDrawResult(222);
inline constexpr DirectDrawResult DDERR_NOEMULATION = MakeDirectDrawResult(565);
inline constexpr DirectDrawResult DDERR_NOEXCLUSIVEMODE = MakeDirectDrawResult(225);
inline constexpr DirectDrawResult DDERR_NOFLIPHW = MakeDirectDrawResult(230);
inline constexpr DirectDrawResult DDERR_NOFOCUSWINDOW = MakeDirectDrawResult(602);
inline constexpr DirectDrawResult DDERR_NOGDI = MakeDirectDrawResult(240);
inline constexpr DirectDrawResult DDERR_NOHWND = MakeDirectDrawResult(569);
inline constexpr DirectDrawResult DDERR_NOMIPMAPHW = MakeDirectDrawResult(591);
inline constexpr DirectDrawResult DDERR_NOMIRRORHW = MakeDirectDrawResult(250);
inline constexpr DirectDrawResult DDERR_NONONLOCALVIDMEM = MakeDirectDrawResult(630);
inline constexpr DirectDrawResult DDERR_NOOPTIMIZEHW = MakeDirectDrawResult(600);
inline constexpr DirectDrawResult DDERR_NOOVERLAYDEST = MakeDirectDrawResult(578);
inline constexpr DirectDrawResult DDERR_NOOVERLAYHW = MakeDirectDrawResult(260);
inline constexpr DirectDrawResult DDERR_NOPALETTEATTACHED = MakeDirectDrawResult(572);
inline constexpr DirectDrawResult DDERR_NOPALETTEHW = MakeDirectDrawResult(573);
inline constexpr DirectDrawResult DDERR_NORASTEROPHW = MakeDirectDrawResult(280);
inline constexpr DirectDrawResult DDERR_NOROTATIONHW = MakeDirectDrawResult(290);
inline constexpr DirectDrawResult DDERR_NOSTRETCHHW = MakeDirectDrawResult(310);
inline constexpr DirectDrawResult DDERR_NOT4BITCOLOR = MakeDirectDrawResult(316);
inline constexpr DirectDrawResult DDERR_NOT4BITCOLORINDEX = MakeDirectDrawResult(317);
inline constexpr DirectDrawResult DDERR_NOT8BITCOLOR = MakeDirectDrawResult(320);
inline constexpr DirectDrawResult DDERR_NOTAOVERLAYSURFACE = MakeDirectDrawResult(580);
inline constexpr DirectDrawResult DDERR_NOTEXTUREHW = MakeDirectDrawResult(330);
inline constexpr DirectDrawResult DDERR_NOTFLIPPABLE = MakeDirectDrawResult(582);
inline constexpr DirectDrawResult DDERR_NOTFOUND = MakeDirectDrawResult(255);
inline constexpr DirectDrawResult DDERR_NOTLOADED = MakeDirectDrawResult(601);
inline constexpr DirectDrawResult DDERR_NOTLOCKED = MakeDirectDrawResult(584);
inline constexpr DirectDrawResult DDERR_NOTPAGELOCKED = MakeDirectDrawResult(680);
inline constexpr DirectDrawResult DDERR_NOTPALETTIZED = MakeDirectDrawResult(589);
inline constexpr DirectDrawResult DDERR_NOVSYNCHW = MakeDirectDrawResult(335);
inline constexpr DirectDrawResult DDERR_NOZBUFFERHW = MakeDirectDrawResult(340);
inline constexpr DirectDrawResult DDERR_NOZOVERLAYHW = MakeDirectDrawResult(350);
inline constexpr DirectDrawResult DDERR_OUTOFCAPS = MakeDirectDrawResult(360);
inline constexpr DirectDrawResult DDERR_OUTOFVIDEOMEMORY = MakeDirectDrawResult(380);
inline constexpr DirectDrawResult DDERR_OVERLAPPINGRECTS = MakeDirectDrawResult(270);
inline constexpr DirectDrawResult DDERR_OVERLAYCANTCLIP = MakeDirectDrawResult(382);
inline constexpr DirectDrawResult DDERR_OVERLAYCOLORKEYONLYONEACTIVE = MakeDirectDrawResult(384);
inline constexpr DirectDrawResult DDERR_OVERLAYNOTVISIBLE = MakeDirectDrawResult(577);
inline constexpr DirectDrawResult DDERR_PALETTEBUSY = MakeDirectDrawResult(387);
inline constexpr DirectDrawResult DDERR_PRIMARYSURFACEALREADYEXISTS = MakeDirectDrawResult(564);
inline constexpr DirectDrawResult DDERR_REGIONTOOSMALL = MakeDirectDrawResult(566);
inline constexpr DirectDrawResult DDERR_SURFACEALREADYATTACHED = MakeDirectDrawResult(410);
inline constexpr DirectDrawResult DDERR_SURFACEALREADYDEPENDENT = MakeDirectDrawResult(420);
inline constexpr DirectDrawResult DDERR_SURFACEISOBSCURED = MakeDirectDrawResult(440);
inline constexpr DirectDrawResult DDERR_SURFACELOST = MakeDirectDrawResult(450);
inline constexpr DirectDrawResult DDERR_SURFACENOTATTACHED = MakeDirectDrawResult(460);
inline constexpr DirectDrawResult DDERR_TOOBIGHEIGHT = MakeDirectDrawResult(470);
inline constexpr DirectDrawResult DDERR_TOOBIGSIZE = MakeDirectDrawResult(480);
inline constexpr DirectDrawResult DDERR_TOOBIGWIDTH = MakeDirectDrawResult(490);
inline constexpr DirectDrawResult DDERR_UNSUPPORTEDFORMAT = MakeDirectDrawResult(510);
inline constexpr DirectDrawResult DDERR_UNSUPPORTEDMASK = MakeDirectDrawResult(520);
inline constexpr DirectDrawResult DDERR_UNSUPPORTEDMODE = MakeDirectDrawResult(590);
inline constexpr DirectDrawResult DDERR_VERTICALBLANKINPROGRESS = MakeDirectDrawResult(537);
inline constexpr DirectDrawResult DDERR_VIDEONOTACTIVE = MakeDirectDrawResult(695);
inline constexpr DirectDrawResult DDERR_WASSTILLDRAWING = MakeDirectDrawResult(540);
inline constexpr DirectDrawResult DDERR_WRONGMODE = MakeDirectDrawResult(587);
inline constexpr DirectDrawResult DDERR_XALIGN = MakeDirectDrawResult(560);
inline constexpr DirectDrawResult DDERR_SURFACEBUSY = MakeDirectDrawResult(430);

}  // namespace corvex
