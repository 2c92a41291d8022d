#pragma once
#include <cstdint>
#include <optional>

#include <SDL.h>

#include "platform/handles.h"

namespace corvex::platform::sdl {

// A key press as the plug-in's window gets it: the message (key down, or system key down
// while Alt is held), the virtual-key code and the key data word.
struct KeyMessage {
  uint32_t message;
  uint32_t virtualKey;
  intptr_t keyData;
};

// The virtual-key code of an SDL key; none for keys a keyboard message never carries.
std::optional<uint32_t> VirtualKeyOf(SDL_Keycode key);

// The message a key-down event makes; none for a key without a virtual-key code.
std::optional<KeyMessage> KeyMessageOf(const SDL_KeyboardEvent& event);

}  // namespace corvex::platform::sdl
