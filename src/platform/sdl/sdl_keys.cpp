#include "platform/sdl/sdl_keys.h"

#include "platform/messages.h"

namespace corvex::platform::sdl {

namespace {

struct KeyCode {
  SDL_Keycode key;
  uint32_t virtualKey;
};

// Keys whose virtual-key codes do not follow from their characters (letters and digits do).
constexpr KeyCode kKeys[] = {
    {SDLK_BACKSPACE, 8},     {SDLK_TAB, vk::Tab},       {SDLK_RETURN, vk::Return},
    {SDLK_KP_ENTER, vk::Return}, {SDLK_PAUSE, 19},      {SDLK_CAPSLOCK, 20},
    {SDLK_ESCAPE, vk::Escape}, {SDLK_SPACE, vk::Space},  {SDLK_PAGEUP, 33},
    {SDLK_PAGEDOWN, 34},     {SDLK_END, 35},           {SDLK_HOME, 36},
    {SDLK_LEFT, 37},         {SDLK_UP, 38},            {SDLK_RIGHT, 39},
    {SDLK_DOWN, 40},         {SDLK_PRINTSCREEN, 44},   {SDLK_INSERT, 45},
    {SDLK_DELETE, 46},       {SDLK_LSHIFT, 16},        {SDLK_RSHIFT, 16},
    {SDLK_LCTRL, 17},        {SDLK_RCTRL, 17},         {SDLK_LALT, 18},
    {SDLK_RALT, 18},         {SDLK_KP_MULTIPLY, 106},  {SDLK_KP_PLUS, 107},
    {SDLK_KP_MINUS, 109},    {SDLK_KP_PERIOD, 110},    {SDLK_KP_DIVIDE, 111},
    {SDLK_SEMICOLON, 186},   {SDLK_EQUALS, 187},       {SDLK_COMMA, 188},
    {SDLK_MINUS, 189},       {SDLK_PERIOD, 190},       {SDLK_SLASH, 191},
    {SDLK_BACKQUOTE, 192},   {SDLK_LEFTBRACKET, 219},  {SDLK_BACKSLASH, 220},
    {SDLK_RIGHTBRACKET, 221}, {SDLK_QUOTE, 222},
};

}  // namespace

std::optional<uint32_t> VirtualKeyOf(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return static_cast<uint32_t>('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return static_cast<uint32_t>('0' + (key - SDLK_0));
  if (key >= SDLK_F1 && key <= SDLK_F12) return vk::F1 + static_cast<uint32_t>(key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 97 + static_cast<uint32_t>(key - SDLK_KP_1);
  if (key == SDLK_KP_0) return 96;
  for (const KeyCode& entry : kKeys) {
    if (entry.key == key) return entry.virtualKey;
  }
  return std::nullopt;
}

std::optional<KeyMessage> KeyMessageOf(const SDL_KeyboardEvent& event) {
  const std::optional<uint32_t> virtualKey = VirtualKeyOf(event.keysym.sym);
  if (!virtualKey) return std::nullopt;
  // With Alt held the key is a system key and its data carries the context bit, as Alt+Enter
  // and Alt+F4 reach a window; F10 is a system key of its own.
  const bool alt = (event.keysym.mod & KMOD_ALT) != 0;
  const bool system = alt || *virtualKey == vk::F10;
  intptr_t keyData = 1;  // repeat count
  keyData |= static_cast<intptr_t>(event.keysym.scancode & 0xFF) << 16;
  if (alt) keyData |= intptr_t{1} << 29;
  if (event.repeat != 0) keyData |= intptr_t{1} << 30;
  return KeyMessage{system ? wm::SysKeyDown : wm::KeyDown, *virtualKey, keyData};
}

}  // namespace corvex::platform::sdl
