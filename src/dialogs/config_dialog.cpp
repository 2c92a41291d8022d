#include "dialogs/config_dialog.h"

#include <cstdio>
#include <utility>

#include "base/process_objects.h"
#include "dialogs/dialog_templates.h"
#include "dialogs/dialogs.h"
#include "platform/backend.h"
#include "platform/dialog_system.h"
#include "platform/messages.h"
#include "platform/window_system.h"
#include "resources/resource.h"
#include "scene/scene_manager.h"
#include "transforms/transform_manager.h"
#include "video/video.h"

namespace corvex {

ConfigDialog* theConfigDialog = nullptr;

namespace {

constexpr int32_t kFramesPerStep = 100;  // one slider position is 100 frames
constexpr int32_t kNeverChange = -1;     // the scene length of the slider's last position
constexpr const char* kNever = "Never";

// The Video's own backend, not its window's: the window may be gone already (destroyed while
// the plug-in runs, until the host takes the quit message that follows).
platform::DialogSystem& DialogsOf(const Video& video) { return video.backend.Dialogs(); }

platform::WindowSystem& WindowsOf(const Video& video) { return video.backend.Windows(); }

}  // namespace

ConfigDialog::ConfigDialog() : video(*theVideo) {
  SceneManager& scene = *theSceneManager;
  platform::DialogSystem& dialogs = DialogsOf(video);

  if (video.displayMode == kFullScreen) {
    video.requestedDisplayMode = kWindowed;
    video.ChangeRes();
  }

  window = dialogs.CreateDialogWindow(
      video.hostInstance ? *video.hostInstance : nullptr, kConfigPanelTemplate, video.window,
      &ConfigDialog::DialogProcedure, reinterpret_cast<intptr_t>(this));
  if (window == nullptr) return;
  WindowsOf(video).ShowWindow(window, platform::sw::ShowNormal);

  resolutionList = dialogs.GetDlgItem(window, IDC_RESOLUTION_LIST);
  framesLabel = dialogs.GetDlgItem(window, IDC_FRAMES_LABEL);
  minLabel = dialogs.GetDlgItem(window, IDC_FRAMES_MIN_LABEL);
  maxLabel = dialogs.GetDlgItem(window, IDC_FRAMES_MAX_LABEL);
  framesSlider = dialogs.GetDlgItem(window, IDC_FRAMES_SLIDER);
  backgroundButton = dialogs.GetDlgItem(window, IDC_BACKGROUND);
  backgroundNote = dialogs.GetDlgItem(window, IDC_BACKGROUND_NOTE);
  rendererLabel = dialogs.GetDlgItem(window, IDC_RENDERER_LABEL);
  transformLabel = dialogs.GetDlgItem(window, IDC_TRANSFORM_LABEL);

  CheckControl(IDC_SHOW_INFO, video.showInfo);
  CheckControl(IDC_MINIMIZE_HOST, video.minimizeHost);
  CheckControl(IDC_USE_DELAY, video.useDelay);
  CheckControl(IDC_SHOW_SONG_TITLE, scene.showSongTitle);
  if (video.displayMode == kWindowed) CheckControl(IDC_WINDOWED, 1);
  if (video.displayMode == kBackground) CheckControl(IDC_BACKGROUND, 1);

  if (video.overlaySupported == 0) {
    dialogs.EnableWindow(backgroundButton, false);
    dialogs.SetControlText(backgroundNote, "(Unsupported by hardware)");
    dialogs.EnableWindow(backgroundNote, false);
  }

  FillResolutionList(video.displayMode);
  dialogs.SelectListItem(resolutionList, video.resolutionMode);

  ShowNumber(minLabel, scene.minFramesPerScene);
  dialogs.SetControlText(maxLabel, kNever);
  const int32_t lastPosition = scene.maxFramesPerScene / kFramesPerStep + 1;
  dialogs.SetSliderRange(framesSlider, scene.minFramesPerScene / kFramesPerStep, lastPosition,
                         true);
  if (scene.framesPerScene == kNeverChange) {
    dialogs.SetSliderPosition(framesSlider, lastPosition);
    dialogs.SetControlText(framesLabel, kNever);
  } else {
    ShowNumber(framesLabel, scene.framesPerScene);
    dialogs.SetSliderPosition(framesSlider, scene.framesPerScene / kFramesPerStep);
  }
  dialogs.SetSliderTickFrequency(framesSlider, 1);

  RefreshSceneLabels();
  configDialogOpen = 1;
  theConfigDialog = this;
  refreshSceneLabelsHook = [] {
    if (theConfigDialog != nullptr) theConfigDialog->RefreshSceneLabels();
  };
}

ConfigDialog::~ConfigDialog() {
  refreshSceneLabelsHook = nullptr;
  // Forgotten first, so that the window's last message is not taken for one from outside.
  if (const platform::WindowHandle open = std::exchange(window, nullptr)) {
    WindowsOf(video).DestroyWindow(open);
  }
  configDialogOpen = 0;
  if (theConfigDialog == this) theConfigDialog = nullptr;
}

void ConfigDialog::RefreshSceneLabels() {
  platform::DialogSystem& dialogs = DialogsOf(video);
  SceneManager& scene = *theSceneManager;
  const int32_t renderer = scene.FirstActiveRenderer();
  dialogs.SetControlText(rendererLabel, scene.rendererNames[renderer]);
  CheckControl(IDC_RENDERER_ON, scene.enabledRenderers[renderer]);
  const TransformManager& transforms = *video.transformManager;
  const int32_t current = transforms.currentTransform;
  if (current < 0 || current >= transforms.transformCount) return;
  dialogs.SetControlText(transformLabel, transforms.transformNames[current]);
  CheckControl(IDC_TRANSFORM_ON, transforms.enabledTransforms[current]);
}

intptr_t CORVEX_CALLBACK ConfigDialog::DialogProcedure(platform::WindowHandle window,
                                                       uint32_t message, uintptr_t wParam,
                                                       intptr_t lParam) {
  auto* panel = reinterpret_cast<ConfigDialog*>(
      platform::BackendOf(window).Windows().GetUserData(window));
  // Messages of the dialog's creation arrive before the panel has filled its fields.
  if (panel == nullptr || panel->window != window) return 0;
  if (message == platform::wm::Destroy) {
    // The system takes the panel with the plug-in's window that owns it: the panel closes
    // as if dismissed, its window already gone.
    panel->window = nullptr;
    delete panel;
    return 0;
  }
  if (message == platform::wm::Command) {
    return panel->Command(static_cast<int32_t>(wParam & 0xFFFF),
                          static_cast<uint32_t>((wParam >> 16) & 0xFFFF));
  }
  if (message == platform::wm::HScroll) return panel->Scroll(lParam);
  return 0;
}

intptr_t ConfigDialog::Command(int32_t id, uint32_t code) {
  SceneManager& scene = *theSceneManager;
  switch (id) {
    case IDC_RESOLUTION_LIST:
      if (code != platform::lbn::SelChange) return 0;
      video.requestedResolutionMode = DialogsOf(video).GetListSelection(resolutionList);
      return 1;
    case IDC_SHOW_INFO:
      video.showInfo = !video.showInfo;
      video.infoFrameCount = 0;
      return 1;
    case IDC_FULL_SCREEN:
      ChooseDisplayMode(kFullScreen);
      return 1;
    case IDC_WINDOWED:
      CheckControl(IDC_WINDOWED, 1);
      ChooseDisplayMode(kWindowed);
      return 1;
    case IDC_BACKGROUND:
      CheckControl(IDC_BACKGROUND, 1);
      ChooseDisplayMode(kBackground);
      return 1;
    case IDC_DONE:
      video.ChangeRes();
      delete this;  // closes the panel; nothing of it is touched after this
      return 1;
    case IDC_MINIMIZE_HOST:
      video.minimizeHost = !video.minimizeHost;
      return 1;
    case IDC_EXIT_PLUGIN: {
      platform::WindowSystem& windows = WindowsOf(video);
      delete this;
      windows.PostQuitMessage(0);
      return 1;
    }
    case IDC_SHOW_SONG_TITLE:
      scene.showSongTitle = !scene.showSongTitle;
      return 1;
    case IDC_USE_DELAY:
      video.useDelay = !video.useDelay;
      return 1;
    case IDC_HELP_AND_INFO:
      // Over the host's window, as the host's own Config call opens it.
      if (video.hostWindow != nullptr && video.hostInstance != nullptr) {
        OpenAboutBox(*video.hostWindow, *video.hostInstance);
      }
      return 1;
    case IDC_NEXT_RENDERER:
      scene.ChooseScene(1, 2);
      return 1;
    case IDC_NEXT_TRANSFORM:
      scene.ChooseScene(2, 1);
      return 1;
    case IDC_RENDERER_ON: {
      const int32_t renderer = scene.FirstActiveRenderer();
      scene.enabledRenderers[renderer] = !scene.enabledRenderers[renderer];
      return 1;
    }
    case IDC_TRANSFORM_ON: {
      TransformManager& transforms = *video.transformManager;
      int32_t& enabled = transforms.enabledTransforms[transforms.currentTransform];
      enabled = !enabled;
      return 1;
    }
    default:
      return 0;  // the other ids, the close box's cancel among them
  }
}

intptr_t ConfigDialog::Scroll(intptr_t control) {
  if (control == 0 || reinterpret_cast<platform::WindowHandle>(control) != framesSlider) return 0;
  SceneManager& scene = *theSceneManager;
  scene.framesPerScene = DialogsOf(video).GetSliderPosition(framesSlider) * kFramesPerStep;
  if (scene.framesPerScene == scene.maxFramesPerScene + kFramesPerStep) {
    scene.framesPerScene = kNeverChange;
    DialogsOf(video).SetControlText(framesLabel, kNever);
  } else {
    ShowNumber(framesLabel, scene.framesPerScene);
  }
  return 1;
}

void ConfigDialog::FillResolutionList(int32_t mode) {
  platform::DialogSystem& dialogs = DialogsOf(video);
  dialogs.ResetList(resolutionList);
  // A display mode the Video never applies has no list; the list then stays empty.
  if (mode < 0 || mode >= kDisplayModeCount) return;
  for (int32_t i = 0; i < video.modeCount[mode]; ++i) {
    dialogs.AddListItem(resolutionList, video.modeNames[mode][i]);
  }
}

// The three display-mode buttons. The list shows the chosen mode's resolutions; the current
// resolution stays selected when the mode is the current one, otherwise the first entry is.
// Nothing is applied before Done.
void ConfigDialog::ChooseDisplayMode(int32_t mode) {
  FillResolutionList(mode);
  video.requestedDisplayMode = mode;
  const bool sameMode = video.requestedDisplayMode == video.displayMode;
  video.requestedResolutionMode = sameMode ? video.resolutionMode : 0;
  DialogsOf(video).SelectListItem(resolutionList, video.requestedResolutionMode);
}

void ConfigDialog::ShowNumber(platform::WindowHandle label, int32_t value) {
  std::snprintf(numberText, sizeof numberText, "%d", value);
  DialogsOf(video).SetControlText(label, numberText);
}

void ConfigDialog::CheckControl(int32_t id, int32_t checked) {
  platform::DialogSystem& dialogs = DialogsOf(video);
  dialogs.SetCheck(dialogs.GetDlgItem(window, id), checked != 0);
}

void OpenConfigPanel() {
  if (configDialogOpen != 0 || theVideo == nullptr || theSceneManager == nullptr) return;
  auto* panel = new ConfigDialog();
  if (panel->window == nullptr) delete panel;  // no dialog could be made: nothing is open
}

void CloseConfigPanel() { delete theConfigDialog; }

}  // namespace corvex
