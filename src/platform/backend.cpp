#include "platform/backend.h"

#include "platform/headless/headless_backend.h"
#include "platform/window_object.h"

namespace corvex::platform {

Backend& DefaultBackend() {
  static headless::HeadlessBackend fallback;
  return fallback;
}

Backend& BackendOf(WindowHandle hostWindow) {
  if (hostWindow == nullptr) return DefaultBackend();
  return *static_cast<WindowObject*>(hostWindow)->backend;
}

}  // namespace corvex::platform
