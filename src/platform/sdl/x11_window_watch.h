#pragma once
#include <SDL.h>

namespace corvex::platform::sdl {

// Another X client may destroy the window (xdotool windowclose does); SDL goes on using it, and
// the errors that brings would end the process through Xlib's default handler, the plug-in's
// settings unsaved. While one of these lives, the errors about the watched window are noted and
// passed over, and Lost() says the window is gone, so that the run can end as a closed window
// ends it. Errors about anything else go to the handler there was before. Off X11 it does
// nothing.
class X11WindowWatch {
 public:
  explicit X11WindowWatch(SDL_Window* window);
  ~X11WindowWatch();
  X11WindowWatch(const X11WindowWatch&) = delete;
  X11WindowWatch& operator=(const X11WindowWatch&) = delete;

  bool Lost() const;

 private:
  bool watching_ = false;
};

}  // namespace corvex::platform::sdl
