#pragma once
#include <SDL.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "corvex/test_files.h"
#include "live_desktop.h"
#include "play/play_session.h"
#include "platform/sdl/sdl_backend.h"

namespace corvex::host::testing {

// A 16-bit stereo WAV of the given length in the suite's folder; sample(frame) gives both
// channels.
inline std::string WriteTrack(const std::string& name, double seconds,
                              const std::function<int16_t(int64_t)>& sample,
                              int32_t rate = 44100) {
  const std::string path = LiveDesktop::Folder() + "/" + name;
  WriteAudio(path, rate, 2, static_cast<int64_t>(seconds * rate),
             [&sample](int64_t frame, int32_t) { return sample(frame); });
  return path;
}

inline int16_t QuietTone(int64_t frame) {
  return static_cast<int16_t>(std::lround(3000.0 * std::sin(frame * 0.05)));
}

// What a session opens its playlists with.
inline std::function<Playlist()> OpenFiles(std::vector<std::string> files) {
  return [files] { return Playlist::FromFiles(files); };
}

// Things to do after given frames of a live run, in order.
class FrameScript {
 public:
  void At(int64_t frame, std::function<void()> action) { actions_.emplace(frame, std::move(action)); }
  void operator()(int64_t frame) {
    auto [first, last] = actions_.equal_range(frame);
    for (auto it = first; it != last; ++it) it->second();
  }

 private:
  std::multimap<int64_t, std::function<void()>> actions_;
};

// Events as the user's keyboard and mouse put them into SDL's queue.
inline void PressKey(SDL_Window* window, SDL_Keycode key, uint16_t modifiers = KMOD_NONE) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.windowID = SDL_GetWindowID(window);
  event.key.state = SDL_PRESSED;
  event.key.keysym.sym = key;
  event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
  event.key.keysym.mod = modifiers;
  SDL_PushEvent(&event);
  event.type = SDL_KEYUP;
  event.key.state = SDL_RELEASED;
  SDL_PushEvent(&event);
}

// The pointer goes to (x, y) of the window; a button press follows with PressButton.
inline void MovePointer(SDL_Window* window, float x, float y) {
  SDL_WarpMouseInWindow(window, static_cast<int>(x), static_cast<int>(y));
}

inline void PressButton(SDL_Window* window, bool down) {
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.windowID = SDL_GetWindowID(window);
  event.button.button = SDL_BUTTON_LEFT;
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = 1;
  SDL_PushEvent(&event);
}

// A live run's settings live in their own folder of the suite's temporary folder.
inline PlayConfig LiveConfig(const std::string& folderName) {
  PlayConfig config;
  config.pluginFolder = LiveDesktop::Folder() + "/" + folderName;
  std::filesystem::create_directories(config.pluginFolder);
  config.showMessageBoxes = false;
  config.seed = 11;
  return config;
}

}  // namespace corvex::host::testing
