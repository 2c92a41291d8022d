// Compiled by a Windows cross compiler only: the platform interface and the system's own
// headers in one file, as the Win32 backend will have them. It builds only when none of our
// names is taken by one of the system's macros, and every constant carries the system's value.
#include <windows.h>
// The system headers that need <windows.h> first.
#include <commctrl.h>
#include <ddraw.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <cstddef>
#include <cstdint>

#include "platform/backend.h"
#include "platform/dialog_system.h"
#include "platform/direct_draw_results.h"
#include "platform/display.h"
#include "platform/display_flags.h"
#include "platform/file_system.h"
#include "platform/handles.h"
#include "platform/messages.h"
#include "platform/profile_store.h"
#include "platform/text.h"
#include "platform/window_object.h"
#include "platform/window_registry.h"
#include "platform/window_system.h"
#include "plugin/vis_module.h"

namespace {

using namespace corvex;

// Compares as the plug-in sees the number: 32 bits, whatever the macro's own type.
template <typename Ours, typename Theirs>
constexpr bool Same(Ours ours, Theirs theirs) {
  return static_cast<uint32_t>(ours) == static_cast<uint32_t>(theirs);
}

static_assert(Same(platform::wm::Create, WM_CREATE));
static_assert(Same(platform::wm::Destroy, WM_DESTROY));
static_assert(Same(platform::wm::Close, WM_CLOSE));
static_assert(Same(platform::wm::Quit, WM_QUIT));
static_assert(Same(platform::wm::EraseBkgnd, WM_ERASEBKGND));
static_assert(Same(platform::wm::WindowPosChanged, WM_WINDOWPOSCHANGED));
static_assert(Same(platform::wm::KeyDown, WM_KEYDOWN));
static_assert(Same(platform::wm::KeyUp, WM_KEYUP));
// The plug-in's system-key message is 261 (see messages.h), which Windows calls WM_SYSKEYUP.
static_assert(Same(platform::wm::SysKeyDown, WM_SYSKEYUP));
static_assert(Same(platform::wm::InitDialog, WM_INITDIALOG));
static_assert(Same(platform::wm::Command, WM_COMMAND));
static_assert(Same(platform::wm::HScroll, WM_HSCROLL));
static_assert(Same(platform::wm::LButtonDown, WM_LBUTTONDOWN));
static_assert(Same(platform::wm::User, WM_USER));
static_assert(Same(platform::wm::TrayIcon, WM_USER + 10));
static_assert(Same(platform::vk::Tab, VK_TAB));
static_assert(Same(platform::vk::Return, VK_RETURN));
static_assert(Same(platform::vk::Escape, VK_ESCAPE));
static_assert(Same(platform::vk::Space, VK_SPACE));
static_assert(Same(platform::vk::F1, VK_F1));
static_assert(Same(platform::vk::F2, VK_F2));
static_assert(Same(platform::vk::F3, VK_F3));
static_assert(Same(platform::vk::F4, VK_F4));
static_assert(Same(platform::vk::F5, VK_F5));
static_assert(Same(platform::vk::F6, VK_F6));
static_assert(Same(platform::vk::F7, VK_F7));
static_assert(Same(platform::vk::F8, VK_F8));
static_assert(Same(platform::vk::F9, VK_F9));
static_assert(Same(platform::vk::F10, VK_F10));
static_assert(Same(platform::vk::F11, VK_F11));
static_assert(Same(platform::vk::F12, VK_F12));
static_assert(Same(platform::ws::Visible, WS_VISIBLE));
static_assert(Same(platform::ws::Popup, WS_POPUP));
static_assert(Same(platform::ws::Caption, WS_CAPTION));
static_assert(Same(platform::ws::Border, WS_BORDER));
static_assert(Same(platform::ws::VScroll, WS_VSCROLL));
static_assert(Same(platform::ws::SysMenu, WS_SYSMENU));
static_assert(Same(platform::ws::Group, WS_GROUP));
static_assert(Same(platform::sw::Hide, SW_HIDE));
static_assert(Same(platform::sw::ShowNormal, SW_SHOWNORMAL));
static_assert(Same(platform::sw::Minimize, SW_MINIMIZE));
static_assert(Same(platform::swp::NoSize, SWP_NOSIZE));
static_assert(Same(platform::swp::NoMove, SWP_NOMOVE));
static_assert(Same(platform::swp::NoZOrder, SWP_NOZORDER));
static_assert(Same(platform::swp::ShowWindow, SWP_SHOWWINDOW));
static_assert(Same(platform::swp::HideWindow, SWP_HIDEWINDOW));
static_assert(Same(platform::mb::Ok, MB_OK));
static_assert(Same(platform::id::Ok, IDOK));
static_assert(Same(platform::id::Cancel, IDCANCEL));
static_assert(Same(platform::nim::Add, NIM_ADD));
static_assert(Same(platform::nim::Delete, NIM_DELETE));
static_assert(Same(platform::nif::Message, NIF_MESSAGE));
static_assert(Same(platform::nif::Icon, NIF_ICON));
static_assert(Same(platform::ds::Look3D, DS_3DLOOK));
static_assert(Same(platform::ds::SetFont, DS_SETFONT));
static_assert(Same(platform::ds::ModalFrame, DS_MODALFRAME));
static_assert(Same(platform::ds::SetForeground, DS_SETFOREGROUND));
static_assert(Same(platform::ds::Center, DS_CENTER));
static_assert(Same(platform::bs::PushButton, BS_PUSHBUTTON));
static_assert(Same(platform::bs::DefPushButton, BS_DEFPUSHBUTTON));
static_assert(Same(platform::bs::AutoCheckBox, BS_AUTOCHECKBOX));
static_assert(Same(platform::bs::GroupBox, BS_GROUPBOX));
static_assert(Same(platform::bs::AutoRadioButton, BS_AUTORADIOBUTTON));
static_assert(Same(platform::bs::LeftText, BS_LEFTTEXT));
static_assert(Same(platform::ss::Left, SS_LEFT));
static_assert(Same(platform::ss::Center, SS_CENTER));
static_assert(Same(platform::ss::Right, SS_RIGHT));
static_assert(Same(platform::ss::Bitmap, SS_BITMAP));
static_assert(Same(platform::ss::RealSizeImage, SS_REALSIZEIMAGE));
static_assert(Same(platform::ss::Sunken, SS_SUNKEN));
static_assert(Same(platform::lbs::Notify, LBS_NOTIFY));
static_assert(Same(platform::lbs::NoIntegralHeight, LBS_NOINTEGRALHEIGHT));
static_assert(Same(platform::tbs::AutoTicks, TBS_AUTOTICKS));
static_assert(Same(platform::es::Multiline, ES_MULTILINE));
static_assert(Same(platform::es::AutoVScroll, ES_AUTOVSCROLL));
static_assert(Same(platform::es::ReadOnly, ES_READONLY));
static_assert(Same(platform::bn::Clicked, BN_CLICKED));
static_assert(Same(platform::lbn::SelChange, LBN_SELCHANGE));
static_assert(Same(platform::tb::ThumbPosition, TB_THUMBPOSITION));
static_assert(Same(platform::bk::Transparent, TRANSPARENT));
static_assert(Same(platform::bk::Opaque, OPAQUE));
static_assert(Same(platform::charset::ShiftJis, SHIFTJIS_CHARSET));
static_assert(Same(platform::pitch::Variable, VARIABLE_PITCH));
static_assert(Same(platform::ddsd::Caps, DDSD_CAPS));
static_assert(Same(platform::ddsd::Height, DDSD_HEIGHT));
static_assert(Same(platform::ddsd::Width, DDSD_WIDTH));
static_assert(Same(platform::ddsd::Pitch, DDSD_PITCH));
static_assert(Same(platform::ddsd::LpSurface, DDSD_LPSURFACE));
static_assert(Same(platform::ddsd::PixelFormat, DDSD_PIXELFORMAT));
static_assert(Same(platform::ddscaps::OffscreenPlain, DDSCAPS_OFFSCREENPLAIN));
static_assert(Same(platform::ddscaps::Overlay, DDSCAPS_OVERLAY));
static_assert(Same(platform::ddscaps::PrimarySurface, DDSCAPS_PRIMARYSURFACE));
static_assert(Same(platform::ddscaps::SystemMemory, DDSCAPS_SYSTEMMEMORY));
static_assert(Same(platform::ddscaps::VideoMemory, DDSCAPS_VIDEOMEMORY));
static_assert(Same(platform::ddscaps::LocalVidMem, DDSCAPS_LOCALVIDMEM));
static_assert(Same(platform::ddpf::FourCC, DDPF_FOURCC));
static_assert(Same(platform::ddpf::PaletteIndexed8, DDPF_PALETTEINDEXED8));
static_assert(Same(platform::ddpf::Rgb, DDPF_RGB));
static_assert(Same(platform::fourcc::Uyvy, MAKEFOURCC('U', 'Y', 'V', 'Y')));
static_assert(Same(platform::fourcc::Yuy2, MAKEFOURCC('Y', 'U', 'Y', '2')));
static_assert(Same(platform::ddscl::FullScreen, DDSCL_FULLSCREEN));
static_assert(Same(platform::ddscl::Normal, DDSCL_NORMAL));
static_assert(Same(platform::ddscl::Exclusive, DDSCL_EXCLUSIVE));
static_assert(Same(platform::ddcaps::Overlay, DDCAPS_OVERLAY));
static_assert(Same(platform::ddlock::Wait, DDLOCK_WAIT));
static_assert(Same(platform::ddlock::WriteOnly, DDLOCK_WRITEONLY));
static_assert(Same(platform::ddckey::DestOverlay, DDCKEY_DESTOVERLAY));
static_assert(Same(platform::ddover::Hide, DDOVER_HIDE));
static_assert(Same(platform::ddover::KeyDest, DDOVER_KEYDEST));
static_assert(Same(platform::ddover::Show, DDOVER_SHOW));
static_assert(Same(dd::Ok, DD_OK));
static_assert(Same(ddenumret::Ok, DDENUMRET_OK));
static_assert(Same(ddenumret::Cancel, DDENUMRET_CANCEL));
static_assert(Same(com::NoInterface, E_NOINTERFACE));
static_assert(Same(dderr::Generic, DDERR_GENERIC));
static_assert(Same(dderr::InvalidParams, DDERR_INVALIDPARAMS));
static_assert(Same(dderr::NotInitialized, DDERR_NOTINITIALIZED));
static_assert(Same(dderr::OutOfMemory, DDERR_OUTOFMEMORY));
static_assert(Same(dderr::Unsupported, DDERR_UNSUPPORTED));
static_assert(Same(dderr::AlreadyInitialized, DDERR_ALREADYINITIALIZED));
static_assert(Same(dderr::BltFastCantClip, DDERR_BLTFASTCANTCLIP));
static_assert(Same(dderr::CannotAttachSurface, DDERR_CANNOTATTACHSURFACE));
static_assert(Same(dderr::CannotDetachSurface, DDERR_CANNOTDETACHSURFACE));
static_assert(Same(dderr::CantCreateDC, DDERR_CANTCREATEDC));
static_assert(Same(dderr::CantDuplicate, DDERR_CANTDUPLICATE));
static_assert(Same(dderr::CantLockSurface, DDERR_CANTLOCKSURFACE));
static_assert(Same(dderr::CantPageLock, DDERR_CANTPAGELOCK));
static_assert(Same(dderr::CantPageUnlock, DDERR_CANTPAGEUNLOCK));
static_assert(Same(dderr::ClipperIsUsingHwnd, DDERR_CLIPPERISUSINGHWND));
static_assert(Same(dderr::ColorKeyNotSet, DDERR_COLORKEYNOTSET));
static_assert(Same(dderr::CurrentlyNotAvail, DDERR_CURRENTLYNOTAVAIL));
static_assert(Same(dderr::DCAlreadyCreated, DDERR_DCALREADYCREATED));
static_assert(Same(dderr::DeviceDoesntOwnSurface, DDERR_DEVICEDOESNTOWNSURFACE));
static_assert(Same(dderr::DirectDrawAlreadyCreated, DDERR_DIRECTDRAWALREADYCREATED));
static_assert(Same(dderr::Exception, DDERR_EXCEPTION));
static_assert(Same(dderr::ExclusiveModeAlreadySet, DDERR_EXCLUSIVEMODEALREADYSET));
static_assert(Same(dderr::Expired, DDERR_EXPIRED));
static_assert(Same(dderr::HeightAlign, DDERR_HEIGHTALIGN));
static_assert(Same(dderr::HwndAlreadySet, DDERR_HWNDALREADYSET));
static_assert(Same(dderr::HwndSubclassed, DDERR_HWNDSUBCLASSED));
static_assert(Same(dderr::ImplicitlyCreated, DDERR_IMPLICITLYCREATED));
static_assert(Same(dderr::IncompatiblePrimary, DDERR_INCOMPATIBLEPRIMARY));
static_assert(Same(dderr::InvalidCaps, DDERR_INVALIDCAPS));
static_assert(Same(dderr::InvalidClipList, DDERR_INVALIDCLIPLIST));
static_assert(Same(dderr::InvalidDirectDrawGuid, DDERR_INVALIDDIRECTDRAWGUID));
static_assert(Same(dderr::InvalidMode, DDERR_INVALIDMODE));
static_assert(Same(dderr::InvalidObject, DDERR_INVALIDOBJECT));
static_assert(Same(dderr::InvalidPixelFormat, DDERR_INVALIDPIXELFORMAT));
static_assert(Same(dderr::InvalidPosition, DDERR_INVALIDPOSITION));
static_assert(Same(dderr::InvalidRect, DDERR_INVALIDRECT));
static_assert(Same(dderr::InvalidStream, DDERR_INVALIDSTREAM));
static_assert(Same(dderr::InvalidSurfaceType, DDERR_INVALIDSURFACETYPE));
static_assert(Same(dderr::LockedSurfaces, DDERR_LOCKEDSURFACES));
static_assert(Same(dderr::MoreData, DDERR_MOREDATA));
static_assert(Same(dderr::No3D, DDERR_NO3D));
static_assert(Same(dderr::NoAlphaHw, DDERR_NOALPHAHW));
static_assert(Same(dderr::NoBltHw, DDERR_NOBLTHW));
static_assert(Same(dderr::NoClipList, DDERR_NOCLIPLIST));
static_assert(Same(dderr::NoClipperAttached, DDERR_NOCLIPPERATTACHED));
static_assert(Same(dderr::NoColorConvHw, DDERR_NOCOLORCONVHW));
static_assert(Same(dderr::NoColorKey, DDERR_NOCOLORKEY));
static_assert(Same(dderr::NoColorKeyHw, DDERR_NOCOLORKEYHW));
static_assert(Same(dderr::NoCooperativeLevelSet, DDERR_NOCOOPERATIVELEVELSET));
static_assert(Same(dderr::NoDC, DDERR_NODC));
static_assert(Same(dderr::NoDDRopsHw, DDERR_NODDROPSHW));
static_assert(Same(dderr::NoDirectDrawHw, DDERR_NODIRECTDRAWHW));
static_assert(Same(dderr::NoDirectDrawSupport, DDERR_NODIRECTDRAWSUPPORT));
static_assert(Same(dderr::NoEmulation, DDERR_NOEMULATION));
static_assert(Same(dderr::NoExclusiveMode, DDERR_NOEXCLUSIVEMODE));
static_assert(Same(dderr::NoFlipHw, DDERR_NOFLIPHW));
static_assert(Same(dderr::NoFocusWindow, DDERR_NOFOCUSWINDOW));
static_assert(Same(dderr::NoGdi, DDERR_NOGDI));
static_assert(Same(dderr::NoHwnd, DDERR_NOHWND));
static_assert(Same(dderr::NoMipmapHw, DDERR_NOMIPMAPHW));
static_assert(Same(dderr::NoMirrorHw, DDERR_NOMIRRORHW));
static_assert(Same(dderr::NoNonLocalVidMem, DDERR_NONONLOCALVIDMEM));
static_assert(Same(dderr::NoOptimizeHw, DDERR_NOOPTIMIZEHW));
static_assert(Same(dderr::NoOverlayDest, DDERR_NOOVERLAYDEST));
static_assert(Same(dderr::NoOverlayHw, DDERR_NOOVERLAYHW));
static_assert(Same(dderr::NoPaletteAttached, DDERR_NOPALETTEATTACHED));
static_assert(Same(dderr::NoPaletteHw, DDERR_NOPALETTEHW));
static_assert(Same(dderr::NoRasterOpHw, DDERR_NORASTEROPHW));
static_assert(Same(dderr::NoRotationHw, DDERR_NOROTATIONHW));
static_assert(Same(dderr::NoStretchHw, DDERR_NOSTRETCHHW));
static_assert(Same(dderr::Not4BitColor, DDERR_NOT4BITCOLOR));
static_assert(Same(dderr::Not4BitColorIndex, DDERR_NOT4BITCOLORINDEX));
static_assert(Same(dderr::Not8BitColor, DDERR_NOT8BITCOLOR));
static_assert(Same(dderr::NotAOverlaySurface, DDERR_NOTAOVERLAYSURFACE));
static_assert(Same(dderr::NoTextureHw, DDERR_NOTEXTUREHW));
static_assert(Same(dderr::NotFlippable, DDERR_NOTFLIPPABLE));
static_assert(Same(dderr::NotFound, DDERR_NOTFOUND));
static_assert(Same(dderr::NotLoaded, DDERR_NOTLOADED));
static_assert(Same(dderr::NotLocked, DDERR_NOTLOCKED));
static_assert(Same(dderr::NotPageLocked, DDERR_NOTPAGELOCKED));
static_assert(Same(dderr::NotPalettized, DDERR_NOTPALETTIZED));
static_assert(Same(dderr::NoVSyncHw, DDERR_NOVSYNCHW));
static_assert(Same(dderr::NoZBufferHw, DDERR_NOZBUFFERHW));
static_assert(Same(dderr::NoZOverlayHw, DDERR_NOZOVERLAYHW));
static_assert(Same(dderr::OutOfCaps, DDERR_OUTOFCAPS));
static_assert(Same(dderr::OutOfVideoMemory, DDERR_OUTOFVIDEOMEMORY));
static_assert(Same(dderr::OverlappingRects, DDERR_OVERLAPPINGRECTS));
static_assert(Same(dderr::OverlayCantClip, DDERR_OVERLAYCANTCLIP));
static_assert(Same(dderr::OverlayColorKeyOnlyOneActive, DDERR_OVERLAYCOLORKEYONLYONEACTIVE));
static_assert(Same(dderr::OverlayNotVisible, DDERR_OVERLAYNOTVISIBLE));
static_assert(Same(dderr::PaletteBusy, DDERR_PALETTEBUSY));
static_assert(Same(dderr::PrimarySurfaceAlreadyExists, DDERR_PRIMARYSURFACEALREADYEXISTS));
static_assert(Same(dderr::RegionTooSmall, DDERR_REGIONTOOSMALL));
static_assert(Same(dderr::SurfaceAlreadyAttached, DDERR_SURFACEALREADYATTACHED));
static_assert(Same(dderr::SurfaceAlreadyDependent, DDERR_SURFACEALREADYDEPENDENT));
static_assert(Same(dderr::SurfaceIsObscured, DDERR_SURFACEISOBSCURED));
static_assert(Same(dderr::SurfaceLost, DDERR_SURFACELOST));
static_assert(Same(dderr::SurfaceNotAttached, DDERR_SURFACENOTATTACHED));
static_assert(Same(dderr::TooBigHeight, DDERR_TOOBIGHEIGHT));
static_assert(Same(dderr::TooBigSize, DDERR_TOOBIGSIZE));
static_assert(Same(dderr::TooBigWidth, DDERR_TOOBIGWIDTH));
static_assert(Same(dderr::UnsupportedFormat, DDERR_UNSUPPORTEDFORMAT));
static_assert(Same(dderr::UnsupportedMask, DDERR_UNSUPPORTEDMASK));
static_assert(Same(dderr::UnsupportedMode, DDERR_UNSUPPORTEDMODE));
static_assert(Same(dderr::VerticalBlankInProgress, DDERR_VERTICALBLANKINPROGRESS));
static_assert(Same(dderr::VideoNotActive, DDERR_VIDEONOTACTIVE));
static_assert(Same(dderr::WasStillDrawing, DDERR_WASSTILLDRAWING));
static_assert(Same(dderr::WrongMode, DDERR_WRONGMODE));
static_assert(Same(dderr::XAlign, DDERR_XALIGN));
static_assert(Same(dderr::SurfaceBusy, DDERR_SURFACEBUSY));

// Records whose layout matches the system's: the Win32 backend may copy these field by field
// in either direction without a surprise.
#define SAME_FIELD(ours, field, theirs, theirField) \
  static_assert(offsetof(ours, field) == offsetof(theirs, theirField), #ours "." #field)
SAME_FIELD(platform::Rect, left, RECT, left);
SAME_FIELD(platform::Rect, bottom, RECT, bottom);
SAME_FIELD(platform::WindowPosition, insertAfter, WINDOWPOS, hwndInsertAfter);
SAME_FIELD(platform::WindowPosition, cy, WINDOWPOS, cy);
SAME_FIELD(platform::WindowPosition, flags, WINDOWPOS, flags);
SAME_FIELD(platform::PixelFormat, fourCC, DDPIXELFORMAT, dwFourCC);
SAME_FIELD(platform::PixelFormat, alphaMask, DDPIXELFORMAT, dwRGBAlphaBitMask);
SAME_FIELD(platform::SurfaceDescription, pitch, DDSURFACEDESC2, lPitch);
SAME_FIELD(platform::SurfaceDescription, surface, DDSURFACEDESC2, lpSurface);
SAME_FIELD(platform::SurfaceDescription, destOverlayKey, DDSURFACEDESC2, ddckCKDestOverlay);
SAME_FIELD(platform::SurfaceDescription, pixelFormat, DDSURFACEDESC2, ddpfPixelFormat);
SAME_FIELD(platform::SurfaceDescription, caps, DDSURFACEDESC2, ddsCaps);
SAME_FIELD(platform::SurfaceDescription, textureStage, DDSURFACEDESC2, dwTextureStage);
SAME_FIELD(platform::TrayIconRecord, icon, NOTIFYICONDATAA, hIcon);
SAME_FIELD(platform::TrayIconRecord, tip, NOTIFYICONDATAA, szTip);
static_assert(sizeof(platform::SurfaceDescription) == sizeof(DDSURFACEDESC2));
static_assert(sizeof(platform::PixelFormat) == sizeof(DDPIXELFORMAT));
static_assert(sizeof(platform::Rect) == sizeof(RECT));
static_assert(sizeof(platform::WindowPosition) == sizeof(WINDOWPOS));
// The system's DDCAPS is far larger than the plug-in's summary: the backend translates it.
static_assert(sizeof(platform::DisplayCaps) < sizeof(DDCAPS));

}  // namespace
