#include "platform/backend.h"
#include "platform/headless/headless_backend.h"
#include "platform/window_registry.h"

namespace corvex::platform {

// Built wherever the system is not the backend: a host window made in any backend (headless
// or live) leads to it through the registry, and an unknown handle gets the headless backend.
Backend& DefaultBackend() {
  static headless::HeadlessBackend fallback;
  return fallback;
}

Backend& BackendOf(WindowHandle hostWindow) {
  if (Backend* owner = FindWindowBackend(hostWindow)) return *owner;
  return DefaultBackend();
}

}  // namespace corvex::platform
