#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "dialogs/about_dialog.h"
#include "dialogs/dialogs.h"
#include "running_plugin.h"
#include "scene/process_objects.h"

namespace corvex::testing {
namespace {

using namespace platform;
using platform::headless::HeadlessWindows;

constexpr int32_t kAbout = 110;

class AboutBox : public RunningPlugin {
 protected:
  void TearDown() override {
    if (aboutDialogOpen != 0) CloseAboutBox();
    RunningPlugin::TearDown();
  }
  void WriteReadme(const std::string& bytes) {
    std::ofstream(player.FileBesidePlugin("vis_corvex.txt"), std::ios::binary) << bytes;
  }
  // Opens the box as the host's configuration command does, pressing OK once it shows; the
  // texts it showed.
  std::string ShowThroughConfig(std::string* version = nullptr) {
    std::string readme;
    int idle = 0;
    player.windows().onIdle = [&] {
      if (++idle < 3) return;  // the loop goes round a few times before the user acts
      const auto open = dialogs().OpenDialogs(kAbout);
      if (open.size() != 1) {
        if (idle < 1000) return;
        ADD_FAILURE() << open.size() << " About boxes to press OK on";
        CloseAboutBox();  // so Config's loop ends
        return;
      }
      readme = dialogs().FindControl(open[0]->window, 1021)->text;
      if (version) *version = dialogs().FindControl(open[0]->window, 1023)->text;
      dialogs().Click(open[0]->window, IDOK);
    };
    player.module().Config(&player.module());
    player.windows().onIdle = nullptr;
    return readme;
  }
};

TEST_F(AboutBox, ConfigShowsTheVersionAndTheReadmeAsItIsUntilOk) {
  const std::string readme = "Corvex\r\nKeys:\tF1 full screen\n\xE9t\xE9 \xFF\r\n";
  WriteReadme(readme);
  std::string version;
  EXPECT_EQ(ShowThroughConfig(&version), readme);
  EXPECT_EQ(version, "Version v1.07");
  EXPECT_EQ(aboutDialogOpen, 0);
  EXPECT_EQ(theAboutDialog, nullptr);
  EXPECT_TRUE(dialogs().OpenDialogs(kAbout).empty());
}

TEST_F(AboutBox, AnEmptyReadmeShowsNothing) {
  WriteReadme("");
  EXPECT_EQ(ShowThroughConfig(), "");
}

TEST_F(AboutBox, AMissingOrUnreadableReadmeIsSaidToBeMissing) {
  EXPECT_EQ(ShowThroughConfig(), "Readme file missing...");
  std::filesystem::create_directory(player.FileBesidePlugin("vis_corvex.txt"));
  EXPECT_EQ(ShowThroughConfig(), "Readme file missing...");
}

TEST_F(AboutBox, AReadmeLongerThanTheBoxHoldsIsCut) {
  std::string readme;
  for (int line = 0; readme.size() < 25000; ++line) {
    readme += "line " + std::to_string(line) + " of a long readme\n";
  }
  WriteReadme(readme);
  const std::string shown = ShowThroughConfig();
  EXPECT_EQ(shown.size(), 19999u);
  EXPECT_EQ(shown, readme.substr(0, 19999));
}

TEST_F(AboutBox, TheBoxBelongsToTheHostWindowAndTheLibrarysResources) {
  OpenAboutBox(player.module());
  const auto open = dialogs().OpenDialogs(kAbout);
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0]->owner, player.host().handle());
  EXPECT_EQ(open[0]->instance, player.module().hDllInstance);
  const HeadlessWindows::Window* window = player.windows().Find(open[0]->window);
  EXPECT_TRUE(window->visible);
  EXPECT_EQ(window->title, "About Corvex");
  EXPECT_EQ(dialogs().FindControl(open[0]->window, 1022)->text, "Corvex");

  // Only OK closes it; the box has no other command.
  WindowHandle box = open[0]->window;
  EXPECT_EQ(player.windows().SendMessage(box, WM_COMMAND, CommandParam(IDCANCEL, 0), 0), 0);
  EXPECT_EQ(player.windows().SendMessage(box, WM_KEYDOWN, VK_ESCAPE, 0), 0);
  EXPECT_EQ(aboutDialogOpen, 1);
  OpenAboutBox(player.module());  // open already: still one
  EXPECT_EQ(dialogs().OpenDialogs(kAbout).size(), 1u);
  EXPECT_EQ(dialogs().Click(box, IDOK), 1);
  EXPECT_EQ(aboutDialogOpen, 0);
}

TEST_F(AboutBox, ConfigReturnsAtOnceWhenNoBoxCanBeMade) {
  player.windows().failures.Inject("CreateDialog", 0);
  bool pumped = false;
  player.windows().onIdle = [&] { pumped = true; };
  player.module().Config(&player.module());
  player.windows().onIdle = nullptr;
  EXPECT_FALSE(pumped);
  EXPECT_EQ(aboutDialogOpen, 0);
  EXPECT_EQ(theAboutDialog, nullptr);
}

TEST_F(AboutBox, TheBoxOpenedFromThePanelLivesBesideTheRunningPlugin) {
  Start();
  ASSERT_EQ(Key(VK_TAB), 1);
  WindowHandle panel = dialogs().OpenDialogs(102).at(0)->window;
  ASSERT_EQ(dialogs().Click(panel, 1026), 1);
  for (int frame = 0; frame < 3; ++frame) ASSERT_EQ(player.Render(), 0);
  ASSERT_TRUE(player.Pump());
  WindowHandle box = dialogs().OpenDialogs(kAbout).at(0)->window;
  // OK posted like a real click: the host's own loop delivers it.
  player.windows().PostMessage(box, WM_COMMAND, CommandParam(IDOK, BN_CLICKED), 0);
  ASSERT_TRUE(player.Pump());
  EXPECT_EQ(aboutDialogOpen, 0);
  EXPECT_EQ(configDialogOpen, 1);
}

}  // namespace
}  // namespace corvex::testing
