#pragma once
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/headless/headless_dialogs.h"
#include "platform/messages.h"
#include "plugin/plugin_objects.h"
#include "renderers/random.h"
#include "support/plugin_harness.h"
#include "video/video.h"

namespace corvex::testing {

// A player whose plug-in a test starts with Start(); whatever is still running at the end is
// ended with Quit, so no test leaves the process-wide objects to the next.
class RunningPlugin : public ::testing::Test {
 protected:
  void TearDown() override {
    if (theVideo != nullptr) player.Quit();
  }

  void Start() {
    SeedRandom(7);
    ASSERT_EQ(player.Init(), 0);
  }

  // A message to the plug-in's window, handled at once; its result.
  intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam = 0) {
    return player.windows().SendMessage(theVideo->window, message, wParam, lParam);
  }
  intptr_t Key(uint32_t code) { return Send(platform::WM_KEYDOWN, code); }

  platform::headless::HeadlessDialogs& dialogs() { return player.backend().dialogs; }

  std::string IniPath() const { return player.FileBesidePlugin("vis_corvex.ini"); }
  std::string ReadSettings() const {
    std::ifstream in(IniPath(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  void WriteSettings(const std::string& text) const {
    std::ofstream(IniPath(), std::ios::binary) << text;
  }

  PluginHarness player;
};

}  // namespace corvex::testing
