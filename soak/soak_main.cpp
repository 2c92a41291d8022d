// A long run of the plug-in on the headless backend, as a player would drive it for hours: at
// 640x480, a random key every 50 frames, a display change through the Configuration Panel every
// 5,000 frames (full screen, windowed and background mode at 16 and 32 bits), a new song every
// 3,000. Resident memory is read at 10 % and at the end of the run and must stay flat. Then
// Init and Quit run again and again in the same process, and every save must write the same
// settings file as the first.
//
//   corvex_soak [FRAMES] [CYCLES]       (default 5000 frames, 100 cycles)
//
// Exits 0 when everything held; otherwise prints what failed and exits 1.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "base/process_objects.h"
#include "base/random.h"
#include "dialogs/config_dialog.h"
#include "platform/dialog_system.h"
#include "platform/messages.h"
#include "plugin/plugin_objects.h"
#include "support/plugin_harness.h"
#include "video/video.h"

// Freed memory waits in AddressSanitizer's quarantine before it is reused; a small quarantine
// keeps the resident figures about the plug-in's own memory.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }

namespace corvex::soak {
namespace {

using namespace platform;

// Between 10 % and the end of the run. At 5,000 frames the sanitizer's quarantine is still
// filling after the first tenth (about 7 MiB of it under AddressSanitizer); a map or a buffer
// lost per scene or per display change grows without end.
constexpr int64_t kMaxGrowthBytes = 16 << 20;

int failures = 0;
void Check(bool holds, const std::string& what) {
  if (holds) return;
  std::fprintf(stderr, "corvex_soak: %s\n", what.c_str());
  ++failures;
}

int64_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  int64_t size = 0, resident = 0;
  statm >> size >> resident;
  return resident * ::sysconf(_SC_PAGESIZE);
}

class Soak {
 public:
  Soak() {
    host().playingPosition = [this] { return position_; };
    host().playlistIndex = [this] { return song_; };
    host().title = [](int32_t index) {
      return std::optional<std::string>("Song " + std::to_string(index));
    };
    player_.windows().onMessageBox = [](const headless::MessageBoxRecord& box) {
      Check(false, "a message box: " + box.text);
    };
  }

  void Run(int64_t frames) {
    SeedRandom(11);
    Check(player_.Init() == 0, "Init refused");
    int64_t residentAtTenth = 0;
    for (int64_t frame = 1; frame <= frames && failures == 0; ++frame) {
      position_ = frame % 3000 == 0 ? 0 : position_ + 33;
      if (frame % 3000 == 0) ++song_;
      player_.FillAudio(static_cast<uint8_t>(frame * 7 + frame / 13),
                        static_cast<uint8_t>((frame * 3) ^ (frame >> 4)));
      player_.Render();
      if (frame % 50 == 0) PressRandomKey();
      if (frame % 5000 == 0) ChangeDisplay(frame / 5000);
      if (!player_.Pump()) Check(false, "the plug-in asked to end in frame " + std::to_string(frame));
      if (frame == frames / 10) residentAtTenth = ResidentBytes();
      if (frame == frames / 10 || frame == frames) {
        std::printf("frame %lld: resident %.1f MiB\n", static_cast<long long>(frame),
                    static_cast<double>(ResidentBytes()) / (1 << 20));
        std::fflush(stdout);  // a long run shows its first figure when it has it
      }
    }
    const int64_t growth = ResidentBytes() - residentAtTenth;
    Check(growth <= kMaxGrowthBytes, "resident memory grew by " + std::to_string(growth >> 10) +
                                         " KiB after the first tenth");
    player_.Quit();
    CheckNothingLeft();
  }

  void Cycles(int cycles) {
    std::string first;
    for (int cycle = 1; cycle <= cycles && failures == 0; ++cycle) {
      Check(player_.Init() == 0, "Init refused in cycle " + std::to_string(cycle));
      for (int frame = 0; frame < 3; ++frame) player_.Render();
      player_.Quit();
      CheckNothingLeft();
      const std::string saved = testing::PluginHarness::ReadFile(player_.FileBesidePlugin("vis_corvex.ini"));
      if (cycle == 1) first = saved;
      Check(!saved.empty() && saved == first, "cycle " + std::to_string(cycle) + " saved another file");
    }
    std::printf("%d Init/Quit cycles, every save the same %zu bytes\n", cycles, first.size());
  }

 private:
  headless::HostWindow& host() { return player_.host(); }

  void PressRandomKey() {
    static constexpr uint32_t kKeys[] = {vk::Tab, vk::Space, vk::F1, vk::F2, vk::F3, vk::F4, vk::F5,
                                         vk::F6,  vk::F7,    vk::F8, vk::F9, vk::F12, 'X', vk::Return};
    const uint32_t key = kKeys[random_() % std::size(kKeys)];
    const uint32_t message = random_() % 4 == 0 ? wm::SysKeyDown : wm::KeyDown;
    player_.windows().PostWindowMessage(theVideo->window, message, key, 0);
  }

  // Through the panel, as a user would: open it, pick the mode and 640x480 at one of the two
  // depths, Done.
  void ChangeDisplay(int64_t change) {
    static constexpr int32_t kModeButtons[] = {1061, 1006, 1008};
    const int32_t mode = static_cast<int32_t>(change % 3);
    const char* name = (change / 3) % 2 == 0 ? "640x480x16" : "640x480x32";
    if (theConfigDialog == nullptr) player_.windows().SendWindowMessage(theVideo->window, wm::KeyDown, vk::Tab, 0);
    const WindowHandle panel = theConfigDialog->window;
    auto& dialogs = player_.backend().dialogs;
    dialogs.Click(panel, kModeButtons[mode]);
    int32_t index = -1;
    for (int32_t i = 0; i < theVideo->modeCount[mode]; ++i) {
      if (std::string(theVideo->modeNames[mode][i]) == name) index = i;
    }
    Check(index >= 0, std::string("no ") + name + " in display mode " + std::to_string(mode));
    dialogs.ChooseListItem(panel, 1004, index);
    dialogs.Click(panel, 1009);
    Check(theVideo->displayMode == mode && theVideo->width == 640 && theVideo->height == 480,
          "the display change to mode " + std::to_string(mode) + " did not apply");
  }

  void CheckNothingLeft() {
    auto& display = player_.display();
    Check(display.LiveSurfaces() + display.LiveClippers() + display.LiveDirectDrawObjects() == 0,
          "Quit left display objects");
    Check(player_.windows().LiveWindows().size() == 1, "Quit left windows");
    Check(player_.windows().trayIcons.empty(), "Quit left the icon");
  }

  testing::PluginHarness player_;
  std::minstd_rand random_{5};
  int32_t position_ = 0;
  int32_t song_ = 0;
};

}  // namespace
}  // namespace corvex::soak

int main(int argc, char** argv) {
  const long long frames = argc > 1 ? std::atoll(argv[1]) : 5000;
  const int cycles = argc > 2 ? std::atoi(argv[2]) : 100;
  if (frames < 10 || cycles < 1) {
    std::fprintf(stderr, "usage: corvex_soak [FRAMES >= 10] [CYCLES >= 1]\n");
    return 2;
  }
  corvex::soak::Soak soak;
  soak.Run(frames);
  if (corvex::soak::failures == 0) soak.Cycles(cycles);
  return corvex::soak::failures == 0 ? 0 : 1;
}
