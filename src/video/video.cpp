#include "video/video.h"

#include <utility>

#include "platform/backend.h"
#include "platform/direct_draw_results.h"
#include "platform/display_flags.h"
#include "platform/messages.h"
#include "platform/window_system.h"
#include "transforms/transform_manager.h"
#include "video/error_reporting.h"

namespace corvex {

using namespace platform;

Video* theVideo = nullptr;

Video::Video(Backend& platformBackend) : backend(platformBackend) {
  pixelFormat.size = kPixelFormatSize;
  FontRequest request;
  request.height = -10;  // a character height of 10 pixels
  request.charSet = charset::ShiftJis;
  request.pitchAndFamily = pitch::Variable;
  request.faceName = "Arial";
  font = backend.Graphics().CreateFontObject(request);
  transformManager = new TransformManager();
  transformChoice = transformManager->AllTransformsMask();
}

Video::~Video() {
  FreeModeLists();
  ReleaseResources();
  if (displayMode == kBackground) SetWallpaper(false);
  if (window != nullptr) Windows().DestroyWindow(window);
  window = nullptr;
  if (windowClassRegistered_) {
    Windows().UnregisterWindowClass(title, hostInstance ? *hostInstance : nullptr);
  }
  if (font != nullptr) backend.Graphics().DeleteObject(font);
}

WindowSystem& Video::Windows() { return backend.Windows(); }

bool Video::Check(Result result, const char* text) {
  lastResult = result;
  if (result >= 0) return true;
  ShowDirectDrawError(Windows(), text, result, 1);
  return false;  // only after the one code that is never shown
}

void Video::Fail(const char* text) { ShowError(Windows(), text, 1); }

bool Video::HasDirectDraw6() {
  DirectDrawObject* object = nullptr;
  if (!Check(backend.Display().DirectDrawCreate(&object), "Error creating DirectDraw object")) {
    return false;
  }
  lastResult = object->QueryDisplayDevice(&directDraw);
  const bool present = lastResult >= 0 && directDraw != nullptr;
  if (present) directDraw->Release();
  object->Release();
  directDraw = nullptr;
  return present;
}

void Video::Create(const char* windowTitle, WindowProcedure procedure,
                   WindowHandle& hostWindowField, InstanceHandle& hostInstanceField,
                   int32_t& hostDelayField) {
  title = windowTitle;
  hostInstance = &hostInstanceField;
  hostWindow = &hostWindowField;
  hostDelay = &hostDelayField;

  DirectDrawObject* object = nullptr;
  if (!Check(backend.Display().DirectDrawCreate(&object), "Error creating DirectDraw object")) {
    return;
  }
  lastResult = object->QueryDisplayDevice(&directDraw);
  object->Release();
  // The request's result is only kept; without the device nothing can go on, so its absence
  // is reported as the DirectDraw object's failure.
  if (directDraw == nullptr) {
    Check(lastResult < 0 ? lastResult : dderr::Generic, "Error creating DirectDraw object");
    return;
  }

  GetTotalVideoMemory();
  EnumerateModes();
  if (requestedDisplayMode < 0 || requestedDisplayMode >= kDisplayModeCount) {
    requestedDisplayMode = kFullScreen;
  }
  requestedResolutionMode = requestedResolutionMode == -1
                                ? DefaultResolution(requestedDisplayMode)
                                : UsableResolution(requestedDisplayMode, requestedResolutionMode);
  if (requestedResolutionMode < 0) return Fail("No available resolutions");
  const SurfaceDescription& entry = modeList[requestedDisplayMode][requestedResolutionMode];
  height = static_cast<int32_t>(entry.height);
  width = static_cast<int32_t>(entry.width);

  WindowSystem& windows = Windows();
  if (!windows.RegisterWindowClass(title, procedure, *hostInstance)) {
    return Fail("Error registering window class");
  }
  windowClassRegistered_ = true;
  window = windows.CreateClassWindow(title, title, ws::Visible, windowX, windowY, width, height,
                                     *hostWindow, *hostInstance);
  if (window == nullptr) return Fail("Error creating window");
  windows.SetWindowPos(window, windowX, windowY, width, height, swp::NoZOrder);
  windows.ShowWindow(window, sw::ShowNormal);
  CheckCaps();
  ChangeRes();
}

void Video::CheckCaps() {
  overlaySupported = 1;
  DisplayCaps caps;
  if (!Check(directDraw->GetCaps(&caps, nullptr), "Unable to retrieve DirectDraw Caps")) {
    overlaySupported = 0;
    return;
  }
  if ((caps.caps & ddcaps::Overlay) == 0 ||
      caps.maxVisibleOverlays == caps.currentVisibleOverlays) {
    overlaySupported = 0;
  }
}

// The last entry of 480 lines, the resolution a run starts with when none was chosen.
int32_t Video::DefaultResolution(int32_t mode) const {
  int32_t found = -1;
  for (int32_t i = 0; i < modeCount[mode]; ++i) {
    if (modeList[mode][i].height == 480) found = i;
  }
  return found;
}

// An index past the list (a setting from another display adapter, or a display-mode key that
// keeps the index of another list) falls back to the 480-line default, or to the last entry
// of a list without one; -1 when the list is empty.
int32_t Video::UsableResolution(int32_t mode, int32_t index) const {
  if (index >= 0 && index < modeCount[mode]) return index;
  const int32_t fallback = DefaultResolution(mode);
  return fallback >= 0 ? fallback : modeCount[mode] - 1;
}

void Video::SetCooperation(uint32_t flags, const char* text) {
  const Result result = directDraw->SetCooperativeLevel(window, flags);
  if (result == dderr::HwndAlreadySet) {
    lastResult = result;  // the window is already the device's: nothing failed
    return;
  }
  Check(result, text);
}

void Video::ChangeRes() {
  if (directDraw == nullptr) return;
  FreeSurfaces();
  if (requestedDisplayMode < 0 || requestedDisplayMode >= kDisplayModeCount) {
    requestedDisplayMode = kFullScreen;
  }
  requestedResolutionMode = UsableResolution(requestedDisplayMode, requestedResolutionMode);
  if (requestedResolutionMode < 0) return Fail("No available resolutions");
  displayMode = requestedDisplayMode;
  resolutionMode = requestedResolutionMode;
  const SurfaceDescription& entry = modeList[displayMode][resolutionMode];
  height = static_cast<int32_t>(entry.height);
  width = static_cast<int32_t>(entry.width);
  modeDepth = static_cast<int32_t>(entry.pixelFormat.rgbBitCount);

  if (displayMode == kFullScreen) EnterFullScreen();
  if (displayMode == kWindowed) EnterWindowed();
  if (displayMode == kBackground) EnterBackground();
  Windows().SetFocus(window);
  ReadDisplayFormat();
  AllocateSurfaces();
  ClearFrameBuffer(previousFrame);
  ClearFrameBuffer(frameBuffer);
  RebuildTransforms();
}

void Video::EnterFullScreen() {
  WindowSystem& windows = Windows();
  if (minimizeHost != 0) windows.ShowWindow(*hostWindow, sw::Minimize);
  windows.SetActiveWindow(window);
  SetWallpaper(false);
  SetCooperation(ddscl::Exclusive | ddscl::FullScreen, "Error setting cooperative level");
  windows.SetWindowPos(window, 0, 0, width, height, swp::NoZOrder | swp::ShowWindow);
  Check(directDraw->SetDisplayMode(static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                                   static_cast<uint32_t>(modeDepth), 0, 0),
        "Error changing resolution");
  while (windows.ShowCursor(false) >= 0) {
  }
}

void Video::EnterWindowed() {
  WindowSystem& windows = Windows();
  // The window procedure follows the window's moves while the mode is windowed; what it
  // records on the way must not move the window away from where the user left it.
  const int32_t keptX = windowX, keptY = windowY;
  SetWallpaper(false);
  SetCooperation(ddscl::Normal, "Error setting cooperative level");
  windowX = keptX;
  windowY = keptY;
  windows.SetWindowPos(window, windowX, windowY, width, height, swp::NoZOrder | swp::ShowWindow);
  windows.SetActiveWindow(window);
  Check(directDraw->RestoreDisplayMode(), "Error changing resolution");
  windows.ShowCursor(true);
}

void Video::EnterBackground() {
  WindowSystem& windows = Windows();
  SetCooperation(ddscl::Normal, "Error setting cooperative level");
  windows.SetWindowPos(window, windowX, windowY, width, height, swp::NoZOrder | swp::HideWindow);
  windows.SetActiveWindow(window);
  Check(directDraw->RestoreDisplayMode(), "Error changing resolution");
  windows.ShowCursor(true);
  wallpaperPending = 1;
}

void Video::ReadDisplayFormat() {
  SurfaceDescription mode;
  mode.size = kSurfaceDescriptionSize;
  Check(directDraw->GetDisplayMode(&mode),
        "Video::ChangeRes(), Error retrieving display resolution");
  screenWidth = static_cast<int32_t>(mode.width);
  screenHeight = static_cast<int32_t>(mode.height);
  displayDepth = static_cast<int32_t>(mode.pixelFormat.rgbBitCount);
  pixelFormat = mode.pixelFormat;
  redMask = static_cast<uint16_t>(pixelFormat.redMask);
  greenMask = static_cast<uint16_t>(pixelFormat.greenMask);
  blueMask = static_cast<uint16_t>(pixelFormat.blueMask);
  // The brightest pure green of the display's format: 0xFF00 at 24 and 32 bits, 0x07E0 at 5-6-5.
  colorKey.low = greenMask;
  colorKey.high = greenMask;
}

void Video::RebuildTransforms() {
  if (transformsBuilt != 0) {
    transformChoice = transformManager->TransformMask();
    delete transformManager;
    transformManager = new TransformManager();
  }
  transformManager->SetTransformMask(transformChoice);
  transformManager->AllocateMap(width, height);
  transformManager->BuildMap();
  transformsBuilt = 1;
}

void Video::ReleaseResources() {
  if (directDraw != nullptr) {
    FreeSurfaces();
    // The device goes whether or not the normal level comes back: that failure ends the
    // process, and where the end of the process unwinds (the headless backend), nothing
    // may be left behind by it.
    struct DeviceRelease {
      DisplayDevice* device;
      ~DeviceRelease() { device->Release(); }
    } release{std::exchange(directDraw, nullptr)};
    Check(release.device->SetCooperativeLevel(window, ddscl::Normal),
          "Video::ReleaseResources, Error setting cooperative level");
    Windows().SetActiveWindow(window);
  }
  if (transformsBuilt != 0) {
    delete transformManager;
    transformManager = nullptr;
    transformsBuilt = 0;
  }
}

intptr_t Video::AskHost(uintptr_t wParam, intptr_t lParam) {
  return Windows().SendWindowMessage(hostWindow ? *hostWindow : nullptr, wm::User, wParam, lParam);
}

}  // namespace corvex
