#include "plugin/module_files.h"

#include "platform/backend.h"
#include "platform/window_system.h"
#include "plugin/vis_module.h"

namespace corvex {

namespace {
// Longer than the 260 bytes of a Windows path, so a deep Linux path is never cut short.
constexpr size_t kModuleNameCapacity = 4096;
}  // namespace

std::string FolderOfModulePath(const std::string& moduleFileName) {
  const size_t separator = moduleFileName.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : moduleFileName.substr(0, separator + 1);
}

std::string PathBesideLibrary(platform::WindowSystem& windows, platform::InstanceHandle library,
                              const char* fileName) {
  char moduleFileName[kModuleNameCapacity] = {};
  windows.GetModulePath(library, moduleFileName, sizeof moduleFileName);
  return FolderOfModulePath(moduleFileName) + fileName;
}

std::string PathBesideModule(const VisModule& module, const char* fileName) {
  return PathBesideLibrary(platform::BackendOf(module.hwndParent).Windows(), module.hDllInstance,
                           fileName);
}

}  // namespace corvex
