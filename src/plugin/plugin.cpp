#include <cstring>
#include <memory>
#include <utility>

#include "base/process_objects.h"
#include "dialogs/dialogs.h"
#include "platform/backend.h"
#include "platform/messages.h"
#include "plugin/plugin_objects.h"
#include "plugin/session_backend.h"
#include "plugin/settings.h"
#include "plugin/vis_module.h"
#include "plugin/window_procedure.h"
#include "scene/scene_manager.h"
#include "simd/cpu_features.h"
#include "video/video.h"

namespace corvex {

platform::TrayIconRecord trayIcon = {};
int32_t pluginWindowGone = 0;
int32_t (*processorCheck)() = &HasMmx;

namespace {

constexpr int32_t kIconResource = 106;

VisModule* GetModule(int32_t index);

VisHeader visHeader = {kVisHeaderVersion, kPluginTitle, &GetModule};

VisModule visModule = {
    kPluginTitle, nullptr, nullptr, 0, 0,
    50,  // latencyMs
    0,   // delayMs
    2,   // spectrumNch
    2,   // waveformNch
    {},  {},          &Config, &Init, &Render, &Quit, nullptr,
};

VisModule* GetModule(int32_t index) { return index == 0 ? &visModule : nullptr; }

platform::WindowSystem& WindowsOf(const VisModule& module) {
  return SessionBackend(module).Windows();
}

}  // namespace

int32_t Init(VisModule* module) {
  platform::Backend& backend = platform::BackendOf(module->hwndParent);
  platform::WindowSystem& windows = backend.Windows();

  if (processorCheck() == 0) {
    windows.ShowMessageBox(nullptr, "MMX not detected, Corvex won't work.", "Warning",
                           platform::mb::Ok);
    return 1;
  }
  theVideo = new Video(backend);
  if (!theVideo->HasDirectDraw6()) {
    delete theVideo;
    theVideo = nullptr;
    windows.ShowMessageBox(nullptr, "This plugin requires DirectX 6 or greater", "Warning",
                           platform::mb::Ok);
    return 1;
  }
  theSceneManager = new SceneManager(*theVideo);
  LoadSettings(*module);
  pluginWindowGone = 0;
  theVideo->Create(kPluginTitle, &WindowProcedure, module->hwndParent, module->hDllInstance,
                   module->delayMs);
  theSceneManager->StartFirstScene();
  windows.SetUserData(theVideo->window, reinterpret_cast<intptr_t>(module));

  std::memset(&trayIcon, 0, sizeof trayIcon);
  trayIcon.size = sizeof trayIcon;
  trayIcon.window = theVideo->window;
  trayIcon.id = kIconResource;
  trayIcon.flags = platform::nif::Message | platform::nif::Icon;
  trayIcon.callbackMessage = platform::wm::TrayIcon;
  trayIcon.icon = windows.LoadIconResource(module->hDllInstance, kIconResource);
  windows.NotifyIcon(platform::nim::Add, trayIcon);
  return 0;
}

int32_t Render(VisModule* module) {
  // A host that calls Render without a successful Init gets nothing drawn, not a crash.
  if (theSceneManager == nullptr || theVideo == nullptr) return 0;
  // Its window is gone (the quit message is on its way): skip the frame rather than report
  // the surfaces of a window that no longer exists as a display failure.
  if (pluginWindowGone != 0) return 0;
  theSceneManager->FrameStep(module->spectrumData, module->waveformData);
  theVideo->Compose();
  theVideo->ShowInfo();
  theVideo->ShowMessage();
  theVideo->Flip();
  return 0;
}

void Quit(VisModule* module) {
  // After a failure that ended the process in the middle of Init, a host on a backend where
  // that end unwinds calls Quit to let go of what exists; one that never got that far has
  // nothing applied to save, and the user's file stays as it was.
  if (theSceneManager == nullptr && theVideo == nullptr) return;
  if (configDialogOpen != 0) CloseConfigPanel();
  if (aboutDialogOpen != 0) CloseAboutBox();
  if (theVideo != nullptr && theVideo->displayMode >= 0) SaveSettings(*module);
  WindowsOf(*module).NotifyIcon(platform::nim::Delete, trayIcon);
  delete std::exchange(theSceneManager, nullptr);
  // Letting the display go may fail, and the failure ends the process. It happens here rather
  // than in ~Video: an end of the process that unwinds (as the headless backend's does) must
  // not start inside a destructor, and the Video is still deleted as it unwinds.
  std::unique_ptr<Video> video(std::exchange(theVideo, nullptr));
  if (video != nullptr) video->ReleaseResources();
}

void Config(VisModule* module) {
  OpenAboutBox(module->hwndParent, module->hDllInstance);
  platform::WindowSystem& windows = WindowsOf(*module);
  // Pumps this thread's messages, without waiting, until the About box has closed.
  platform::Message message;
  while (aboutDialogOpen != 0) {
    if (windows.PeekWindowMessage(&message)) {
      windows.TranslateMessage(message);
      windows.DispatchWindowMessage(message);
    }
  }
}

}  // namespace corvex

extern "C" CORVEX_EXPORT corvex::VisHeader* winampVisGetHeader() { return &corvex::visHeader; }
