// A long run of the plug-in on the headless backend, as a player would drive it for hours: at
// 640x480, a random key every 50 frames, a display change through the Configuration Panel every
// 5,000 frames (full screen, windowed and background mode at 16 and 32 bits; a short run changes
// more often, so that it still makes twenty changes), a new song every 3,000. Resident memory is
// read at every tenth of the run, printed as one line, and must not grow after the first tenth.
// Then Init and Quit run again and again in the same process, and every save must write the
// same settings file as the first.
//
//   corvex_soak [FRAMES] [CYCLES]       (default 5000 frames, 100 cycles)
//
// Exits 0 when everything held; otherwise prints what failed and exits 1.
#include <unistd.h>

#include <algorithm>
#include <array>
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

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORVEX_SOAK_UNDER_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define CORVEX_SOAK_UNDER_ASAN 1
#endif

// Freed memory waits in AddressSanitizer's quarantine before it is reused; a small quarantine
// keeps the resident figures about the plug-in's own memory.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }

namespace corvex::soak {
namespace {

using namespace platform;

constexpr int64_t kMiB = 1 << 20;
constexpr int64_t kDisplayChangeEvery = 5000;
constexpr int64_t kFewestDisplayChanges = 20;

// The display changes cycle through six configurations (three modes at two depths), and each
// holds surfaces of its own size: windowed and background mode draw through the 1024x768
// desktop. So the figures that are compared are those taken just after a change to the same
// configuration: the first after the first tenth of the run and the highest after it. Without a
// sanitizer they stay within about 1 MiB (a scene's transient map comes and goes). A 640x480
// frame buffer (0.6 MiB at 16 bits) kept per display change grows each configuration's figure by
// 7 MiB or more between its first and its last appearance at 5,000 frames, 18 MiB at 200,000.
// Under AddressSanitizer the quarantine and the allocator's size classes add churn of their own
// (5 MiB in 5,000 frames, 7.5 MiB in 60,000): there a lost buffer is LeakSanitizer's to find,
// and one kept in a growing container this limit's over the full run; the 5,000-frame run
// without a sanitizer is the one that catches it in a short run.
constexpr int kConfigurations = 6;
#if defined(CORVEX_SOAK_UNDER_ASAN)
constexpr int64_t kMaxGrowthBytes = 16 * kMiB;
#else
constexpr int64_t kMaxGrowthBytes = 3 * kMiB;
#endif

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
    const int64_t changeEvery =
        std::max<int64_t>(1, std::min(kDisplayChangeEvery, frames / kFewestDisplayChanges));
    std::array<int64_t, kConfigurations> baseline{}, highest{};
    int64_t tenth = 1;
    std::printf("resident MiB at each tenth of %lld frames:", static_cast<long long>(frames));
    for (int64_t frame = 1; frame <= frames && failures == 0; ++frame) {
      position_ = frame % 3000 == 0 ? 0 : position_ + 33;
      if (frame % 3000 == 0) ++song_;
      player_.FillAudio(static_cast<uint8_t>(frame * 7 + frame / 13),
                        static_cast<uint8_t>((frame * 3) ^ (frame >> 4)));
      player_.Render();
      if (frame % 50 == 0) PressRandomKey();
      const bool change = frame % changeEvery == 0;
      if (change) ChangeDisplay(frame / changeEvery);
      if (!player_.Pump()) Check(false, "the plug-in asked to end in frame " + std::to_string(frame));
      if (change && frame > frames / 10) {
        const size_t configuration = static_cast<size_t>(frame / changeEvery % kConfigurations);
        const int64_t resident = ResidentBytes();
        if (baseline[configuration] == 0) baseline[configuration] = resident;
        highest[configuration] = std::max(highest[configuration], resident);
      }
      if (frame == frames * tenth / 10) {
        std::printf(" %.1f", static_cast<double>(ResidentBytes()) / kMiB);
        std::fflush(stdout);  // a long run shows each figure when it has it
        ++tenth;
      }
    }
    std::printf("\n");
    int64_t largest = 0;
    for (size_t configuration = 0; configuration < kConfigurations; ++configuration) {
      const int64_t growth = highest[configuration] - baseline[configuration];
      largest = std::max(largest, growth);
      Check(growth <= kMaxGrowthBytes,
            "resident memory in display configuration " + std::to_string(configuration) + " grew by " +
                std::to_string(growth >> 10) + " KiB after the first tenth (at most " +
                std::to_string(kMaxGrowthBytes >> 10) + " KiB)");
    }
    std::printf("largest growth after a display change, same configuration: %lld KiB (at most %lld)\n",
                static_cast<long long>(largest >> 10), static_cast<long long>(kMaxGrowthBytes >> 10));
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
