#include "render_session.h"

#include <gtest/gtest.h>

#include <array>

#include "base/process_objects.h"
#include "frame_sink.h"
#include "host_error.h"
#include "platform/direct_draw_results.h"
#include "platform/headless/headless_backend.h"
#include "plugin/plugin_objects.h"
#include "plugin/vis_module.h"
#include "scene/scene_manager.h"
#include "settings_stage.h"
#include "simd/cpu_features.h"
#include "test_files.h"
#include "transforms/transform_manager.h"
#include "video/video.h"

namespace corvex::host {
namespace {

using platform::headless::HeadlessBackend;

class RenderSessionTest : public ::testing::Test, public FrameSink {
 protected:
  void Write(std::vector<uint32_t>&&) override { ++written; }
  void Finish() override {}
  std::string Describe() const override { return ""; }

  // A 320x240 run at 30 fps with seed 11 whose plug-in keeps its settings in the folder.
  SessionConfig Config(int64_t frames, const std::string& keys = "") {
    SessionConfig config;
    config.width = 320;
    config.height = 240;
    config.frameCount = frames;
    config.seed = 11;
    config.keys = ParseKeyScript(keys);
    config.pluginFolder = folder.path();
    StageSettings(std::nullopt, SettingsOverrides{}, folder.File("vis_corvex.ini"));
    return config;
  }
  // Runs the playlist (3 s of a tone when none was made), calling look after each frame.
  SessionResult Run(const SessionConfig& config, const std::function<void(int64_t)>& look,
                    const std::function<void(HeadlessBackend&)>& prepare = nullptr) {
    if (!playlist) {
      testing::WriteSineWav(folder.File("tone.wav"), 44100, 3.0, 220.0, 8000.0);
      playlist.emplace(Playlist::FromFiles({folder.File("tone.wav")}));
    }
    RenderSession session(*playlist, config);
    session.afterRender = look;
    session.prepareBackend = prepare;
    written = 0;
    return session.Run(*this);
  }

