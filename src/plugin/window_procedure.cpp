#include "plugin/window_procedure.h"

#include "base/process_objects.h"
#include "dialogs/dialogs.h"
#include "platform/backend.h"
#include "platform/messages.h"
#include "platform/window_system.h"
#include "plugin/plugin_objects.h"
#include "plugin/vis_module.h"
#include "scene/scene_manager.h"
#include "transforms/transform_manager.h"
#include "video/video.h"

namespace corvex {

namespace {

void RequestDisplayMode(Video& video, int32_t mode) {
  video.requestedDisplayMode = mode;
  video.ChangeRes();
}

// Alt+Enter: full screen and windowed trade places; background mode is applied again.
void ToggleFullScreen(Video& video) {
  if (video.displayMode == kFullScreen) {
    video.requestedDisplayMode = kWindowed;
  } else if (video.displayMode == kWindowed) {
    video.requestedDisplayMode = kFullScreen;
  }
  video.ChangeRes();
}

void ToggleRendererLock(Video& video, SceneManager& scene) {
  if (scene.lockedRenderer != -1) {
    scene.lockedRenderer = -1;
    video.SetMessage("Renderer Unlocked");
    return;
  }
  // The last active slot wins; the lock shows from the next random scene on.
  for (int32_t slot = 0; slot < scene.rendererCount; ++slot) {
    if (scene.activeRenderers[slot] == 1) scene.lockedRenderer = slot;
  }
  video.SetMessage("Renderer Locked");
}

void ToggleTransformLock(Video& video, SceneManager& scene) {
  if (scene.lockedTransform != -1) {
    scene.lockedTransform = -1;
    video.SetMessage("Transform Unlocked");
    return;
  }
  scene.lockedTransform = video.transformManager->currentTransform;
  video.SetMessage("Transform Locked");
}

void ToggleSongTitle(Video& video, SceneManager& scene) {
  if (scene.showSongTitle == 0) {
    scene.showSongTitle = 1;
    video.SetMessage("Song Title Display On");
  } else {
    scene.showSongTitle = 0;
    video.SetMessage("Song Title Display Off");
  }
}

// The key table. A key the plug-in does not use goes on to the host window as the very same
// message, and the result is 0.
intptr_t HandleKey(platform::WindowSystem& windows, const VisModule* module, uint32_t message,
                   uintptr_t key, intptr_t lParam) {
  Video& video = *theVideo;
  SceneManager& scene = *theSceneManager;
  switch (key) {
    case platform::vk::Tab:
      OpenConfigPanel();
      return 1;
    case platform::vk::Escape:
      windows.PostQuitMessage(0);
      return 1;
    case platform::vk::Space:
      scene.ChooseScene(0, 0);
      return 1;
    case platform::vk::F1:
      RequestDisplayMode(video, kFullScreen);
      return 1;
    case platform::vk::F2:
      RequestDisplayMode(video, kWindowed);
      return 1;
    case platform::vk::F4:
      video.showInfo = !video.showInfo;
      video.infoFrameCount = 0;
      return 1;
    case platform::vk::F5:
      scene.ChooseScene(1, 2);
      return 1;
    case platform::vk::F6:
      scene.ChooseScene(2, 1);
      return 1;
    case platform::vk::F7:
      ToggleRendererLock(video, scene);
      return 1;
    case platform::vk::F8:
      ToggleTransformLock(video, scene);
      return 1;
    case platform::vk::F9:
      ToggleSongTitle(video, scene);
      return 1;
    case platform::vk::F12:
      scene.ChooseScene(666, 1);
      return 1;
    default:
      if (module != nullptr) windows.PostWindowMessage(module->hwndParent, message, key, lParam);
      return 0;
  }
}

}  // namespace

intptr_t CORVEX_CALLBACK WindowProcedure(platform::WindowHandle window, uint32_t message,
                                         uintptr_t wParam, intptr_t lParam) {
  platform::WindowSystem& windows = platform::BackendOf(window).Windows();
  // Init stores the module record here once the window exists; until then (and for anything
  // arriving after the objects are gone) the keys and the icon have nothing to act on.
  const auto* module = reinterpret_cast<const VisModule*>(windows.GetUserData(window));
  const bool running = theVideo != nullptr && theSceneManager != nullptr;
  switch (message) {
    case platform::wm::Create:
    case platform::wm::EraseBkgnd:
      return 0;
    case platform::wm::Destroy:
      windows.PostQuitMessage(0);
      return 0;
    case platform::wm::WindowPosChanged:
      // Only a windowed window's place is remembered; full screen and background mode move
      // it for their own reasons.
      if (running && theVideo->displayMode == kWindowed && lParam != 0) {
        const auto* position = reinterpret_cast<const platform::WindowPosition*>(lParam);
        theVideo->windowX = position->x;
        theVideo->windowY = position->y;
      }
      return 0;
    case platform::wm::KeyDown:
    case platform::wm::SysKeyDown:
      if (!running) break;
      if (message == platform::wm::SysKeyDown && wParam == platform::vk::Return) {
        ToggleFullScreen(*theVideo);
        return 1;
      }
      return HandleKey(windows, module, message, wParam, lParam);
    case platform::wm::TrayIcon:
      if (!running) break;
      if (lParam == platform::wm::LButtonDown) {
        OpenConfigPanel();
        return 1;
      }
      return 0;
    default:
      break;
  }
  return windows.DefaultWindowProc(window, message, wParam, lParam);
}

}  // namespace corvex
