#pragma once
#include "platform/backend.h"
#include "platform/headless/headless_dialogs.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_files.h"
#include "platform/headless/headless_profiles.h"
#include "platform/headless/headless_text.h"
#include "platform/headless/headless_windows.h"

namespace corvex::platform::headless {

// The backend that runs anywhere: everything in memory, readable and scriptable by tests and by
// the offline host.
class HeadlessBackend final : public Backend {
 public:
  HeadlessBackend();
  ~HeadlessBackend() override;
  HeadlessBackend(const HeadlessBackend&) = delete;
  HeadlessBackend& operator=(const HeadlessBackend&) = delete;

  WindowSystem& Windows() override { return windows; }
  ProfileStore& Profiles() override { return profiles; }
  FileSystem& Files() override { return files; }
  DialogSystem& Dialogs() override { return dialogs; }
  DisplaySystem& Display() override { return display; }
  GraphicsSystem& Graphics() override { return graphics; }

  HeadlessWindows windows;
  HeadlessProfiles profiles;  // shares the windows' FailureInjector
  HeadlessFiles files;
  HeadlessDialogs dialogs;
  HeadlessGraphics graphics;
  HeadlessDisplay display;
};

}  // namespace corvex::platform::headless
