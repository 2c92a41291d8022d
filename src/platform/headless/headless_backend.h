#pragma once
#include "platform/backend.h"
#include "platform/headless/headless_dialogs.h"
#include "platform/headless/headless_files.h"
#include "platform/headless/headless_profiles.h"
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

  HeadlessWindows windows;
  HeadlessProfiles profiles;  // shares the windows' FailureInjector
  HeadlessFiles files;
  HeadlessDialogs dialogs;
};

}  // namespace corvex::platform::headless
