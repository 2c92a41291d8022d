#pragma once
#include <cstdint>

#include "platform/display.h"
#include "platform/handles.h"
#include "platform/text.h"
#include "scene/video_core.h"
#include "video/portable/compose_format.h"
#include "video/portable/mode_filter.h"

namespace corvex {

namespace platform {
class Backend;
class WindowSystem;
}  // namespace platform

class Video;

// What the display-mode enumeration hands to AddMode.
struct EnumModesContext {
  int32_t counting;     // 1 in the counting pass, 0 in the storing pass
  int32_t displayMode;  // the list being built
  Video* video;
};

// The one object that owns what the user sees: the plug-in's window, the display device and its
// surfaces, the resolution lists of the three display modes, the pictures (VideoCore), the text
// overlays and the warp map's manager. Every failure of a platform call is reported with its
// text and ends the process (error_reporting.h).
class Video : public VideoCore {
 public:
  explicit Video(platform::Backend& backend);
  ~Video() override;

  // Life and display modes (video.cpp).
  bool HasDirectDraw6();
  // title: window class and window title; hostWindowField, hostInstanceField and
  // hostDelayField: the module record's hwndParent, hDllInstance and delayMs, read and written
  // through for the whole run.
  void Create(const char* windowTitle, platform::WindowProcedure procedure,
              platform::WindowHandle& hostWindowField, platform::InstanceHandle& hostInstanceField,
              int32_t& hostDelayField);
  void CheckCaps();
  void ChangeRes();
  void ReleaseResources();

  // Resolution lists (mode_lists.cpp).
  void GetTotalVideoMemory();
  void EnumerateModes();
  static platform::Result CORVEX_CALLBACK AddMode(const platform::SurfaceDescription* description,
                                                  void* context);

  // Surfaces (surfaces.cpp).
  void AllocateSurfaces();
  void CreateOverlay();
  void CreateComposeSurface();
  void FreeSurfaces();
  void RestoreSurfaces();

  // A frame (presentation.cpp, overlays.cpp).
  void Compose();
  void ShowInfo();
  void ShowMessage();
  void Flip();
  void SetWallpaper(bool on);

  intptr_t AskHost(uintptr_t wParam, intptr_t lParam) override;

  platform::Backend& backend;
  platform::WindowHandle window = nullptr;
  platform::Rect windowRect;
  const char* title = nullptr;
  int32_t displayDepth = 0;
  int32_t modeDepth = 0;
  // height and width: VideoCore
  int32_t windowX = 0;
  int32_t windowY = 0;
  int32_t displayMode = -1;  // none until the first ChangeRes
  int32_t requestedDisplayMode = -1;
  int32_t resolutionMode = -1;
  int32_t requestedResolutionMode = -1;
  int32_t screenWidth = 0;
  int32_t screenHeight = 0;
  platform::DisplayDevice* directDraw = nullptr;
  int32_t lastResult = 0;
  platform::Surface* composeSurface = nullptr;
  platform::Surface* primarySurface = nullptr;
  platform::Surface* overlaySurface = nullptr;
  // previousFrame, frameBuffer and buffersAllocated: VideoCore
  int32_t composeAllocated = 0;
  int32_t primaryAllocated = 0;
  int32_t overlayAllocated = 0;
  platform::ColorKey colorKey{1, 1};
  uint16_t redMask = 0;
  uint16_t greenMask = 0;
  uint16_t blueMask = 0;
  platform::SurfaceDescription composeDesc;
  platform::SurfaceDescription primaryDesc;
  platform::SurfaceDescription overlayDesc;
  platform::SurfaceDescription* modeList[kDisplayModeCount] = {};
  char** modeNames[kDisplayModeCount] = {};  // kModeNameSize bytes each
  int32_t modeCount[kDisplayModeCount] = {};
  platform::PixelFormat pixelFormat;
  int32_t totalVideoMemory = 0;
  int32_t availableVideoMemory = 0;
  int32_t minimizeHost = 0;
  ComposeFormat composeFormat = ComposeFormat::Rgb32;
  int32_t overlaySupported = 0;
  int32_t infoFrameCount = 0;
  uint32_t infoStartTime = 0;
  uint32_t infoNow = 0;
  int32_t showInfo = 0;
  platform::FontHandle font = nullptr;
  // messageText, messageFrames and transformManager: VideoCore
  int32_t transformsBuilt = 0;
  int32_t transformChoice = 0;
  platform::WindowHandle* hostWindow = nullptr;      // the module record's hwndParent
  platform::InstanceHandle* hostInstance = nullptr;  // the module record's hDllInstance
  int32_t* hostDelay = nullptr;                      // the module record's delayMs
  int32_t useDelay = 0;
  int32_t wallpaperPending = 0;

 private:
  platform::WindowSystem& Windows();
  // Keeps result in lastResult; a failure is reported with text and ends the process, so
  // false comes back only for the one code that is never shown.
  bool Check(platform::Result result, const char* text);
  void Fail(const char* text);  // a failure without a result code
  void SetCooperation(uint32_t flags, const char* text);
  platform::Result CreateSurface(platform::SurfaceDescription& description,
                                 platform::Surface** surface);
  static void ReleaseSurface(platform::Surface*& surface, int32_t& allocated);
  void RestoreSurface(platform::Surface* surface, int32_t allocated, const char* text);
  int32_t DefaultResolution(int32_t mode) const;
  int32_t UsableResolution(int32_t mode, int32_t index) const;
  void EnterFullScreen();
  void EnterWindowed();
  void EnterBackground();
  void ReadDisplayFormat();
  void RebuildTransforms();
  void FreeModeLists();
  void DrawInfoLines(platform::DeviceContext& context);
  platform::DeviceContext* OpenComposeContext(const char* failure);
  void CloseComposeContext(platform::DeviceContext* context, platform::FontHandle previousFont);

  bool windowClassRegistered_ = false;
};

// The plug-in's one Video from its Init to its Quit, null outside them; the panel works on it.
extern Video* theVideo;

// Writes length characters of text at (x, y) in shadow style: black one pixel right and down,
// then white in place. The text colour stays white.
void DrawShadowText(platform::DeviceContext& context, int32_t x, int32_t y, const char* text,
                    int32_t length);

}  // namespace corvex
