#include "plugin/module_files.h"

#include "platform/backend.h"
#include "platform/library_files.h"
#include "plugin/session_backend.h"
#include "plugin/vis_module.h"

namespace corvex {

std::string PathBesideModule(const VisModule& module, const char* fileName) {
  return platform::PathBesideLibrary(SessionBackend(module).Windows(),
                                     module.hDllInstance, fileName);
}

}  // namespace corvex
