#include "platform/backend.h"

#if defined(_WIN32)
#include "platform/win32/win32_backend.h"

namespace corvex::platform {

// In the Windows library every handle is the system's: the backend is the system itself.
Backend& DefaultBackend() { return win32::SystemBackend(); }
Backend& BackendOf(WindowHandle) { return DefaultBackend(); }

}  // namespace corvex::platform

#else
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

#endif
