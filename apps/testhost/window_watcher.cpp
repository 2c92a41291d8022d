#include "window_watcher.h"

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace testhost {

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;  // the static text of a system message box
constexpr int kAboutReadmeId = 1021;
constexpr int kAboutVersionId = 1023;

// The window's text without waiting for ever on a thread that does not answer.
std::string TextOf(HWND window) {
  char text[512] = {};
  DWORD_PTR length = 0;
  if (window == nullptr ||
      SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, 2000, &length) == 0) {
    return std::string();
  }
  return std::string(text);
}

// A top-level window's title, read without a message: the thread that owns the window may be
// busy drawing a frame.
std::string TitleOf(HWND window) {
  wchar_t wide[256] = {};
  const int length = InternalGetWindowText(window, wide, 256);
  std::string title;
  for (int i = 0; i < length; ++i) title += wide[i] < 128 ? static_cast<char>(wide[i]) : '?';
  return title;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

BOOL CALLBACK CollectOwnWindows(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(window)) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  }
  return TRUE;
}

}  // namespace

WindowWatcher::WindowWatcher(bool pressOk) : pressOk_(pressOk), thread_([this] { Run(); }) {}

WindowWatcher::~WindowWatcher() {
  stop_ = true;
  thread_.join();
}

void WindowWatcher::Run() {
  std::map<HWND, std::string> seen;  // each window's title, read once when it appears
  std::set<HWND> pressed;
  const auto reportClosed = [&] {
    for (auto it = seen.begin(); it != seen.end();) {
      if (!IsWindow(it->first)) {
        std::printf("window closed: %s\n", it->second.c_str());
        std::fflush(stdout);
        pressed.erase(it->first);
        it = seen.erase(it);
      } else {
        ++it;
      }
    }
  };
  while (!stop_) {
    std::vector<HWND> windows;
    EnumWindows(&CollectOwnWindows, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
      if (seen.count(window) == 0) {
        const std::string title = TitleOf(window);
        seen[window] = title;
        std::printf("window appeared: %s\n", title.c_str());
        if (title == "Error" || title == "Warning") {
          std::printf("message box %s: %s\n", title.c_str(),
                      TextOf(GetDlgItem(window, kMessageBoxTextId)).c_str());
        } else if (title == "About Corvex") {
          std::printf("about version: %s\n", TextOf(GetDlgItem(window, kAboutVersionId)).c_str());
          std::printf("about readme: %s\n",
                      FirstLine(TextOf(GetDlgItem(window, kAboutReadmeId))).c_str());
        }
        std::fflush(stdout);
      }
      const std::string& title = seen[window];
      const bool dismissable = title == "Error" || title == "Warning" || title == "About Corvex";
      if (pressOk_ && dismissable && pressed.insert(window).second) {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
      }
    }
    reportClosed();
    Sleep(50);
  }
  // Windows closed since the last look, such as those Quit closes just before the host stops
  // watching, are reported too.
  reportClosed();
}

}  // namespace testhost
