#include "platform/win32/win32_backend.h"

#include "platform/dialog_system.h"
#include "platform/display.h"
#include "platform/file_system.h"
#include "platform/profile_store.h"
#include "platform/text.h"
#include "platform/window_system.h"

namespace corvex::platform::win32 {

namespace {

class SystemBackendImpl final : public Backend {
 public:
  WindowSystem& Windows() override { return *windows_; }
  ProfileStore& Profiles() override { return *profiles_; }
  FileSystem& Files() override { return *files_; }
  DialogSystem& Dialogs() override { return *dialogs_; }
  DisplaySystem& Display() override { return *display_; }
  GraphicsSystem& Graphics() override { return *graphics_; }

 private:
  std::unique_ptr<WindowSystem> windows_ = MakeWindowSystem();
  std::unique_ptr<ProfileStore> profiles_ = MakeProfileStore();
  std::unique_ptr<FileSystem> files_ = MakeFileSystem();
  std::unique_ptr<DialogSystem> dialogs_ = MakeDialogSystem();
  std::unique_ptr<DisplaySystem> display_ = MakeDisplaySystem();
  std::unique_ptr<GraphicsSystem> graphics_ = MakeGraphicsSystem();
};

}  // namespace

Backend& SystemBackend() {
  static SystemBackendImpl backend;
  return backend;
}

}  // namespace corvex::platform::win32
