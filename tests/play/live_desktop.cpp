#include "live_desktop.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "work_folder.h"

namespace corvex::host::testing {

namespace {

bool available = false;
std::string reason = "the X display was not started";
std::unique_ptr<WorkFolder> folder;

// A display number nobody holds, away from the low numbers other programs take for granted.
int FreeDisplay() {
  for (int number = 140 + getpid() % 200;; ++number) {
    if (!std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock") &&
        !std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number))) {
      return number;
    }
  }
}

// Starts Xvfb on a free display; -displayfd says when it is ready to take clients.
class XvfbEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    folder = std::make_unique<WorkFolder>();
    // Suites started at the same moment may pick the same free number; the loser tries again.
    std::string number;
    for (int attempt = 0; attempt < 5 && number.empty(); ++attempt) number = StartServer();
    if (number.empty()) {
      reason = "Xvfb could not be started (is the xvfb package installed?)";
      return;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
#if defined(__SANITIZE_ADDRESS__)
    // Mesa's GL driver, unloaded when SDL closes its video, leaves allocations behind that the
    // leak checker can no longer name; the sanitizer build draws with SDL's software renderer.
    setenv("SDL_RENDER_DRIVER", "software", 1);
#endif
    setenv("SDL_DISKAUDIOFILE", (folder->path() + "/played.raw").c_str(), 1);
    available = true;
  }

  void TearDown() override {
    Stop();
    folder.reset();
  }

 private:
  // The display number the new server took; empty when it did not start.
  std::string StartServer() {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return "";
    const std::string display = ":" + std::to_string(FreeDisplay());
    server_ = fork();
    if (server_ == 0) {
      close(pipeEnds[0]);
      const std::string fd = std::to_string(pipeEnds[1]);
      // -noreset: a server resets when its last client goes, and refuses the clients that come
      // meanwhile; a test that ends one session and starts the next would meet that moment.
      execlp("Xvfb", "Xvfb", display.c_str(), "-displayfd", fd.c_str(), "-screen", "0",
             "1920x1080x24", "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(pipeEnds[1]);
    std::string number;
    char c;
    while (read(pipeEnds[0], &c, 1) == 1 && c != '\n') number += c;
    close(pipeEnds[0]);
    if (server_ < 0 || number.empty()) {
      Stop();
      return "";
    }
    return number;
  }

  void Stop() {
    if (server_ > 0) {
      kill(server_, SIGTERM);
      waitpid(server_, nullptr, 0);
      server_ = -1;
    }
  }
  pid_t server_ = -1;
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

}  // namespace

bool LiveDesktop::Available() { return available; }
const std::string& LiveDesktop::Reason() { return reason; }
const std::string& LiveDesktop::Folder() { return folder->path(); }

}  // namespace corvex::host::testing

#if defined(__SANITIZE_ADDRESS__)
// SDL opens the X11, D-Bus and PulseAudio client libraries with dlopen and closes them when
// it quits; what they keep for the process is then reported without a name to tell it by. The
// leak check is left to the suites that run the plug-in on the headless backend; this one is
// still checked for every memory error.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
#endif
