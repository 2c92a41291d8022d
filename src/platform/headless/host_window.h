#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace corvex::platform::headless {

class HeadlessBackend;

// A media player's main window on the headless backend. It answers the plug-in's three
// requests (wm::User with lParam 105 playing position, 125 playlist index, 212 title of an
// entry) from whatever its owner scripts, keeps every other message it receives (the keys the
// plug-in passes on) and pumps the thread's messages as the player's loop would.
class HostWindow {
 public:
  explicit HostWindow(HeadlessBackend& backend);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  WindowHandle handle() const { return window_; }

  // Dispatches every queued message. Returns false once a quit message was taken: the
  // player then stops rendering and calls Quit.
  bool PumpMessages();

  std::function<int32_t()> playingPosition = [] { return 0; };
  std::function<int32_t()> playlistIndex = [] { return 0; };
  // The title of a playlist entry; no value makes the window answer with a null address.
  std::function<std::optional<std::string>(int32_t index)> title = [](int32_t) {
    return std::optional<std::string>{};
  };

  struct Received {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
  };
  std::vector<Received> received;  // every message other than the three requests
  int32_t positionRequests = 0;
  int32_t indexRequests = 0;
  int32_t titleRequests = 0;

 private:
  static intptr_t CORVEX_CALLBACK Procedure(WindowHandle window, uint32_t message,
                                            uintptr_t wParam, intptr_t lParam);
  intptr_t Answer(uint32_t message, uintptr_t wParam, intptr_t lParam);

  HeadlessBackend& backend_;
  WindowHandle window_ = nullptr;
  std::string titleAnswer_;  // stays readable until the next title request
};

}  // namespace corvex::platform::headless
