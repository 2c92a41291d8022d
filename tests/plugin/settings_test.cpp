#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "plugin/module_files.h"
#include "plugin/settings.h"
#include "running_plugin.h"
#include "scene/process_objects.h"
#include "scene/scene_manager.h"
#include "transforms/transform_manager.h"

namespace corvex::testing {
namespace {

// The Video and the SceneManager as Init has them when it loads the settings: created, with
// nothing applied yet.
class SettingsFile : public RunningPlugin {
 protected:
  void MakeObjects() {
    theVideo = new Video(player.backend());
    theSceneManager = new SceneManager(*theVideo);
  }
  void DropObjects() {
    delete theSceneManager;
    theSceneManager = nullptr;
    delete theVideo;
    theVideo = nullptr;
  }
  void TearDown() override {
    if (theVideo != nullptr && theVideo->window == nullptr) DropObjects();
    RunningPlugin::TearDown();
  }
  void LoadFrom(const std::string& text) {
    WriteSettings(text);
    MakeObjects();
    LoadSettings(player.module());
  }
  std::vector<int32_t> EnabledRenderers() const {
    std::vector<int32_t> slots;
    for (int32_t slot = 0; slot < theSceneManager->rendererCount; ++slot) {
      if (theSceneManager->enabledRenderers[slot] != 0) slots.push_back(slot);
    }
    return slots;
  }
};

TEST_F(SettingsFile, WithNoFileEveryValueIsItsDefaultAndNoFileIsMade) {
  MakeObjects();
  LoadSettings(player.module());
  const Video& video = *theVideo;
  const SceneManager& scene = *theSceneManager;
  EXPECT_EQ(video.requestedDisplayMode, -1);
  EXPECT_EQ(video.requestedResolutionMode, -1);
  EXPECT_EQ(scene.framesPerScene, 500);
  EXPECT_EQ(video.minimizeHost, 0);
  EXPECT_EQ(video.useDelay, 0);
  EXPECT_EQ(scene.lockedRenderer, -1);
  EXPECT_EQ(scene.lockedTransform, -1);
  EXPECT_EQ(scene.showSongTitle, 1);
  EXPECT_EQ(video.windowX, 0);
  EXPECT_EQ(video.windowY, 0);
  EXPECT_EQ(scene.RendererMask(), 16383);
  EXPECT_EQ(video.transformChoice, 32767);
  EXPECT_FALSE(std::filesystem::exists(IniPath()));
}

TEST_F(SettingsFile, SaveWritesTheTwelveKeysInOrderAndTheyLoadBackIdentically) {
  MakeObjects();
  Video& video = *theVideo;
  SceneManager& scene = *theSceneManager;
  video.displayMode = 2;
  video.resolutionMode = 3;
  video.requestedDisplayMode = 0;  // a pending choice is not what is saved
  video.requestedResolutionMode = 1;
  scene.framesPerScene = 1300;
  video.minimizeHost = 1;
  video.useDelay = 1;
  scene.lockedRenderer = 9;
  scene.lockedTransform = 4;
  scene.showSongTitle = 0;
  video.windowX = -40;
  video.windowY = 125;
  scene.enabledRenderers[0] = 0;
  scene.enabledRenderers[2] = 0;
  video.transformManager->enabledTransforms[1] = 0;
  SaveSettings(player.module());
  const std::string written = ReadSettings();
  EXPECT_EQ(written,
            "[Corvex v1.07]\n"
            "Display_Mode=2\n"
            "Resolution_Mode=3\n"
            "Frames_Per_Scene=1300\n"
            "Minimize_Winamp=1\n"
            "Use_Delay=1\n"
            "Prefered_Renderer=9\n"
            "Prefered_Transform=4\n"
            "Show_Song_Title=0\n"
            "Window_Pos_X=-40\n"
            "Window_Pos_Y=125\n"
            "Renderer_Choice=6143\n"
            "Transform_Choice=24575\n");
  DropObjects();

  MakeObjects();
  LoadSettings(player.module());
  EXPECT_EQ(theVideo->requestedDisplayMode, 2);
  EXPECT_EQ(theVideo->requestedResolutionMode, 3);
  EXPECT_EQ(theSceneManager->framesPerScene, 1300);
  EXPECT_EQ(theVideo->minimizeHost, 1);
  EXPECT_EQ(theVideo->useDelay, 1);
  EXPECT_EQ(theSceneManager->lockedRenderer, 9);
  EXPECT_EQ(theSceneManager->lockedTransform, 4);
  EXPECT_EQ(theSceneManager->showSongTitle, 0);
  EXPECT_EQ(theVideo->windowX, -40);
  EXPECT_EQ(theVideo->windowY, 125);
  EXPECT_EQ(EnabledRenderers(), (std::vector<int32_t>{1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
  EXPECT_EQ(theVideo->transformChoice, 24575);
  // Once applied, the same values save to the same bytes.
  theVideo->displayMode = theVideo->requestedDisplayMode;
  theVideo->resolutionMode = theVideo->requestedResolutionMode;
  theVideo->transformManager->SetTransformMask(theVideo->transformChoice);
  SaveSettings(player.module());
  EXPECT_EQ(ReadSettings(), written);
}

TEST_F(SettingsFile, ARunsChoicesSurviveIntoTheNextRun) {
  Start();
  ASSERT_EQ(Key(platform::VK_F12), 1);
  ASSERT_EQ(Key(platform::VK_F7), 1);  // locks slot 13, the last active one
  ASSERT_EQ(Key(platform::VK_F9), 1);  // title off
  theVideo->windowX = 31;
  player.Quit();
  const std::string firstRun = ReadSettings();

  Start();
  EXPECT_EQ(theSceneManager->lockedRenderer, 13);
  EXPECT_EQ(theSceneManager->showSongTitle, 0);
  EXPECT_EQ(theVideo->windowX, 31);
  for (int32_t slot = 0; slot < 14; ++slot) {
    EXPECT_EQ(theSceneManager->activeRenderers[slot], slot == 13 ? 1 : 0) << slot;
  }
  player.Quit();
  EXPECT_EQ(ReadSettings(), firstRun);
}

TEST_F(SettingsFile, RendererMasksPutTheFirstSlotInTheHighestBit) {
  struct Case {
    const char* value;
    std::vector<int32_t> enabled;
  };
  const Case cases[] = {
      {"1", {13}},
      {"8192", {0}},
      {"16384", {}},  // bit 14 is past the last slot
      {"-3", {12, 13}},
      {"16383", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
  };
  for (const Case& c : cases) {
    LoadFrom(std::string("[Corvex v1.07]\nRenderer_Choice=") + c.value + "\n");
    EXPECT_EQ(EnabledRenderers(), c.enabled) << c.value;
    DropObjects();
  }
}

TEST_F(SettingsFile, MasksWithNothingEnabledStillGiveAPicture) {
  WriteSettings("[Corvex v1.07]\nRenderer_Choice=16384\nTransform_Choice=0\n");
  Start();
  for (int frame = 0; frame < 3; ++frame) ASSERT_EQ(player.Render(), 0);
  for (int press = 0; press < 20; ++press) {
    ASSERT_EQ(Key(platform::VK_SPACE), 1);
    int32_t active = 0;
    for (int32_t slot = 0; slot < 14; ++slot) active += theSceneManager->activeRenderers[slot];
    EXPECT_EQ(active, 1);
  }
  EXPECT_EQ(theVideo->transformManager->TransformMask(), 0);
  player.Quit();
  EXPECT_NE(ReadSettings().find("Renderer_Choice=0\n"), std::string::npos);
  EXPECT_NE(ReadSettings().find("Transform_Choice=0\n"), std::string::npos);
}

TEST_F(SettingsFile, NeverChangingTheSceneIsStoredAsMinusOne) {
  MakeObjects();
  theSceneManager->framesPerScene = -1;
  SaveSettings(player.module());
  EXPECT_NE(ReadSettings().find("Frames_Per_Scene=-1\n"), std::string::npos);
  DropObjects();
  MakeObjects();
  LoadSettings(player.module());
  EXPECT_EQ(theSceneManager->framesPerScene, -1);
}

TEST_F(SettingsFile, ValuesNothingCanUseLoadAsNotSet) {
  LoadFrom("[Corvex v1.07]\nDisplay_Mode=7\nResolution_Mode=3\nPrefered_Renderer=14\n"
           "Prefered_Transform=15\n");
  EXPECT_EQ(theVideo->requestedDisplayMode, -1);
  EXPECT_EQ(theVideo->requestedResolutionMode, -1);
  EXPECT_EQ(theSceneManager->lockedRenderer, -1);
  EXPECT_EQ(theSceneManager->lockedTransform, -1);
  DropObjects();

  LoadFrom("[Corvex v1.07]\nDisplay_Mode=1\nResolution_Mode=-9\nPrefered_Renderer=-2\n"
           "Prefered_Transform=-5\n");
  EXPECT_EQ(theVideo->requestedDisplayMode, 1);
  EXPECT_EQ(theVideo->requestedResolutionMode, -1);
  EXPECT_EQ(theSceneManager->lockedRenderer, -1);
  EXPECT_EQ(theSceneManager->lockedTransform, -1);
  DropObjects();

  // The last slots are locks like any other.
  LoadFrom("[Corvex v1.07]\nDisplay_Mode=2\nResolution_Mode=0\nPrefered_Renderer=13\n"
           "Prefered_Transform=14\n");
  EXPECT_EQ(theVideo->requestedDisplayMode, 2);
  EXPECT_EQ(theVideo->requestedResolutionMode, 0);
  EXPECT_EQ(theSceneManager->lockedRenderer, 13);
  EXPECT_EQ(theSceneManager->lockedTransform, 14);
}

TEST_F(SettingsFile, ASaveKeepsOtherSectionsKeysAndComments) {
  const std::string before =
      "; written by hand\n"
      "[Player]\n"
      "Volume=80\n"
      "\n"
      "; the plug-in's own section, in other letters\n"
      "[corvex V1.07]\n"
      "; how the picture is shown\n"
      "display_mode=1\n"
      "Frames_Per_Scene = 900\n"
      "Extra=kept\n"
      "\n"
      "[Zed]\n"
      "Key=Value\n"
      "; the last word\n";
  LoadFrom(before);
  EXPECT_EQ(theVideo->requestedDisplayMode, 1);
  EXPECT_EQ(theSceneManager->framesPerScene, 900);
  theVideo->displayMode = 1;
  SaveSettings(player.module());
  const std::string after = ReadSettings();

  // Everything that was there is still there, in the same order.
  size_t from = 0;
  for (const char* kept : {"; written by hand", "[Player]", "Volume=80",
                           "; the plug-in's own section, in other letters", "[corvex V1.07]",
                           "; how the picture is shown", "display_mode=1", "Extra=kept",
                           "[Zed]", "Key=Value", "; the last word"}) {
    const size_t at = after.find(kept, from);
    ASSERT_NE(at, std::string::npos) << kept << " in:\n" << after;
    from = at;
  }
  EXPECT_EQ(after.find("[Corvex v1.07]"), std::string::npos);  // no second section
  EXPECT_EQ(after.find("Display_Mode"), std::string::npos);    // no second key
  EXPECT_NE(after.find("Frames_Per_Scene=900\n"), std::string::npos);
  EXPECT_NE(after.find("Transform_Choice=32767\n"), std::string::npos);
  EXPECT_EQ(after.substr(after.size() - 16), "; the last word\n");
  // The layout settles after one save: saving again changes no byte.
  SaveSettings(player.module());
  EXPECT_EQ(ReadSettings(), after);
}

TEST_F(SettingsFile, TheFileLiesInTheLibrarysFolder) {
  auto& moduleName = player.windows().moduleFileName;
  moduleName = "C:\\a\\b\\vis_corvex.dll";
  EXPECT_EQ(SettingsPath(player.module()), "C:\\a\\b\\vis_corvex.ini");
  moduleName = "vis_corvex.dll";
  EXPECT_EQ(SettingsPath(player.module()), "vis_corvex.ini");
  moduleName = "/usr/lib/corvex/vis_corvex.so";
  EXPECT_EQ(SettingsPath(player.module()), "/usr/lib/corvex/vis_corvex.ini");

  EXPECT_EQ(FolderOfModulePath("/vis_corvex.so"), "/");
  EXPECT_EQ(FolderOfModulePath("C:\\plugins/x\\vis_corvex.dll"), "C:\\plugins/x\\");
  EXPECT_EQ(FolderOfModulePath("share\\v1/vis_corvex.so"), "share\\v1/");
  EXPECT_EQ(FolderOfModulePath("C:vis_corvex.dll"), "");
  EXPECT_EQ(FolderOfModulePath(""), "");
}

}  // namespace
}  // namespace corvex::testing
