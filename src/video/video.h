#pragma once
#include <cstdint>

#include "platform/handles.h"
#include "video/portable/video_core.h"

namespace corvex {

namespace platform {
class Backend;
}

// The one object that owns what the user sees: the plug-in's window, the pictures, the warp
// map's manager. This first version presents nothing: it keeps a fixed 320 x 240 picture so
// the frame step runs; displays, surfaces and overlays replace it.
class Video : public VideoCore {
 public:
  explicit Video(platform::Backend& backend);
  ~Video() override;

  bool HasDirectDraw6();
  void Create(const char* windowTitle, platform::WindowProcedure procedure,
              platform::WindowHandle& hostWindowField, platform::InstanceHandle& hostInstanceField,
              int32_t& hostDelayField);
  void ChangeRes();
  void Compose() {}
  void ShowInfo() {}
  void ShowMessage() {
    if (messageFrames > 0) --messageFrames;
  }
  void Flip();

  intptr_t AskHost(uintptr_t wParam, intptr_t lParam) override;

  platform::Backend& backend;
  platform::WindowHandle window = nullptr;
  const char* title = nullptr;
  platform::WindowHandle* hostWindow = nullptr;      // the module record's hwndParent
  platform::InstanceHandle* hostInstance = nullptr;  // the module record's hDllInstance
  int32_t* hostDelay = nullptr;                      // the module record's delayMs
  int32_t windowX = 0;
  int32_t windowY = 0;
  int32_t displayMode = 1;
  int32_t requestedDisplayMode = -1;
  int32_t resolutionMode = 0;
  int32_t requestedResolutionMode = -1;
  int32_t minimizeHost = 0;
  int32_t useDelay = 0;
  int32_t showInfo = 0;
  int32_t infoFrameCount = 0;
  int32_t transformChoice = 0;
  int32_t transformsBuilt = 0;
  // The resolution lists per display mode (0 full screen, 1 windowed, 2 background), as the
  // Configuration Panel reads them, and whether background mode can be shown.
  int32_t modeCount[3] = {1, 1, 1};
  char** modeNames[3] = {kOnlyMode, kOnlyMode, kOnlyMode};
  int32_t overlaySupported = 0;

 private:
  static inline char kOnlyModeName[] = "320x240x32";
  static inline char* kOnlyMode[] = {kOnlyModeName};
};

}  // namespace corvex
