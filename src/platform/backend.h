#pragma once
#include "platform/handles.h"

namespace corvex::platform {

class WindowSystem;
class ProfileStore;
class FileSystem;
class DialogSystem;
class DisplaySystem;
class GraphicsSystem;

// One platform: the set of services the plug-in reaches the outside world through. The host
// chooses it by creating its own window in it and handing that window over as hwndParent.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual WindowSystem& Windows() = 0;
  virtual ProfileStore& Profiles() = 0;
  virtual FileSystem& Files() = 0;
  virtual DialogSystem& Dialogs() = 0;
  virtual DisplaySystem& Display() = 0;    // the display device, its surfaces and overlays
  virtual GraphicsSystem& Graphics() = 0;  // fonts; text goes onto surfaces
};

// The backend that made the host's window, found in the window registry by the handle's
// value. A handle no live window has (null, the real system's, a destroyed window's) gives the
// process's default backend: the real system on Windows, the headless backend elsewhere.
Backend& BackendOf(WindowHandle hostWindow);
Backend& DefaultBackend();

}  // namespace corvex::platform
