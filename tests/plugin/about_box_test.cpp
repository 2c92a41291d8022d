#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "dialogs/about_dialog.h"
#include "running_plugin.h"

namespace corvex::testing {
namespace {

using namespace platform;

class AboutBox : public RunningPlugin {
 protected:
  const std::string& Text(int32_t id) {
    return dialogs().FindControl(dialogs().OpenDialogs(110).at(0)->window, id)->text;
  }
  intptr_t PressOk() { return dialogs().Click(dialogs().OpenDialogs(110).at(0)->window, id::Ok); }
};

TEST_F(AboutBox, ShowsTheVersionAndTheReadmeAsItIs) {
  std::string longReadme;
  for (int line = 0; longReadme.size() < 25000; ++line) {
    longReadme += "line " + std::to_string(line) + " of a long readme\n";
  }
  const std::string readme = "Corvex\r\nKeys:\tF1 full screen\n\xE9t\xE9 \xFF\r\n";
  const std::string readmePath = player.FileBesidePlugin("vis_corvex.txt");
  // {readme file, or none; text shown}; a readme longer than the box holds is cut.
  const std::pair<std::optional<std::string>, std::string> cases[] = {
      {readme, readme},
      {"", ""},
      {longReadme, longReadme.substr(0, 19999)},
      {std::nullopt, "Readme file missing..."},
  };
  for (const auto& [file, text] : cases) {
    std::filesystem::remove(readmePath);
    if (file) PluginHarness::WriteFile(readmePath, *file);
    OpenAboutBox(player.module().hwndParent, player.module().hDllInstance);
    EXPECT_EQ(Text(1023), "Version v1.07");
    EXPECT_EQ(Text(1021), text);
    EXPECT_EQ(PressOk(), 1);
    EXPECT_EQ(aboutDialogOpen, 0);
  }
  std::filesystem::create_directory(readmePath);  // unreadable
  OpenAboutBox(player.module().hwndParent, player.module().hDllInstance);
  EXPECT_EQ(Text(1021), "Readme file missing...");
}

TEST_F(AboutBox, ConfigShowsTheBoxUntilOkIsPressed) {
  int idle = 0;
  player.windows().onIdle = [&] {
    if (++idle == 3) PressOk();  // the loop goes round a few times before the user acts
    if (idle == 1000) CloseAboutBox();  // so a test that fails still ends
  };
  player.module().Config(&player.module());
  EXPECT_EQ(idle, 3);
  EXPECT_EQ(aboutDialogOpen, 0);
  EXPECT_TRUE(dialogs().OpenDialogs(110).empty());

  // With no box to wait for, Config returns at once.
  player.windows().failures.Inject("CreateDialog", 0);
  player.module().Config(&player.module());
  EXPECT_EQ(idle, 3);
  EXPECT_EQ(theAboutDialog, nullptr);
  player.windows().onIdle = nullptr;
}

}  // namespace
}  // namespace corvex::testing