  testing::TempFolder folder;
  std::optional<Playlist> playlist;
  int64_t written = 0;
  VisModule& module = *winampVisGetHeader()->getModule(0);
};

TEST_F(RenderSessionTest, TheNextSongsTitleShowsAtTheSwitchAndItsAudioALatencyEarlier) {
  // The plug-in asks for the position every 30 frames: the switch after 2 s falls on such a frame.
  testing::WriteSineWav(folder.File("one.wav"), 44100, 2.0, 440.0, 0.0, "Opening Number");
  testing::WriteAudio(folder.File("two.wav"), 44100, 2, 44100,
                      [](int64_t frame, int32_t) { return static_cast<int16_t>(frame / 50 % 2 ? -32768 : 32767); },
                      {{}, "Second Song"});
  playlist.emplace(Playlist::FromFiles({folder.File("one.wav"), folder.File("two.wav")}));
  lastSongPosition = 99999999;  // as for a plug-in just loaded
  std::vector<std::string> messages;
  std::vector<int> loudest;
  const SessionResult result = Run(Config(75), [&](int64_t) {
    messages.emplace_back(theVideo->messageText);
    int peak = 0;
    for (uint8_t byte : module.waveformData[0]) peak = std::max(peak, std::abs(static_cast<int8_t>(byte)));
    loudest.push_back(peak);
  });
  EXPECT_EQ(result.frames, 75);
  EXPECT_EQ(written, 75);
  EXPECT_EQ(messages[0], "Opening Number");
  EXPECT_EQ(messages[59], "Opening Number");
  EXPECT_EQ(messages[60], "Second Song") << "frame 60 is the first of the second song";
  // With 50 ms latency frame 58 (1.933 s) still hears the first song, frame 59 the second.
  EXPECT_EQ(loudest[58], 0);
  EXPECT_EQ(loudest[59], 128);
  EXPECT_EQ(module.hwndParent, nullptr) << "the record is left as a player leaves it";
}

TEST_F(RenderSessionTest, ScriptedKeysReachThePluginWindowBeforeTheirFrame) {
  SessionConfig config = Config(60, "1.0:Space,1.2:Esc");
  config.showInfo = true;
  std::vector<int32_t> frameInScene;
  int32_t showInfo = 0;
  const SessionResult result = Run(config, [&](int64_t frame) {
    frameInScene.push_back(theSceneManager->frameInScene);
    if (frame == 0) showInfo = theVideo->showInfo;
  });
  EXPECT_EQ(showInfo, 1) << "--info presses F4 before the first frame";
  ASSERT_EQ(frameInScene.size(), 36u) << "Esc at 1.2 s ends the run before frame 36";
  EXPECT_EQ(frameInScene[29], 30);
  EXPECT_EQ(frameInScene[30], 1) << "Space at 1.0 s starts a new scene in frame 30";
  EXPECT_TRUE(result.quitByPlugin);
  EXPECT_EQ(result.frames, 36);
  EXPECT_EQ(written, 36);
  EXPECT_EQ(theVideo, nullptr) << "Quit ran";
}

// The same seed giving the same frames is the program's test; here another seed must matter.
TEST_F(RenderSessionTest, TheSeedDecidesTheFirstScene) {
  std::vector<int32_t> scenes[2];
  for (uint32_t i = 0; i < 2; ++i) {
    SessionConfig config = Config(1);
    config.seed = 11 + i;
    Run(config, [&](int64_t) {
      scenes[i].assign(theSceneManager->activeRenderers, theSceneManager->activeRenderers + kRendererCount);
      scenes[i].push_back(theVideo->transformManager->currentTransform);
    });
  }
  EXPECT_NE(scenes[0], scenes[1]);
}

TEST_F(RenderSessionTest, StagedSettingsReachThePluginAndTheUsersFileStaysAsItWas) {
  const std::string user = folder.File("mine.ini");
  const std::string userText = "; mine\n[Other]\nKeep=1\n\n[Corvex v1.07]\nFrames_Per_Scene=900\nShow_Song_Title=0\n";
  std::ofstream(user) << userText << std::flush;
  const SessionConfig config = Config(1, "0:F9");
  SettingsOverrides overrides;
  overrides.framesPerScene = 40;
  overrides.lockedRenderer = 5;
  overrides.lockedTransform = 3;
  StageSettings(user, overrides, folder.File("vis_corvex.ini"));
  std::array<int32_t, 4> seen{};
  Run(config, [&](int64_t) {
    const SceneManager& scene = *theSceneManager;
    seen = {scene.framesPerScene, scene.lockedRenderer, scene.lockedTransform, scene.showSongTitle};
  });
  EXPECT_EQ(seen, (std::array<int32_t, 4>{40, 5, 3, 1})) << "the title: the file said 0, F9 turned it on";
  EXPECT_EQ(testing::ReadFile(user), userText);
  const std::string staged = testing::ReadFile(folder.File("vis_corvex.ini"));
  EXPECT_EQ(staged.rfind("; mine\n", 0), 0u) << staged;
  // The plug-in's save leaves lines it does not own as the staging wrote them.
  EXPECT_NE(staged.find("[Other]\nKeep = 1\n"), std::string::npos) << staged;
}

TEST_F(RenderSessionTest, APluginThatRefusesOrEndsTheProcessBecomesAHostError) {
  const std::pair<std::function<void(HeadlessBackend&)>, std::string> cases[] = {
      {[](HeadlessBackend&) { processorCheck = [] { return 0; }; },
       "the plug-in refused to start: \"MMX not detected, Corvex won't work.\" (Warning)"},
      {[](HeadlessBackend& backend) { backend.display.failures.Inject("SetDisplayMode", dderr::UnsupportedMode); },
       "the plug-in ended the run with status 0 after \"Error changing resolution"},
  };
  for (const auto& [prepare, message] : cases) {
    try {
      Run(Config(5), nullptr, prepare);
      ADD_FAILURE() << "the run went on";
    } catch (const HostError& error) {
      EXPECT_EQ(error.status, ExitStatus::kPlugin);
      EXPECT_EQ(std::string(error.what()).rfind(message, 0), 0u) << error.what();
    }
    processorCheck = &HasMmx;
    EXPECT_EQ(written, 0);
    EXPECT_EQ(theVideo, nullptr) << "the plug-in let go of what it made";
    EXPECT_EQ(theSceneManager, nullptr);
    EXPECT_EQ(module.hwndParent, nullptr);
  }
}

}  // namespace
}  // namespace corvex::host
