#include "platform/window_registry.h"

#include <mutex>
#include <unordered_map>

namespace corvex::platform {

namespace {

struct Registry {
  std::mutex lock;
  std::unordered_map<WindowHandle, Backend*> windows;
};

// Never destroyed: windows that outlive main (a static backend's) still unregister safely.
Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

}  // namespace

void RegisterWindow(WindowHandle window, Backend& backend) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  registry.windows[window] = &backend;
}

void UnregisterWindow(WindowHandle window) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  registry.windows.erase(window);
}

Backend* FindWindowBackend(WindowHandle window) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  const auto found = registry.windows.find(window);
  return found == registry.windows.end() ? nullptr : found->second;
}

}  // namespace corvex::platform
