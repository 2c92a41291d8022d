#include "platform/library_files.h"

#include "platform/window_system.h"

namespace corvex::platform {

namespace {
// Longer than the 260 bytes of a Windows path, so a deep Linux path is never cut short.
constexpr size_t kModuleNameCapacity = 4096;
}  // namespace

std::string FolderOfModulePath(const std::string& moduleFileName) {
  const size_t separator = moduleFileName.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : moduleFileName.substr(0, separator + 1);
}

std::string PathBesideLibrary(WindowSystem& windows, InstanceHandle library,
                              const char* fileName) {
  char moduleFileName[kModuleNameCapacity] = {};
  windows.GetModulePath(library, moduleFileName, sizeof moduleFileName);
  return FolderOfModulePath(moduleFileName) + fileName;
}

}  // namespace corvex::platform
