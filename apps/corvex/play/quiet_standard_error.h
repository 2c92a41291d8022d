#pragma once
// While one lives, what the process writes to its standard error goes nowhere. The libraries
// under SDL print lines of their own when no device or display answers (up to eight of ALSA's,
// one of Wayland's, before corvex's one-line note); SDL reports the same failure through
// SDL_GetError, which the note quotes. Held only around opening the sound and the display, at
// moments when corvex itself prints nothing.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace corvex::host {

class QuietStandardError {
 public:
  QuietStandardError() {
    std::fflush(stderr);
    saved_ = ::dup(STDERR_FILENO);
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && nowhere >= 0) ::dup2(nowhere, STDERR_FILENO);
    if (nowhere >= 0) ::close(nowhere);
  }
  ~QuietStandardError() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
  }
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace corvex::host
