#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "base/process_objects.h"
#include "base/random.h"
#include "plugin/plugin_objects.h"
#include "scene/scene_manager.h"
#include "simd/cpu_features.h"
#include "support/plugin_harness.h"
#include "video/video.h"

namespace corvex::testing {
namespace {

TEST(PluginLifecycle, TwoRunsOfAThousandFramesAndTheSongTitleAcrossThem) {
  VisHeader* header = winampVisGetHeader();
  EXPECT_EQ(header->getModule(1), nullptr);
  EXPECT_EQ(header->getModule(-1), nullptr);
  SeedRandom(1);  // one renderer halves the peak as its scene starts: keep the draw fixed
  PluginHarness player;  // loads module 0 through the header
  const VisModule& module = player.module();
  EXPECT_EQ(std::string(header->description) + " / " + module.description,
            "Corvex v1.07 / Corvex v1.07");
  EXPECT_EQ((std::vector<int32_t>{header->version, module.latencyMs, module.spectrumNch,
                                  module.waveformNch}),
            (std::vector<int32_t>{0x101, 50, 2, 2}));
  platform::headless::HeadlessWindows& windows = player.windows();
  int32_t position = 0;
  player.host().playingPosition = [&] { return position; };
  player.host().playlistIndex = [] { return 4; };
  player.host().title = [](int32_t index) {
    return std::optional<std::string>("Entry " + std::to_string(index));
  };
  lastSongPosition = 99999999;  // as when the library has just been loaded
  auto renderFrames = [&](int from, int to, int waveStep) {
    for (int frame = from; frame <= to; ++frame) {
      position += 23;
      player.FillAudio(static_cast<uint8_t>(frame * waveStep), static_cast<uint8_t>(frame));
      ASSERT_EQ(player.Render(), 0);
      if (frame == 1) {
        EXPECT_STREQ(theVideo->messageText, "Entry 4");
      } else if (frame == 80) {
        EXPECT_EQ(theVideo->messageFrames, 0);  // the title shows for 80 frames
      }
    }
  };

  // First run: its first frame is a new song.
  ASSERT_EQ(player.Init(), 0);
  ASSERT_EQ(windows.trayIcons.size(), 1u);
  const platform::TrayIconRecord& icon = windows.trayIcons[0];
  EXPECT_EQ(std::make_tuple(icon.window, icon.id, icon.flags, icon.callbackMessage),
            std::make_tuple(theVideo->window, 106u, 3u, 1034u));
  EXPECT_EQ(player.display().PresentedPicture().width, 0);
  renderFrames(1, 1000, 7);
  EXPECT_STREQ(theSceneManager->songTitle, "Entry 4");
  EXPECT_EQ(player.display().PresentedPicture().height, 480);
  EXPECT_TRUE(player.Pump());
  EXPECT_EQ(player.host().titleRequests, 1);
  player.Quit();
  EXPECT_TRUE(theVideo == nullptr && theSceneManager == nullptr);
  EXPECT_TRUE(windows.trayIcons.empty());

  // Second run while the same song goes on: no title, the peak starts from 0.
  ASSERT_EQ(player.Init(), 0);
  player.FillAudio(0, 0);
  ASSERT_EQ(player.Render(), 0);
  EXPECT_EQ(theVideo->messageFrames, 0);
  EXPECT_EQ(theSceneManager->peakLevel, 0.0);
  renderFrames(2, 1000, 3);
  EXPECT_EQ(player.host().titleRequests, 1);
  player.Quit();
}

TEST(PluginLifecycle, WithoutMmxInitRefusesAndCreatesNothing) {
  PluginHarness player;
  processorCheck = [] { return 0; };
  EXPECT_EQ(player.Init(), 1);
  processorCheck = &HasMmx;
  ASSERT_EQ(player.windows().messageBoxes.size(), 1u);
  EXPECT_EQ(player.windows().messageBoxes[0].text, "MMX not detected, Corvex won't work.");
  EXPECT_EQ(player.windows().messageBoxes[0].caption, "Warning");
  EXPECT_EQ(player.windows().LiveWindows().size(), 1u);
  EXPECT_EQ(theVideo, nullptr);
  EXPECT_EQ(player.Render(), 0);  // a host that renders anyway gets no crash
}

TEST(PluginLibrary, TheLoadableLibraryExportsOnlyItsHeaderFunction) {
  PluginHarness player;  // for its folder
  const std::string listing = player.FileBesidePlugin("exports.txt");
  ASSERT_EQ(std::system(("nm -D --defined-only " CORVEX_BINARY_DIR "/src/vis_corvex.so | "
                         "awk '$2 ~ /^[TW]$/ {print $3}' > " + listing).c_str()), 0);
  EXPECT_EQ(PluginHarness::ReadFile(listing), "winampVisGetHeader\n");
}

}  // namespace
}  // namespace corvex::testing
