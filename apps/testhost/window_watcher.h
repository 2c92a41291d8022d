#pragma once
#include <windows.h>

#include <atomic>
#include <thread>

namespace testhost {

// Watches the process's top-level windows from a thread of its own, as a person in front of
// the screen would: prints each window as it appears and goes, reads the text of message boxes
// and of the About box, and (when asked) presses their OK button.
class WindowWatcher {
 public:
  explicit WindowWatcher(bool pressOk);
  ~WindowWatcher();
  WindowWatcher(const WindowWatcher&) = delete;
  WindowWatcher& operator=(const WindowWatcher&) = delete;

 private:
  void Run();

  bool pressOk_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace testhost
