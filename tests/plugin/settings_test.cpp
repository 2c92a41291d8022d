#include "plugin/settings.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "base/process_objects.h"
#include "platform/headless/headless_profiles.h"
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
      "use_delay=1\nExtra=kept\nUSE_DELAY=0\n\n[Zed]\nKey=Value\n; the last word\n";
  LoadFrom(before);
  theVideo->displayMode = theVideo->requestedDisplayMode;  // as Create applies it
  SaveSettings(player.module());
  const std::string after = ReadSettings();
  // Only the section's keys change, each on its own line; the missing ones follow its last
  // entry; the later duplicate of use_delay stays unread and untouched.
  EXPECT_EQ(after,
            "; written by hand\n[Player]\nVolume=80\n\n[corvex V1.07]\n; how the picture is shown\n"
            "display_mode=1\nFrames_Per_Scene=900\nuse_delay=1\nExtra=kept\nUSE_DELAY=0\nResolution_Mode=-1\n"
            "Minimize_Winamp=0\nPrefered_Renderer=-1\nPrefered_Transform=-1\nShow_Song_Title=1\n"
            "Window_Pos_X=0\nWindow_Pos_Y=0\nRenderer_Choice=16383\nTransform_Choice=32767\n\n"
            "[Zed]\nKey=Value\n; the last word\n");
  SaveSettings(player.module());
  EXPECT_EQ(ReadSettings(), after);
}

// While it lives, no file of this process may grow past a few bytes: a full disk.
class FullDisk {
 public:
  FullDisk() {
    ::getrlimit(RLIMIT_FSIZE, &before_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a killed process
    rlimit limit = before_;
    limit.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FullDisk() {
    ::setrlimit(RLIMIT_FSIZE, &before_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit before_{};
  void (*previousHandler_)(int) = SIG_DFL;
};

// While it lives, folder cannot be written to, even by root: its permissions say so, and the
// capability that lets root pass over them is out of effect for this thread.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_read |
                                              std::filesystem::perms::owner_exec);
    header_.version = _LINUX_CAPABILITY_VERSION_3;
    ::syscall(SYS_capget, &header_, before_);
    __user_cap_data_struct reduced[2] = {before_[0], before_[1]};
    reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
    ::syscall(SYS_capset, &header_, reduced);
  }
  ~ReadOnlyFolder() {
    ::syscall(SYS_capset, &header_, before_);
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
  }

 private:
  std::filesystem::path folder_;
  __user_cap_header_struct header_{};
  __user_cap_data_struct before_[2] = {};
};

TEST_F(SettingsFile, ASaveOnAFullDiskOrIntoAReadOnlyFolderLeavesThePreviousFileWhole) {
  const std::string previous = "[Corvex v1.07]\nFrames_Per_Scene=900\n; kept as it is\n";
  auto saveFailing = [&](auto&& condition) {
    LoadFrom(previous);
    theSceneManager->framesPerScene = 300;
    {
      auto failing = condition();
      SaveSettings(player.module());
    }
    EXPECT_EQ(ReadSettings(), previous);
    EXPECT_FALSE(std::filesystem::exists(
        platform::headless::HeadlessProfiles::NewFilePath(IniPath())));
    LoadFrom(previous);  // and it still loads
    EXPECT_EQ(theSceneManager->framesPerScene, 900);
  };
  saveFailing([] { return std::make_unique<FullDisk>(); });
  saveFailing([&] { return std::make_unique<ReadOnlyFolder>(player.folder()); });
  // The same save with room and rights does change the file.
  theSceneManager->framesPerScene = 300;
  SaveSettings(player.module());
  EXPECT_NE(ReadSettings().find("Frames_Per_Scene=300\n"), std::string::npos);
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
