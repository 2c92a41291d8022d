#pragma once
#include <SDL.h>

namespace corvex::host::testing {

// Destroys the window from a connection of its own, as another program on the display can
// (xdotool windowclose does): SDL learns of it only from the errors its next requests about the
// window bring. False where the window is not an X11 one or the display cannot be opened.
bool DestroyAsAnotherXClient(SDL_Window* window);

}  // namespace corvex::host::testing
