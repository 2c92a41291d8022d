#pragma once
#include "platform/window_registry.h"

namespace corvex::platform {

class Backend;

// What a window handle points to on the backends other than Windows. Each such window is in
// the window registry for as long as it lives, which is how the plug-in follows the host's
// choice of backend without reading through a handle it was given.
struct WindowObject {
  explicit WindowObject(Backend& owner) : backend(&owner) { RegisterWindow(this, owner); }
  virtual ~WindowObject() { UnregisterWindow(this); }
  WindowObject(const WindowObject&) = delete;
  WindowObject& operator=(const WindowObject&) = delete;
  Backend* backend;
};

}  // namespace corvex::platform
