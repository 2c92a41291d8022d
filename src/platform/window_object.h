#pragma once

namespace corvex::platform {

class Backend;

// What a window handle points to on the backends other than Windows: every such window starts
// with the backend that made it, which is how the plug-in follows the host's choice of backend.
struct WindowObject {
  explicit WindowObject(Backend& owner) : backend(&owner) {}
  virtual ~WindowObject() = default;
  Backend* backend;
};

}  // namespace corvex::platform
