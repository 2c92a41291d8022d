#include "plugin/session_backend.h"

#include "platform/backend.h"
#include "plugin/vis_module.h"
#include "video/video.h"

namespace corvex {

platform::Backend& SessionBackend(const VisModule& module) {
  return theVideo != nullptr ? theVideo->backend : platform::BackendOf(module.hwndParent);
}

}  // namespace corvex
