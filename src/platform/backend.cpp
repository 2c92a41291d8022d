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

#endif
