// Kept apart from the tests: Xlib's macros (None, Status, Bool) clash with names of the core.
#include "other_x_client.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace corvex::host::testing {

bool DestroyAsAnotherXClient(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
    return false;
  }
  Display* other = XOpenDisplay(nullptr);
  if (other == nullptr) return false;
  XDestroyWindow(other, info.info.x11.window);
  XCloseDisplay(other);
  return true;
}

}  // namespace corvex::host::testing
