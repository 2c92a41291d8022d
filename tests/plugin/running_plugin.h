#pragma once
#include <gtest/gtest.h>

#include <string>

#include "base/process_objects.h"
#include "base/random.h"
#include "dialogs/dialogs.h"
#include "platform/headless/headless_dialogs.h"
#include "platform/messages.h"
#include "plugin/plugin_objects.h"
#include "support/plugin_harness.h"
#include "video/video.h"

namespace corvex::testing {

// A player whose plug-in a test starts with Start(); an About box or a run still open at the
// end is closed, so no test leaves the process-wide objects to the next.
class RunningPlugin : public ::testing::Test {
 protected:
  void TearDown() override {
    if (aboutDialogOpen != 0) CloseAboutBox();
    if (theVideo != nullptr) player.Quit();
  }
  void Start() {
    SeedRandom(7);
    ASSERT_EQ(player.Init(), 0);
  }
  intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam = 0) {
    return player.windows().SendWindowMessage(theVideo->window, message, wParam, lParam);
  }
  intptr_t Key(uint32_t code) { return Send(platform::wm::KeyDown, code); }
  platform::headless::HeadlessDialogs& dialogs() { return player.backend().dialogs; }

  std::string IniPath() const { return player.FileBesidePlugin("vis_corvex.ini"); }
  std::string ReadSettings() const { return PluginHarness::ReadFile(IniPath()); }
  void WriteSettings(const std::string& text) const { PluginHarness::WriteFile(IniPath(), text); }

  PluginHarness player;
};

}  // namespace corvex::testing
