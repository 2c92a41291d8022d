#include "platform/headless/host_window.h"

#include <stdexcept>

#include "platform/headless/headless_backend.h"
#include "platform/messages.h"

namespace corvex::platform::headless {

namespace {
constexpr const char* kHostClass = "Corvex headless host";
}

HostWindow::HostWindow(HeadlessBackend& backend) : backend_(backend) {
  HeadlessWindows& windows = backend_.windows;
  windows.RegisterWindowClass(kHostClass, &HostWindow::Procedure, nullptr);  // once per backend
  window_ = windows.CreateClassWindow(kHostClass, "Player", ws::Visible, 0, 0, 275, 116, nullptr,
                                      nullptr);
  if (window_ == nullptr) throw std::runtime_error("the headless host window was not created");
  windows.SetUserData(window_, reinterpret_cast<intptr_t>(this));
}

HostWindow::~HostWindow() {
  backend_.windows.SetUserData(window_, 0);
  backend_.windows.DestroyWindow(window_);
}

bool HostWindow::PumpMessages() {
  Message message;
  while (backend_.windows.PeekWindowMessage(&message)) {
    if (message.message == wm::Quit) return false;
    backend_.windows.TranslateMessage(message);
    backend_.windows.DispatchWindowMessage(message);
  }
  return true;
}

intptr_t CORVEX_CALLBACK HostWindow::Procedure(WindowHandle window, uint32_t message,
                                               uintptr_t wParam, intptr_t lParam) {
  auto& windows = static_cast<HeadlessWindows&>(
      static_cast<HeadlessWindows::Window*>(window)->backend->Windows());
  auto* host = reinterpret_cast<HostWindow*>(windows.GetUserData(window));
  return host ? host->Answer(message, wParam, lParam) : 0;
}

intptr_t HostWindow::Answer(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == wm::User && lParam == 105) {
    ++positionRequests;
    return playingPosition();
  }
  if (message == wm::User && lParam == 125) {
    ++indexRequests;
    return playlistIndex();
  }
  if (message == wm::User && lParam == 212) {
    ++titleRequests;
    std::optional<std::string> text = title(static_cast<int32_t>(wParam));
    if (!text) return 0;
    titleAnswer_ = *text;
    return reinterpret_cast<intptr_t>(titleAnswer_.c_str());
  }
  received.push_back(Received{message, wParam, lParam});
  return 0;
}

}  // namespace corvex::platform::headless
