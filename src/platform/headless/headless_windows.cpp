#include "platform/headless/headless_windows.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/messages.h"

namespace corvex::platform::headless {

namespace {

// A window's edges are 32-bit coordinates. A place so far out that the far edge would not fit
// (a position from a settings file edited by hand, say) is pulled back until it does, so the
// window keeps its size and no sum leaves the range.
void PlaceSpan(int64_t origin, int64_t extent, int32_t* low, int32_t* high) {
  constexpr int64_t kLowest = INT32_MIN, kHighest = INT32_MAX;
  extent = std::clamp<int64_t>(extent, 0, kHighest);
  origin = std::clamp(origin, kLowest, kHighest - extent);
  *low = static_cast<int32_t>(origin);
  *high = static_cast<int32_t>(origin + extent);
}

Rect PlacedRect(int64_t x, int64_t y, int64_t width, int64_t height) {
  Rect r;
  PlaceSpan(x, width, &r.left, &r.right);
  PlaceSpan(y, height, &r.top, &r.bottom);
  return r;
}

}  // namespace

HeadlessWindows::HeadlessWindows(Backend& backend) : backend_(backend) {}

HeadlessWindows::~HeadlessWindows() = default;

HeadlessWindows::Window* HeadlessWindows::Find(WindowHandle window) const {
  for (const auto& live : windows_) {
    if (live.get() == window) return live.get();
  }
  return nullptr;
}

std::vector<HeadlessWindows::Window*> HeadlessWindows::LiveWindows() const {
  std::vector<Window*> result;
  for (const auto& live : windows_) result.push_back(live.get());
  return result;
}

bool HeadlessWindows::RegisterWindowClass(const char* className, WindowProcedure procedure,
                                          InstanceHandle) {
  if (failures.Take("RegisterClass")) return false;
  if (className == nullptr || procedure == nullptr || classes_.count(className) != 0) return false;
  classes_[className] = procedure;
  return true;
}

bool HeadlessWindows::UnregisterWindowClass(const char* className, InstanceHandle) {
  if (className == nullptr) return false;
  return classes_.erase(className) != 0;
}

WindowHandle HeadlessWindows::CreateClassWindow(const char* className, const char* title,
                                                uint32_t style, int32_t x, int32_t y, int32_t width,
                                                int32_t height, WindowHandle owner,
                                                InstanceHandle instance) {
  if (failures.Take("CreateWindow")) return nullptr;
  auto registered = className ? classes_.find(className) : classes_.end();
  if (registered == classes_.end()) return nullptr;
  auto window = std::make_unique<Window>(backend_, registered->second);
  window->className = className;
  window->title = title ? title : "";
  window->style = style;
  window->rect = PlacedRect(x, y, width, height);
  window->visible = (style & ws::Visible) != 0;
  window->owner = owner;
  window->instance = instance;
  Window* created = window.get();
  windows_.push_back(std::move(window));
  created->procedure(created, wm::Create, 0, 0);
  return created;
}

bool HeadlessWindows::DestroyWindow(WindowHandle window) {
  Window* found = Find(window);
  if (found == nullptr) return false;
  // As on Windows, the windows it owns (an open dialog) go first, each with its own message.
  std::vector<WindowHandle> owned;
  for (const auto& live : windows_) {
    if (live->owner == window) owned.push_back(live.get());
  }
  for (WindowHandle each : owned) DestroyWindow(each);
  found->procedure(found, wm::Destroy, 0, 0);
  // Messages still queued for the window go with it.
  std::erase_if(queue_, [window](const Message& m) { return m.window == window; });
  std::erase_if(windows_, [found](const auto& live) { return live.get() == found; });
  if (activeWindow == window) activeWindow = nullptr;
  if (focusWindow == window) focusWindow = nullptr;
  return true;
}

bool HeadlessWindows::SetWindowPos(WindowHandle window, int32_t x, int32_t y, int32_t width,
                                   int32_t height, uint32_t flags) {
  Window* found = Find(window);
  if (found == nullptr || failures.Take("SetWindowPos")) return false;
  Rect& r = found->rect;
  const int64_t left = (flags & swp::NoMove) == 0 ? x : r.left;
  const int64_t top = (flags & swp::NoMove) == 0 ? y : r.top;
  const int64_t w = (flags & swp::NoSize) == 0 ? width : int64_t{r.right} - r.left;
  const int64_t h = (flags & swp::NoSize) == 0 ? height : int64_t{r.bottom} - r.top;
  r = PlacedRect(left, top, w, h);
  if (flags & swp::ShowWindow) found->visible = true;
  if (flags & swp::HideWindow) found->visible = false;
  WindowPosition position{window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                          flags};
  found->procedure(found, wm::WindowPosChanged, 0, reinterpret_cast<intptr_t>(&position));
  return true;
}

bool HeadlessWindows::ShowWindow(WindowHandle window, int32_t command) {
  Window* found = Find(window);
  if (found == nullptr) return false;
  const bool wasVisible = found->visible;
  found->visible = command != sw::Hide;
  found->minimized = command == sw::Minimize;
  return wasVisible;
}

bool HeadlessWindows::GetWindowRect(WindowHandle window, Rect* rect) {
  Window* found = Find(window);
  if (found == nullptr || rect == nullptr) return false;
  *rect = found->rect;
  return true;
}

void HeadlessWindows::SetUserData(WindowHandle window, intptr_t value) {
  if (Window* found = Find(window)) found->userData = value;
}

intptr_t HeadlessWindows::GetUserData(WindowHandle window) {
  Window* found = Find(window);
  return found ? found->userData : 0;
}

intptr_t HeadlessWindows::SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                            intptr_t lParam) {
  Window* found = Find(window);
  return found ? found->procedure(found, message, wParam, lParam) : 0;
}

