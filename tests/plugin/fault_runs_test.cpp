#include <gtest/gtest.h>

#include <climits>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "base/process_objects.h"
#include "base/random.h"
#include "dialogs/about_dialog.h"
#include "dialogs/config_dialog.h"
#include "platform/direct_draw_results.h"
#include "platform/headless/headless_backend.h"
#include "platform/messages.h"
#include "plugin/plugin_objects.h"
#include "support/plugin_harness.h"
#include "video/video.h"

namespace corvex::testing {
namespace {

using namespace platform;
using platform::headless::FailureInjector;
using platform::headless::ProcessExit;

// What a player sees of one run of the plug-in.
struct RunEnd {
  std::vector<std::string> boxes;  // "caption: text" of each box shown before the end
  std::vector<int32_t> exits;
};

// A run that reaches every call site the headless platform can make fail: Init, frames with
// both overlays, lost surfaces, windowed, background (through the panel) and full screen
// again, then Quit. The player tidies up after an exit as the offline host does, with Quit.
RunEnd PlayThrough(PluginHarness& player, FailureInjector* failures, const char* call,
                   int32_t skip) {
  auto& windows = player.windows();
  auto frame = [&] {
    player.Render();
    player.Pump();
  };
  auto key = [&](uint32_t code) { windows.SendWindowMessage(theVideo->window, wm::KeyDown, code, 0); };
  SeedRandom(3);
  if (failures != nullptr) failures->Inject(call, dderr::Generic, skip);
  RunEnd end;
  try {
    if (player.Init() == 0) {
      key(vk::F4);
      key(vk::F9);
      frame();
      player.display().LoseSurfaces();
      frame();
      key(vk::F2);
      frame();
      key(vk::Tab);
      if (theConfigDialog != nullptr && theConfigDialog->window != nullptr) {
        player.backend().dialogs.Click(theConfigDialog->window, 1008);  // Background
        player.backend().dialogs.Click(theConfigDialog->window, 1009);  // Done
      }
      frame();
      key(vk::F1);
      frame();
      player.Quit();
    }
  } catch (const ProcessExit&) {
    try {
      player.Quit();
    } catch (const ProcessExit&) {
    }
  }
  for (const auto& box : windows.messageBoxes) end.boxes.push_back(box.caption + ": " + box.text);
  end.exits = windows.exits;
  return end;
}

void ExpectNothingLeft(PluginHarness& player, const std::string& run) {
  EXPECT_TRUE(theVideo == nullptr && theSceneManager == nullptr && configDialogOpen == 0) << run;
  auto& display = player.display();
  EXPECT_EQ(display.LiveSurfaces() + display.LiveClippers() + display.LiveDirectDrawObjects(), 0)
      << run;
  EXPECT_EQ(player.windows().LiveWindows().size(), 1u) << run;  // the host's own
  EXPECT_TRUE(player.windows().trayIcons.empty()) << run;
  EXPECT_EQ(player.display().UsedVideoMemory(), 0u) << run;
}

TEST(FaultRuns, EveryInjectableFailureAtEveryCallEndsWithItsBoxAndStatusZeroAndLeavesNothing) {
  const std::vector<std::string> displayCalls = {
      "DirectDrawCreate", "QueryInterface", "EnumDisplayModes", "GetDisplayMode",
      "GetAvailableVidMem", "GetCaps", "SetCooperativeLevel", "SetDisplayMode",
      "RestoreDisplayMode", "CreateSurface", "CreateClipper", "SetHWnd", "SetClipper",
      "SetColorKey", "Lock", "Unlock", "Blt", "UpdateOverlay", "IsLost", "Restore", "GetDC",
      "ReleaseDC"};
  // Failures of these show a text of their own, or none: the plug-in runs on without them.
  const std::vector<std::string> windowCalls = {"RegisterClass", "CreateWindow", "SetWindowPos",
                                                "CreateDialog"};
  const std::set<std::string> windowTexts = {"Error: Error registering window class",
                                             "Error: Error creating window"};
  const std::set<std::string> modeTexts = {"Error: No available resolutions",
                                           "Error: No compatible video modes available"};
  const std::regex kDisplayText("Error: [^\\n]+ - (DDERR_[A-Z]+ ?|Result: [0-9a-f]{8}\\n)");
  int runs = 0;
  for (const bool display : {true, false}) {
    for (const std::string& call : display ? displayCalls : windowCalls) {
      bool reached = false;
      for (int32_t skip = 0;; ++skip) {
        PluginHarness player;
        player.UseSmallDisplay();
        FailureInjector& failures = display ? player.display().failures : player.windows().failures;
        const RunEnd end = PlayThrough(player, &failures, call.c_str(), skip);
        const std::string run = call + " after " + std::to_string(skip) + " calls";
        ++runs;
        ExpectNothingLeft(player, run);
        if (failures.IsPending(call)) break;  // the run made fewer calls than that
        reached = true;
        if (end.boxes.empty()) {
          EXPECT_TRUE(end.exits.empty()) << run;
          continue;
        }
        const std::string& box = end.boxes.front();
        if (box == "Warning: This plugin requires DirectX 6 or greater") {
          EXPECT_TRUE(end.exits.empty()) << run;  // a refusal: Init returns 1, the host goes on
          continue;
        }
        // One box, then the end of the process with status 0; the clean-up may show another.
        ASSERT_FALSE(end.exits.empty()) << run;
        EXPECT_EQ(end.exits.front(), 0) << run;
        // A display call's text names a result code: the injected one, or the one a later
        // call met because of it (an overlay format tried next, a surface not restored). A
        // device left without modes says so in words.
        EXPECT_TRUE(display ? std::regex_match(box, kDisplayText) || modeTexts.count(box) != 0
                            : windowTexts.count(box) != 0)
            << run << ": " << box;
      }
      EXPECT_TRUE(reached) << call << " was never called";
    }
  }
  RecordProperty("runs", runs);
}

TEST(FaultRuns, AFailureWhileQuittingShowsItsBoxEndsWithStatusZeroAndStillLetsEverythingGo) {
  PluginHarness player;
  player.UseSmallDisplay();
  SeedRandom(3);
  ASSERT_EQ(player.Init(), 0);
  player.Render();
  const std::string settings = player.FileBesidePlugin("vis_corvex.ini");
  // Returning to the normal cooperative level is the one display call Quit makes.
  player.display().failures.Inject("SetCooperativeLevel", dderr::NoHwnd);
  try {
    player.Quit();
    ADD_FAILURE() << "the process did not end";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.status, 0);
  }
  ASSERT_EQ(player.windows().messageBoxes.size(), 1u);
  EXPECT_EQ(player.windows().messageBoxes[0].text,
            "Video::ReleaseResources, Error setting cooperative level - DDERR_NOHWND");
  ExpectNothingLeft(player, "Quit");
  EXPECT_NE(PluginHarness::ReadFile(settings).find("Frames_Per_Scene=500"), std::string::npos);
  player.Quit();  // a host that calls Quit again gets nothing done twice
}

TEST(FaultRuns, AWindowDestroyedWhileRunningTakesItsPanelAndEndsTheRunWithoutABox) {
  PluginHarness player;
  player.UseSmallDisplay();
  PluginHarness::WriteFile(player.FileBesidePlugin("vis_corvex.ini"),
                           "[Corvex v1.07]\nDisplay_Mode=1\nResolution_Mode=2\n");
  SeedRandom(3);
  ASSERT_EQ(player.Init(), 0);
  player.windows().SendWindowMessage(theVideo->window, wm::KeyDown, vk::Tab, 0);
  ASSERT_NE(theConfigDialog, nullptr);
  const WindowHandle panel = theConfigDialog->window;
  player.windows().DestroyWindow(theVideo->window);
  // The panel it owned went with it, and nothing of it can change the display any more; the
  // frames a host sends until it takes the quit message are skipped.
  EXPECT_EQ(theConfigDialog, nullptr);
  EXPECT_TRUE(player.backend().dialogs.OpenDialogs(102).empty());
  EXPECT_EQ(player.backend().dialogs.Click(panel, 1009), 0);  // Done
  player.Render();
  EXPECT_FALSE(player.Pump());
  player.Quit();
  EXPECT_TRUE(player.windows().messageBoxes.empty());
  ExpectNothingLeft(player, "a destroyed window");
}

TEST(FaultRuns, TheAboutBoxGoesWithTheHostWindowThatOwnsIt) {
  PluginHarness player;
  player.UseSmallDisplay();
  SeedRandom(3);
  ASSERT_EQ(player.Init(), 0);
  player.windows().SendWindowMessage(theVideo->window, wm::KeyDown, vk::Tab, 0);
  ASSERT_NE(theConfigDialog, nullptr);
  player.backend().dialogs.Click(theConfigDialog->window, 1026);  // About
  ASSERT_EQ(player.backend().dialogs.OpenDialogs(110).size(), 1u);
  player.windows().DestroyWindow(player.host().handle());
  EXPECT_TRUE(player.backend().dialogs.OpenDialogs(110).empty());
  EXPECT_EQ(theAboutDialog, nullptr);
  EXPECT_EQ(aboutDialogOpen, 0);
  player.Quit();
  EXPECT_TRUE(player.windows().messageBoxes.empty());
}

TEST(FaultRuns, AHostThatDestroysItsWindowBeforeQuitStillHasTheSettingsSavedBesideThePlugin) {
  PluginHarness player;
  player.UseSmallDisplay();
  SeedRandom(3);
  ASSERT_EQ(player.Init(), 0);
  player.Render();
  player.windows().DestroyWindow(player.host().handle());
  player.Quit();
  EXPECT_NE(PluginHarness::ReadFile(player.FileBesidePlugin("vis_corvex.ini")), "");
  EXPECT_TRUE(player.windows().trayIcons.empty());
  EXPECT_TRUE(player.windows().messageBoxes.empty());
}

TEST(FaultRuns, WindowPositionsAtTheEndsOfTheRangeKeepTheWindowWholeAndOnItsPlace) {
  // Far edges that would not fit in 32 bits pull the window back just enough.
  const struct { int32_t x, y; Rect placed; } positions[] = {
      {INT_MAX, INT_MIN, {INT_MAX - 80, INT_MIN, INT_MAX, INT_MIN + 60}},
      {INT_MIN, INT_MAX, {INT_MIN, INT_MAX - 60, INT_MIN + 80, INT_MAX}},
      {-40, 125, {-40, 125, 40, 185}},
  };
  for (const auto& at : positions) {
    PluginHarness player;
    player.UseSmallDisplay();
    PluginHarness::WriteFile(player.FileBesidePlugin("vis_corvex.ini"),
                             "[Corvex v1.07]\nDisplay_Mode=1\nResolution_Mode=2\nWindow_Pos_X=" +
                                 std::to_string(at.x) + "\nWindow_Pos_Y=" + std::to_string(at.y) +
                                 "\n");
    SeedRandom(3);
    ASSERT_EQ(player.Init(), 0);
    player.Render();
    Rect rect;
    ASSERT_TRUE(player.windows().GetWindowRect(theVideo->window, &rect));
    EXPECT_EQ(std::vector<int32_t>({rect.left, rect.top, rect.right, rect.bottom}),
              std::vector<int32_t>({at.placed.left, at.placed.top, at.placed.right,
                                    at.placed.bottom}))
        << at.x << ", " << at.y;
    // A drag to the far corner, as a move message reports it, is followed too.
    player.windows().SetWindowPos(theVideo->window, INT_MAX, INT_MAX, 0, 0, swp::NoSize);
    EXPECT_EQ(std::make_pair(theVideo->windowX, theVideo->windowY),
              std::make_pair(INT_MAX - 80, INT_MAX - 60));
    player.Render();
    player.Quit();
    EXPECT_TRUE(player.windows().messageBoxes.empty());
  }
}

}  // namespace
}  // namespace corvex::testing
