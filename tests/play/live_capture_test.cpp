// corvex play --capture against a real sound server: a PulseAudio daemon of the test's own
// with a null output, fed by a second client that plays a tone.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "play_test_support.h"
#include "plugin/vis_module.h"

namespace corvex::host::testing {
namespace {

pid_t Start(const std::vector<std::string>& arguments) {
  const pid_t child = fork();
  if (child == 0) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    freopen("/dev/null", "w", stdout);
    freopen("/dev/null", "w", stderr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

void Stop(pid_t child) {
  if (child <= 0) return;
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
}

bool Runs(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

// The daemon and the player of the tone, for the length of a test.
class SoundServer {
 public:
  SoundServer() {
    const std::string folder = LiveDesktop::Folder() + "/pulse";
    std::filesystem::create_directories(folder);
    socket_ = folder + "/native";
    setenv("PULSE_SERVER", ("unix:" + socket_).c_str(), 1);
    setenv("PULSE_RUNTIME_PATH", folder.c_str(), 1);
    setenv("PULSE_STATE_PATH", folder.c_str(), 1);
    // A daemon run by root is refused unless it is told it is not the system's.
    daemon_ = Start({"pulseaudio", "-n", "--daemonize=no", "--system=false",
                     "--exit-idle-time=60", "--use-pid-file=false", "-L",
                     "module-null-sink sink_name=corvex_null", "-L",
                     "module-native-protocol-unix auth-anonymous=1 socket=" + socket_});
    for (int i = 0; i < 50 && !ready_; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      ready_ = Runs("pactl info");
    }
    if (!ready_) {
      reason_ = "no PulseAudio server could be started here (pulseaudio and pactl from the "
                "pulseaudio and pulseaudio-utils packages)";
      return;
    }
    const std::string tone = WriteTrack("capture-tone.wav", 20.0, [](int64_t frame) {
      return static_cast<int16_t>(std::lround(16000.0 * std::sin(frame * 0.06)));
    });
    player_ = Start({"paplay", tone});
  }
  ~SoundServer() {
    Stop(player_);
    Stop(daemon_);
    unsetenv("PULSE_SERVER");
    unsetenv("PULSE_RUNTIME_PATH");
    unsetenv("PULSE_STATE_PATH");
  }
  bool ready() const { return ready_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string socket_;
  pid_t daemon_ = -1;
  pid_t player_ = -1;
  bool ready_ = false;
  std::string reason_;
};

bool Silent(const VisModule& module) {
  for (const uint8_t byte : module.waveformData[0]) {
    if (byte != 0) return false;
  }
  return true;
}

TEST(LiveCapture, RecordsWhatTheComputerPlaysFromTheOutputsMonitor) {
  REQUIRE_DISPLAY();
  SoundServer server;
  if (!server.ready()) GTEST_SKIP() << server.reason();
  const char* oldDriver = std::getenv("SDL_AUDIODRIVER");
  const std::string restore = oldDriver ? oldDriver : "";
  setenv("SDL_AUDIODRIVER", "pulseaudio", 1);

  PlayConfig config = LiveConfig("capture");
  config.capture = true;
  config.refreshHz = 60.0;
  config.maxFrames = 240;
  FILE* notes = std::tmpfile();
  config.notes = notes;
  PlaySession session(nullptr, config);  // nothing to open: the sound is recorded
  std::vector<double> positions;
  int heardFrames = 0;
  session.afterFrame = [&](int64_t) {
    positions.push_back(session.visSeconds());
    if (!Silent(*session.module())) ++heardFrames;
  };
  const PlayResult result = session.Run();
  setenv("SDL_AUDIODRIVER", restore.c_str(), 1);

  EXPECT_EQ(result.frames, 240);
  ASSERT_FALSE(positions.empty());
  EXPECT_GT(positions.back() - positions.front(), 1.0) << "the position rises with the recording";
  EXPECT_GT(heardFrames, 45) << "the tone reaches the vis data";
  std::rewind(notes);
  char line[256] = {};
  ASSERT_NE(std::fgets(line, sizeof line, notes), nullptr);
  std::fclose(notes);
  EXPECT_NE(std::string(line).find("monitor of the default output"), std::string::npos) << line;
}

}  // namespace
}  // namespace corvex::host::testing
