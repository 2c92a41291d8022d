#include "plugin/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "base/process_objects.h"
#include "plugin/module_files.h"
#include "running_plugin.h"
#include "scene/scene_manager.h"
#include "transforms/transform_manager.h"

namespace corvex::testing {
namespace {

// Loads into a Video and a SceneManager as Init has them then: created, nothing applied.
class SettingsFile : public RunningPlugin {
 protected:
  void TearDown() override { DropObjects(); }
  void DropObjects() {
    delete theSceneManager;
    theSceneManager = nullptr;
    delete theVideo;
    theVideo = nullptr;
  }
  void LoadFrom(const std::optional<std::string>& text) {  // no text: no file
    DropObjects();
    std::filesystem::remove(IniPath());
    if (text) WriteSettings(*text);
    theVideo = new Video(player.backend());
    theSceneManager = new SceneManager(*theVideo);
    LoadSettings(player.module());
  }
  // The twelve values in the file's order, each as it loads.
  std::vector<int32_t> Loaded() const {
    const Video& v = *theVideo;
    const SceneManager& s = *theSceneManager;
    return {v.requestedDisplayMode, v.requestedResolutionMode, s.framesPerScene, v.minimizeHost,
            v.useDelay, s.lockedRenderer, s.lockedTransform, s.showSongTitle, v.windowX,
            v.windowY, s.RendererMask(), v.transformChoice};
  }
};

TEST_F(SettingsFile, EachKeyLoadsItsDefaultOrAUsableValue) {
  // The keys of a file, or no file; then the twelve values as they load. Renderer masks put
  // the first slot in the highest bit; values nothing can use load as "not set".
  const std::pair<std::optional<std::string>, std::vector<int32_t>> files[] = {
      {std::nullopt, {-1, -1, 500, 0, 0, -1, -1, 1, 0, 0, 16383, 32767}},
      {"Renderer_Choice=1", {-1, -1, 500, 0, 0, -1, -1, 1, 0, 0, 1, 32767}},
      {"Renderer_Choice=8192", {-1, -1, 500, 0, 0, -1, -1, 1, 0, 0, 8192, 32767}},
      {"Renderer_Choice=16384", {-1, -1, 500, 0, 0, -1, -1, 1, 0, 0, 0, 32767}},
      {"Renderer_Choice=-3", {-1, -1, 500, 0, 0, -1, -1, 1, 0, 0, 3, 32767}},
      {"Renderer_Choice=6143", {-1, -1, 500, 0, 0, -1, -1, 1, 0, 0, 6143, 32767}},
      {"Display_Mode=3\nResolution_Mode=3\nPrefered_Renderer=14\nPrefered_Transform=15",
       {-1, -1, 500, 0, 0, -1, -1, 1, 0, 0, 16383, 32767}},
      {"Display_Mode=1\nResolution_Mode=-9\nPrefered_Renderer=-2\nPrefered_Transform=-5",
       {1, -1, 500, 0, 0, -1, -1, 1, 0, 0, 16383, 32767}},
      {"Display_Mode=2\nResolution_Mode=0\nPrefered_Renderer=13\nPrefered_Transform=14",
       {2, 0, 500, 0, 0, 13, 14, 1, 0, 0, 16383, 32767}},
  };
  for (const auto& [keys, loaded] : files) {
    LoadFrom(keys ? std::optional("[Corvex v1.07]\n" + *keys + "\n") : std::nullopt);
    EXPECT_EQ(Loaded(), loaded) << keys.value_or("no file");
    EXPECT_EQ(std::filesystem::exists(IniPath()), keys.has_value());  // loading makes no file
  }
}

TEST_F(SettingsFile, TheTwelveKeysLoadAndSaveInOrderUnchanged) {
  const std::string written =
      "[Corvex v1.07]\nDisplay_Mode=2\nResolution_Mode=3\nFrames_Per_Scene=-1\n"
      "Minimize_Winamp=1\nUse_Delay=1\nPrefered_Renderer=9\nPrefered_Transform=4\n"
      "Show_Song_Title=0\nWindow_Pos_X=-40\nWindow_Pos_Y=125\nRenderer_Choice=6143\n"
      "Transform_Choice=24575\n";
  LoadFrom(written);
  EXPECT_EQ(Loaded(), (std::vector<int32_t>{2, 3, -1, 1, 1, 9, 4, 0, -40, 125, 6143, 24575}));
  const int32_t* enabled = theSceneManager->enabledRenderers;  // the first slot is the top bit
  EXPECT_EQ(std::vector<int32_t>(enabled, enabled + 14),
            (std::vector<int32_t>{0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
  theVideo->displayMode = 2;  // as Create applies them
  theVideo->resolutionMode = 3;
  theVideo->transformManager->SetTransformMask(theVideo->transformChoice);
  theVideo->requestedDisplayMode = 0;  // a pending choice is not what is saved
  std::filesystem::remove(IniPath());
  SaveSettings(player.module());
  EXPECT_EQ(ReadSettings(), written);
}

TEST_F(SettingsFile, ASaveKeepsOtherSectionsKeysAndComments) {
  const std::string before =
      "; written by hand\n[Player]\nVolume=80\n\n"
      "[corvex V1.07]\n; how the picture is shown\ndisplay_mode=1\nFrames_Per_Scene = 900\n"
      "use_delay=1\nExtra=kept\n\n[Zed]\nKey=Value\n; the last word\n";
  LoadFrom(before);
  theVideo->displayMode = theVideo->requestedDisplayMode;  // as Create applies it
  SaveSettings(player.module());
  const std::string after = ReadSettings();
  EXPECT_EQ(after,
            "; written by hand\n\n\n[Player]\nVolume=80\n\n\n[corvex V1.07]\n\n"
            "; how the picture is shown\ndisplay_mode=1\nFrames_Per_Scene=900\nuse_delay=1\n"
            "Extra=kept\nResolution_Mode=-1\nMinimize_Winamp=0\nPrefered_Renderer=-1\n"
            "Prefered_Transform=-1\nShow_Song_Title=1\nWindow_Pos_X=0\nWindow_Pos_Y=0\n"
            "Renderer_Choice=16383\nTransform_Choice=32767\n\n\n[Zed]\nKey=Value\n\n"
            "; the last word\n");
  SaveSettings(player.module());  // the layout settles after one save
  EXPECT_EQ(ReadSettings(), after);
}

TEST_F(SettingsFile, TheFileLiesInTheLibrarysFolder) {
  const struct { const char* library; const char* settings; } paths[] = {
      {"C:\\a\\b\\vis_corvex.dll", "C:\\a\\b\\vis_corvex.ini"},
      {"vis_corvex.dll", "vis_corvex.ini"},
      {"/usr/lib/corvex/vis_corvex.so", "/usr/lib/corvex/vis_corvex.ini"},
      {"share\\v1/vis_corvex.so", "share\\v1/vis_corvex.ini"},
  };
  for (const auto& path : paths) {
    player.windows().moduleFileName = path.library;
    EXPECT_EQ(SettingsPath(player.module()), path.settings);
  }
}

}  // namespace
}  // namespace corvex::testing