bool HeadlessWindows::PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                        intptr_t lParam) {
  if (window != nullptr && Find(window) == nullptr) return false;
  queue_.push_back(Message{window, message, wParam, lParam});
  return true;
}

void HeadlessWindows::PostQuitMessage(int32_t code) {
  queue_.push_back(Message{nullptr, wm::Quit, static_cast<uintptr_t>(code), 0});
}

bool HeadlessWindows::PeekWindowMessage(Message* message) {
  if (queue_.empty() && onIdle) onIdle();
  if (queue_.empty()) return false;
  *message = queue_.front();
  queue_.pop_front();
  return true;
}

intptr_t HeadlessWindows::DispatchWindowMessage(const Message& message) {
  if (message.window == nullptr) return 0;
  return SendWindowMessage(message.window, message.message, message.wParam, message.lParam);
}

bool HeadlessWindows::SetWallpaper(const char* path) {
  wallpaper = path ? path : "";
  wallpaperHistory.push_back(wallpaper);
  return true;
}

bool HeadlessWindows::NotifyIcon(uint32_t action, const TrayIconRecord& record) {
  auto same = [&record](const TrayIconRecord& shown) {
    return shown.window == record.window && shown.id == record.id;
  };
  if (action == nim::Add) {
    if (std::any_of(trayIcons.begin(), trayIcons.end(), same)) return false;
    trayIcons.push_back(record);
    return true;
  }
  if (action == nim::Delete) return std::erase_if(trayIcons, same) != 0;
  return false;
}

IconHandle HeadlessWindows::LoadIconResource(InstanceHandle, int32_t resourceId) {
  // A handle that names the resource; nothing on this backend draws it.
  return reinterpret_cast<IconHandle>(static_cast<intptr_t>(0x1000 + resourceId));
}

int32_t HeadlessWindows::ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                                        uint32_t type) {
  messageBoxes.push_back(MessageBoxRecord{owner, text ? text : "", caption ? caption : "", type});
  if (onMessageBox) onMessageBox(messageBoxes.back());
  return id::Ok;
}

void HeadlessWindows::ExitProcess(int32_t status) {
  exits.push_back(status);
  if (onExit) onExit(status);
  throw ProcessExit(status);
}

size_t HeadlessWindows::GetModulePath(InstanceHandle, char* buffer, size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  const size_t length = std::min(moduleFileName.size(), size - 1);
  std::memcpy(buffer, moduleFileName.data(), length);
  buffer[length] = '\0';
  return length;
}

}  // namespace corvex::platform::headless
