#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/handles.h"

namespace corvex::platform {
class WindowSystem;
}

namespace corvex::host {

// The live player's main window: it answers the plug-in's three requests (WM_USER with lParam
// 105 playing position, 125 playlist index, 212 title of an entry) and takes the keys the
// plug-in passes on, as a media player's window does.
class PlayerWindow {
 public:
  explicit PlayerWindow(platform::WindowSystem& windows);
  ~PlayerWindow();
  PlayerWindow(const PlayerWindow&) = delete;
  PlayerWindow& operator=(const PlayerWindow&) = delete;

  platform::WindowHandle handle() const { return window_; }

  // Dispatches every queued message; false once a quit message was taken.
  bool PumpMessages();

  std::function<int32_t()> playingPosition = [] { return 0; };
  std::function<int32_t()> playlistIndex = [] { return 0; };
  std::function<std::optional<std::string>(int32_t index)> title = [](int32_t) {
    return std::optional<std::string>{};
  };
  // A key the plug-in passed on (its message and virtual-key code).
  std::function<void(uint32_t message, uint32_t virtualKey)> onKey = [](uint32_t, uint32_t) {};

 private:
  static intptr_t CORVEX_CALLBACK Procedure(platform::WindowHandle window, uint32_t message,
                                            uintptr_t wParam, intptr_t lParam);
  intptr_t Answer(uint32_t message, uintptr_t wParam, intptr_t lParam);

  platform::WindowSystem& windows_;
  platform::WindowHandle window_ = nullptr;
  std::string titleAnswer_;  // stays readable until the next title request
};

}  // namespace corvex::host
