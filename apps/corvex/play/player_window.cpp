#include "play/player_window.h"

#include <stdexcept>

#include "platform/backend.h"
#include "platform/messages.h"
#include "platform/window_system.h"

namespace corvex::host {

namespace {
constexpr const char* kPlayerClass = "Corvex player";
constexpr intptr_t kPositionRequest = 105;
constexpr intptr_t kIndexRequest = 125;
constexpr intptr_t kTitleRequest = 212;
}  // namespace

PlayerWindow::PlayerWindow(platform::WindowSystem& windows) : windows_(windows) {
  windows_.RegisterWindowClass(kPlayerClass, &PlayerWindow::Procedure, nullptr);
  window_ = windows_.CreateClassWindow(kPlayerClass, "Corvex", 0, 0, 0, 275, 116, nullptr, nullptr);
  if (window_ == nullptr) throw std::runtime_error("the player window was not created");
  windows_.SetUserData(window_, reinterpret_cast<intptr_t>(this));
}

PlayerWindow::~PlayerWindow() {
  windows_.SetUserData(window_, 0);
  windows_.DestroyWindow(window_);
  windows_.UnregisterWindowClass(kPlayerClass, nullptr);
}

bool PlayerWindow::PumpMessages() {
  platform::Message message;
  while (windows_.PeekWindowMessage(&message)) {
    if (message.message == platform::wm::Quit) return false;
    windows_.TranslateMessage(message);
    windows_.DispatchWindowMessage(message);
  }
  return true;
}

intptr_t CORVEX_CALLBACK PlayerWindow::Procedure(platform::WindowHandle window, uint32_t message,
                                                 uintptr_t wParam, intptr_t lParam) {
  platform::WindowSystem& windows = platform::BackendOf(window).Windows();
  auto* player = reinterpret_cast<PlayerWindow*>(windows.GetUserData(window));
  return player ? player->Answer(message, wParam, lParam)
                : windows.DefaultWindowProc(window, message, wParam, lParam);
}

intptr_t PlayerWindow::Answer(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == platform::wm::User && lParam == kPositionRequest) return playingPosition();
  if (message == platform::wm::User && lParam == kIndexRequest) return playlistIndex();
  if (message == platform::wm::User && lParam == kTitleRequest) {
    std::optional<std::string> text = title(static_cast<int32_t>(wParam));
    if (!text) return 0;
    titleAnswer_ = *text;
    return reinterpret_cast<intptr_t>(titleAnswer_.c_str());
  }
  if (message == platform::wm::KeyDown || message == platform::wm::SysKeyDown) {
    onKey(message, static_cast<uint32_t>(wParam));
    return 0;
  }
  return windows_.DefaultWindowProc(window_, message, wParam, lParam);
}

}  // namespace corvex::host
