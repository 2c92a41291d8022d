#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "dialogs/about_dialog.h"
#include "running_plugin.h"
#include "scene/process_objects.h"

namespace corvex::testing {
namespace {

using namespace platform;

constexpr int32_t kAbout = 110;

class AboutBox : public RunningPlugin {
 protected:
  // Runs the host's configuration command, pressing OK once the box shows; its two texts.
  std::pair<std::string, std::string> ShowThroughConfig() {
    std::pair<std::string, std::string> shown;
    int idle = 0;
    player.windows().onIdle = [&] {
      const auto open = dialogs().OpenDialogs(kAbout);
      if (open.size() != 1 && ++idle < 1000) return;
      if (open.size() != 1) {
        ADD_FAILURE() << open.size() << " About boxes to press OK on";
        return CloseAboutBox();  // so Config's loop ends
      }
      shown = {dialogs().FindControl(open[0]->window, 1023)->text,
               dialogs().FindControl(open[0]->window, 1021)->text};
      dialogs().Click(open[0]->window, IDOK);
    };
    player.module().Config(&player.module());
    player.windows().onIdle = nullptr;
    EXPECT_EQ(aboutDialogOpen, 0);
    EXPECT_TRUE(dialogs().OpenDialogs(kAbout).empty());
    return shown;
  }
};

TEST_F(AboutBox, ConfigShowsTheVersionAndTheReadmeAsItIsUntilOk) {
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
    EXPECT_EQ(ShowThroughConfig(), std::make_pair(std::string("Version v1.07"), text));
  }
  std::filesystem::create_directory(readmePath);  // unreadable
  EXPECT_EQ(ShowThroughConfig().second, "Readme file missing...");

  // With no box to wait for, Config returns at once.
  player.windows().failures.Inject("CreateDialog", 0);
  player.windows().onIdle = [] { ADD_FAILURE() << "Config waits for a box that is not there"; };
  player.module().Config(&player.module());
  player.windows().onIdle = nullptr;
  EXPECT_EQ(theAboutDialog, nullptr);
}

}  // namespace
}  // namespace corvex::testing
