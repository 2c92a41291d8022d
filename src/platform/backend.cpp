#include "platform/backend.h"

#include "platform/headless/headless_backend.h"
#include "platform/window_registry.h"

namespace corvex::platform {

// The build chooses the process's default backend. A Windows build returns the Win32 backend
// here: every handle there is the system's, so the system is the backend for all of them.
// Elsewhere it is the headless backend, which is also what an unknown handle gets.
Backend& DefaultBackend() {
  static headless::HeadlessBackend fallback;
  return fallback;
}

Backend& BackendOf(WindowHandle hostWindow) {
  if (Backend* owner = FindWindowBackend(hostWindow)) return *owner;
  return DefaultBackend();
}

}  // namespace corvex::platform
