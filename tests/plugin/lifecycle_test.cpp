#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/messages.h"
#include "plugin/plugin_objects.h"
#include "renderers/random.h"
#include "scene/process_objects.h"
#include "scene/scene_manager.h"
#include "support/plugin_harness.h"
#include "transforms/warp_pass.h"
#include "video/video.h"

namespace corvex::testing {
namespace {

TEST(PluginRecords, HeaderAndModuleCarryTheirFixedValues) {
  VisHeader* header = winampVisGetHeader();
  EXPECT_EQ(header->version, 0x101);
  EXPECT_STREQ(header->description, "Corvex v1.07");
  VisModule* module = header->getModule(0);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(header->getModule(0), module);
  EXPECT_EQ(header->getModule(1), nullptr);
  EXPECT_EQ(header->getModule(-1), nullptr);
  EXPECT_STREQ(module->description, "Corvex v1.07");
  EXPECT_EQ(module->latencyMs, 50);
  EXPECT_EQ(module->spectrumNch, 2);
  EXPECT_EQ(module->waveformNch, 2);
  EXPECT_EQ(module->userData, nullptr);
  EXPECT_NE(module->Init, nullptr);
  EXPECT_NE(module->Render, nullptr);
  EXPECT_NE(module->Quit, nullptr);
  EXPECT_NE(module->Config, nullptr);
}

TEST(PluginLifecycle, TwoRunsOfAThousandFramesAndTheSongTitleAcrossThem) {
  // The scenes are drawn at random, and one renderer halves the peak as its scene starts:
  // a fixed seed keeps the peak checks below about the runs, not about the draw.
  SeedRandom(1);
  PluginHarness player;
  int32_t position = 0;
  player.host().playingPosition = [&] { return position; };
  player.host().playlistIndex = [] { return 4; };
  player.host().title = [](int32_t index) {
    return std::optional<std::string>("Entry " + std::to_string(index));
  };
  lastSongPosition = 99999999;  // as when the library has just been loaded

  // First run: its first frame is a new song, whose title shows for 80 frames.
  ASSERT_EQ(player.Init(), 0);
  ASSERT_NE(theVideo, nullptr);
  for (int frame = 1; frame <= 1000; ++frame) {
    position += 23;
    player.FillAudio(static_cast<uint8_t>(frame * 7), static_cast<uint8_t>(frame));
    ASSERT_EQ(player.Render(), 0);
    if (frame == 1) {
      EXPECT_STREQ(theSceneManager->songTitle, "Entry 4");
      EXPECT_STREQ(theVideo->messageText, "Entry 4");
    }
    if (frame == 80) {
      EXPECT_EQ(theVideo->messageFrames, 0);
    }
    ASSERT_TRUE(player.Pump());
  }
  EXPECT_EQ(player.host().titleRequests, 1);
  player.Quit();
  EXPECT_EQ(theVideo, nullptr);
  EXPECT_EQ(theSceneManager, nullptr);

  // Second run while the same song goes on: no title, the peak starts from 0.
  ASSERT_EQ(player.Init(), 0);
  player.FillAudio(0, 0);
  ASSERT_EQ(player.Render(), 0);
  EXPECT_EQ(theVideo->messageFrames, 0);
  EXPECT_EQ(theSceneManager->peakLevel, 0.0);
  EXPECT_EQ(player.host().titleRequests, 1);
  for (int frame = 2; frame <= 1000; ++frame) {
    position += 23;
    player.FillAudio(static_cast<uint8_t>(frame * 3), static_cast<uint8_t>(frame));
    ASSERT_EQ(player.Render(), 0);
  }
  player.Quit();

  // Third run after the player moved to the next song: the title shows again.
  position = 0;
  ASSERT_EQ(player.Init(), 0);
  player.Render();
  EXPECT_EQ(player.host().titleRequests, 2);
  EXPECT_EQ(theSceneManager->peakLevel, 8.0);
  player.Quit();
}

TEST(PluginLifecycle, InitAddsTheIconToThePluginWindowAndQuitRemovesIt) {
  PluginHarness player;
  ASSERT_EQ(player.Init(), 0);
  ASSERT_EQ(player.windows().trayIcons.size(), 1u);
  const platform::TrayIconRecord& icon = player.windows().trayIcons[0];
  EXPECT_EQ(icon.window, theVideo->window);
  EXPECT_EQ(icon.id, 106u);
  EXPECT_EQ(icon.flags, 3u);
  EXPECT_EQ(icon.callbackMessage, 1034u);
  EXPECT_EQ(icon.tip[0], '\0');
  EXPECT_EQ(player.windows().GetUserData(theVideo->window),
            reinterpret_cast<intptr_t>(&player.module()));
  player.Quit();
  EXPECT_TRUE(player.windows().trayIcons.empty());
  EXPECT_EQ(player.windows().LiveWindows().size(), 1u);  // only the player's own window
}

TEST(PluginLifecycle, WithoutMmxInitRefusesAndCreatesNothing) {
  PluginHarness player;
  processorCheck = [] { return 0; };
  EXPECT_EQ(player.Init(), 1);
  processorCheck = &HasMmx;
  ASSERT_EQ(player.windows().messageBoxes.size(), 1u);
  EXPECT_EQ(player.windows().messageBoxes[0].text, "MMX not detected, Corvex won't work.");
  EXPECT_EQ(player.windows().messageBoxes[0].caption, "Warning");
  EXPECT_EQ(player.windows().messageBoxes[0].owner, nullptr);
  EXPECT_EQ(player.windows().LiveWindows().size(), 1u);
  EXPECT_TRUE(player.windows().trayIcons.empty());
  EXPECT_EQ(theVideo, nullptr);
  EXPECT_EQ(player.Render(), 0);  // a host that renders anyway gets no crash
}

TEST(PluginLifecycle, EscapeAndTheWindowsDestructionAskTheHostToEndTheRun) {
  PluginHarness player;
  ASSERT_EQ(player.Init(), 0);
  player.Render();
  player.windows().PostMessage(theVideo->window, platform::WM_KEYDOWN, platform::VK_ESCAPE, 0);
  EXPECT_FALSE(player.Pump());
  player.Quit();

  ASSERT_EQ(player.Init(), 0);
  player.windows().DestroyWindow(theVideo->window);
  EXPECT_FALSE(player.Pump());
  player.Quit();
}

// Init on the harness's display with no settings: full screen at the last 480-line mode, and
// each Render presents the frame on the screen.
TEST(PluginLifecycle, ARunWithoutSettingsShowsItsFramesFullScreen) {
  PluginHarness player;
  ASSERT_EQ(player.Init(), 0);
  EXPECT_EQ(theVideo->displayMode, 0);
  EXPECT_EQ(player.display().CurrentMode().width, 640);
  EXPECT_EQ(player.display().CurrentMode().bitsPerPixel, 32);
  EXPECT_EQ(player.display().PresentedPicture().width, 0);
  player.Render();
  const platform::headless::Picture shown = player.display().PresentedPicture();
  EXPECT_EQ(shown.width, 640);
  EXPECT_EQ(shown.height, 480);
  EXPECT_EQ(player.module().delayMs, 0);
  player.Quit();
  EXPECT_FALSE(player.display().ModeChanged());
  EXPECT_EQ(player.display().LiveSurfaces(), 0);
}

TEST(PluginLibrary, TheLoadableLibraryExportsOnlyItsHeaderFunction) {
  const std::string library = std::string(CORVEX_BINARY_DIR) + "/src/vis_corvex.so";
  FILE* nm = popen(("nm -D --defined-only " + library + " 2>&1").c_str(), "r");
  ASSERT_NE(nm, nullptr);
  std::string symbols;
  char line[512];
  while (fgets(line, sizeof line, nm)) {
    std::string text(line);
    if (text.find(" T ") != std::string::npos || text.find(" W ") != std::string::npos) {
      symbols += text.substr(text.rfind(' ') + 1);
    }
  }
  pclose(nm);
  EXPECT_EQ(symbols, "winampVisGetHeader\n");
}

}  // namespace
}  // namespace corvex::testing
