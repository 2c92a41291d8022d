#include "platform/sdl/x11_window_watch.h"

#include <SDL_syswm.h>

#include <atomic>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#endif

namespace corvex::platform::sdl {

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

// Xlib's handler is one function for the whole process, so what it needs is here.
std::atomic<unsigned long> watchedWindow{0};
Display* watchedDisplay = nullptr;
std::atomic<bool> windowLost{false};
XErrorHandler handlerBefore = nullptr;

int NoteErrorAboutTheWindow(Display* display, XErrorEvent* error) {
  if (error->resourceid != 0 && error->resourceid == watchedWindow.load()) {
    windowLost = true;
    return 0;
  }
  return handlerBefore != nullptr ? handlerBefore(display, error) : 0;
}

}  // namespace

X11WindowWatch::X11WindowWatch(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
      info.subsystem != SDL_SYSWM_X11) {
    return;
  }
  watchedWindow = info.info.x11.window;
  watchedDisplay = info.info.x11.display;
  windowLost = false;
  handlerBefore = XSetErrorHandler(&NoteErrorAboutTheWindow);
  watching_ = true;
}

X11WindowWatch::~X11WindowWatch() {
  if (!watching_) return;
  // Errors come back some time after the request: those of the last requests about the window
  // (its destruction, when it is already gone) are fetched while this handler still takes them.
  XSync(watchedDisplay, False);
  XSetErrorHandler(handlerBefore);
  watchedWindow = 0;
}

bool X11WindowWatch::Lost() const { return watching_ && windowLost.load(); }

#else

X11WindowWatch::X11WindowWatch(SDL_Window*) {}
X11WindowWatch::~X11WindowWatch() = default;
bool X11WindowWatch::Lost() const { return false; }

#endif

}  // namespace corvex::platform::sdl
