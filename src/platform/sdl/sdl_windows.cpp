#include "platform/sdl/sdl_windows.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/messages.h"
#include "platform/sdl/sdl_backend.h"

namespace corvex::platform::sdl {

SdlWindows::SdlWindows(headless::HeadlessWindows& store, SdlBackend& backend)
    : store_(store), backend_(backend) {}

bool SdlWindows::PeekWindowMessage(Message* message) {
  backend_.PumpEvents();
  if (store_.PeekWindowMessage(message)) return true;
  if (backend_.redrawWhenIdle) {
    backend_.Present();
    SDL_Delay(10);
  }
  return false;
}

intptr_t SdlWindows::DefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) {
  if (message == wm::Close) {
    store_.DestroyWindow(window);
    return 0;
  }
  return store_.DefaultWindowProc(window, message, wParam, lParam);
}

int32_t SdlWindows::ShowCursor(bool show) {
  const int32_t counter = store_.ShowCursor(show);
  SDL_ShowCursor(counter >= 0 ? SDL_ENABLE : SDL_DISABLE);
  return counter;
}

int32_t SdlWindows::ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                               uint32_t type) {
  store_.ShowMessageBox(owner, text, caption, type);
  const char* shownCaption = caption ? caption : "";
  const char* shownText = text ? text : "";
  if (!backend_.showMessageBoxes) {
    std::fprintf(stderr, "corvex: %s: %s\n", shownCaption, shownText);
    return id::Ok;
  }
  uint32_t flags = SDL_MESSAGEBOX_INFORMATION;
  if (std::strcmp(shownCaption, "Error") == 0) flags = SDL_MESSAGEBOX_ERROR;
  if (std::strcmp(shownCaption, "Warning") == 0) flags = SDL_MESSAGEBOX_WARNING;
  if (SDL_ShowSimpleMessageBox(flags, shownCaption, shownText, backend_.window()) != 0) {
    std::fprintf(stderr, "corvex: %s: %s\n", shownCaption, shownText);
  }
  return id::Ok;
}

uint32_t SdlWindows::Milliseconds() { return SDL_GetTicks(); }

}  // namespace corvex::platform::sdl
