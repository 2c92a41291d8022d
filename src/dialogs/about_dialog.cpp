#include "dialogs/about_dialog.h"

#include <cstdio>
#include <string>
#include <utility>

#include "base/process_objects.h"
#include "dialogs/dialog_templates.h"
#include "dialogs/dialogs.h"
#include "platform/backend.h"
#include "platform/dialog_system.h"
#include "platform/file_system.h"
#include "platform/library_files.h"
#include "platform/messages.h"
#include "platform/window_system.h"
#include "resources/resource.h"

namespace corvex {

AboutDialog* theAboutDialog = nullptr;

namespace {
constexpr const char* kVersionName = "v1.07";
constexpr const char* kReadmeFileName = "vis_corvex.txt";
}  // namespace

AboutDialog::AboutDialog(platform::WindowHandle hostWindow, platform::InstanceHandle library) {
  platform::Backend& backend = platform::BackendOf(hostWindow);
  platform::DialogSystem& dialogs = backend.Dialogs();
  window = dialogs.CreateDialogWindow(library, kAboutBoxTemplate, hostWindow,
                                      &AboutDialog::DialogProcedure,
                                      reinterpret_cast<intptr_t>(this));
  if (window == nullptr) return;
  backend.Windows().ShowWindow(window, platform::sw::ShowNormal);

  versionLabel = dialogs.GetDlgItem(window, IDC_VERSION);
  readmeEdit = dialogs.GetDlgItem(window, IDC_README);
  std::snprintf(versionText, sizeof versionText, "Version %s", kVersionName);
  dialogs.SetControlText(versionLabel, versionText);
  aboutDialogOpen = 1;
  theAboutDialog = this;

  // The bytes go to the box as they are: no change of line ends or character set.
  const std::string path =
      platform::PathBesideLibrary(backend.Windows(), library, kReadmeFileName);
  const std::optional<size_t> length =
      backend.Files().ReadFileStart(path.c_str(), readmeText, sizeof readmeText - 1);
  if (!length) {
    dialogs.SetControlText(readmeEdit, "Readme file missing...");
    return;
  }
  readmeText[*length] = '\0';
  dialogs.SetControlText(readmeEdit, readmeText);
}

AboutDialog::~AboutDialog() {
  // Forgotten first, so that the window's last message is not taken for one from outside.
  if (const platform::WindowHandle open = std::exchange(window, nullptr)) {
    platform::BackendOf(open).Windows().DestroyWindow(open);
  }
  aboutDialogOpen = 0;
  if (theAboutDialog == this) theAboutDialog = nullptr;
}

intptr_t CORVEX_CALLBACK AboutDialog::DialogProcedure(platform::WindowHandle window,
                                                      uint32_t message, uintptr_t wParam,
                                                      intptr_t) {
  auto* about = reinterpret_cast<AboutDialog*>(
      platform::BackendOf(window).Windows().GetUserData(window));
  if (about == nullptr || about->window != window) return 0;
  if (message == platform::wm::Destroy) {
    // Gone with the window that owns it: the box closes as if dismissed.
    about->window = nullptr;
    delete about;
    return 0;
  }
  if (message == platform::wm::Command && (wParam & 0xFFFF) == platform::id::Ok) {
    delete about;
    return 1;
  }
  return 0;
}

void OpenAboutBox(platform::WindowHandle hostWindow, platform::InstanceHandle library) {
  if (aboutDialogOpen != 0) return;
  auto* about = new AboutDialog(hostWindow, library);
  if (about->window == nullptr) delete about;  // no box could be made: Config must not wait
}

void CloseAboutBox() { delete theAboutDialog; }

}  // namespace corvex
