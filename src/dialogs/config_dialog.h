#pragma once
#include <cstdint>

#include "platform/handles.h"

namespace corvex {

class Video;

// The Configuration Panel: a modeless dialog over the running visualization. It edits the
// display mode and resolution (applied with Done), the scene length, four on/off options and
// the current renderer and transformation; toggles and scene actions act at once on the live
// objects. At most one exists, theConfigDialog, while configDialogOpen is 1.
class ConfigDialog {
 public:
  // Opens the panel over windowed or background mode (full screen is left first). Leaves
  // window null when the dialog could not be created; the caller then deletes the object.
  ConfigDialog();
  virtual ~ConfigDialog();
  ConfigDialog(const ConfigDialog&) = delete;
  ConfigDialog& operator=(const ConfigDialog&) = delete;

  // Shows the first active renderer and the current transformation with their On boxes.
  void RefreshSceneLabels();

  static intptr_t CORVEX_CALLBACK DialogProcedure(platform::WindowHandle window, uint32_t message,
                                                  uintptr_t wParam, intptr_t lParam);

  platform::WindowHandle window = nullptr;
  Video& video;
  platform::WindowHandle resolutionList = nullptr;
  platform::WindowHandle framesLabel = nullptr;
  platform::WindowHandle minLabel = nullptr;
  platform::WindowHandle maxLabel = nullptr;
  platform::WindowHandle framesSlider = nullptr;
  platform::WindowHandle backgroundButton = nullptr;
  platform::WindowHandle backgroundNote = nullptr;
  platform::WindowHandle rendererLabel = nullptr;
  platform::WindowHandle transformLabel = nullptr;
  char numberText[8] = {};

 private:
  intptr_t Command(int32_t id, uint32_t code);
  intptr_t Scroll(intptr_t control);
  void FillResolutionList(int32_t mode);
  void ChooseDisplayMode(int32_t mode);
  void ShowNumber(platform::WindowHandle label, int32_t value);
  void CheckControl(int32_t id, int32_t checked);
};

extern ConfigDialog* theConfigDialog;

}  // namespace corvex
