#pragma once
#include <cstdint>

#include "platform/handles.h"

namespace corvex {

// The About box: the picture, the product name and version, two lines about the plug-in and
// the readme vis_corvex.txt from beside the library. It closes with OK. At most one exists,
// theAboutDialog, while aboutDialogOpen is 1.
class AboutDialog {
 public:
  // Builds and shows the box over the host's window, from the templates and readme of the
  // library loaded as `library`. Leaves window null when the dialog could not be created; the
  // caller then deletes the object.
  AboutDialog(platform::WindowHandle hostWindow, platform::InstanceHandle library);
  virtual ~AboutDialog();
  AboutDialog(const AboutDialog&) = delete;
  AboutDialog& operator=(const AboutDialog&) = delete;

  static intptr_t CORVEX_CALLBACK DialogProcedure(platform::WindowHandle window, uint32_t message,
                                                  uintptr_t wParam, intptr_t lParam);

  platform::WindowHandle window = nullptr;
  platform::WindowHandle versionLabel = nullptr;
  platform::WindowHandle readmeEdit = nullptr;
  char versionText[32] = {};
  // The readme's first 19999 bytes and a terminating zero; a longer readme is cut there.
  char readmeText[20000] = {};
};

extern AboutDialog* theAboutDialog;

}  // namespace corvex
