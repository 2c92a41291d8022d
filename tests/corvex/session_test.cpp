#include "render_session.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "host_error.h"
#include "key_script.h"
#include "memory_sink.h"
#include "playlist.h"
#include "platform/headless/headless_backend.h"
#include "plugin/plugin_objects.h"
#include "plugin/vis_module.h"
#include "scene/process_objects.h"
#include "scene/scene_manager.h"
#include "settings_stage.h"
#include "test_files.h"
#include "transforms/warp_pass.h"
#include "video/portable/direct_draw_results.h"
#include "video/video.h"

namespace corvex::host {
namespace {

using testing::MemorySink;
using testing::TempFolder;

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;

SessionConfig Config(const TempFolder& folder, int64_t frames, const std::string& keys = "") {
  SessionConfig config;
  config.width = kWidth;
  config.height = kHeight;
  config.fps = 30.0;
  config.frameCount = frames;
  config.seed = 11;
  config.keys = ParseKeyScript(keys);
  config.pluginFolder = folder.path();
  SettingsOverrides overrides;
  StageSettings(std::nullopt, overrides, folder.File("vis_corvex.ini"));
  return config;
}

VisModule& Module() { return *winampVisGetHeader()->getModule(0); }

TEST(RenderSession, TheNextSongsTitleShowsAtTheSwitchAndItsAudioALatencyEarlier) {
  TempFolder folder;
  // The plug-in asks for the position every 30 frames (0, 1, 2 s...): a first song of 2 s
  // makes the switch fall on such a frame.
  testing::WriteSineWav(folder.File("one.wav"), 44100, 2.0, 440.0, 0.0, "Opening Number");
  testing::WriteAudio(folder.File("two.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 44100,
                      [](int64_t frame, int32_t) { return static_cast<int16_t>(frame / 50 % 2 ? -32768 : 32767); },
                      "Second Song");
  Playlist playlist = Playlist::FromFiles({folder.File("one.wav"), folder.File("two.wav")});
  lastSongPosition = 99999999;  // as for a plug-in just loaded

  RenderSession session(playlist, Config(folder, 75));
  std::vector<std::string> messages;
  std::vector<int> loudest;
  session.afterRender = [&](int64_t) {
    messages.emplace_back(theVideo->messageText);
    int peak = 0;
    for (uint8_t byte : Module().waveformData[0]) peak = std::max(peak, std::abs(static_cast<int8_t>(byte)));
    loudest.push_back(peak);
  };
  MemorySink sink(kWidth, kHeight);
  const SessionResult result = session.Run(sink);
  EXPECT_EQ(result.frames, 75);
  EXPECT_FALSE(result.quitByPlugin);
  ASSERT_EQ(sink.frames.size(), 75u);

  EXPECT_EQ(messages[0], "Opening Number");
  EXPECT_EQ(messages[59], "Opening Number");
  EXPECT_EQ(messages[60], "Second Song") << "frame 60 is the first of the second song";
  // Frame 58 (1.933 s, + 50 ms latency) still hears the first song's silence; frame 59
  // (1.967 s + 50 ms) already gets the square of the second.
  EXPECT_EQ(loudest[58], 0);
  EXPECT_EQ(loudest[59], 128);
  EXPECT_EQ(Module().hwndParent, nullptr) << "the record is left as a player leaves it";
}

TEST(RenderSession, ScriptedKeysReachThePluginWindowBeforeTheirFrame) {
  TempFolder folder;
  testing::WriteSineWav(folder.File("tone.wav"), 44100, 3.0, 220.0, 8000.0);
  Playlist playlist = Playlist::FromFiles({folder.File("tone.wav")});
  SessionConfig config = Config(folder, 40, "1.0:Space");
  config.showInfo = true;
  RenderSession session(playlist, config);
  std::vector<int32_t> frameInScene;
  std::vector<int32_t> showInfo;
  session.afterRender = [&](int64_t) {
    frameInScene.push_back(theSceneManager->frameInScene);
    showInfo.push_back(theVideo->showInfo);
  };
  MemorySink sink(kWidth, kHeight);
  session.Run(sink);
  ASSERT_EQ(frameInScene.size(), 40u);
  EXPECT_EQ(showInfo[0], 1) << "--info presses F4 before the first frame";
  EXPECT_EQ(frameInScene[29], 30);
  EXPECT_EQ(frameInScene[30], 1) << "Space at 1.0 s starts a new scene in frame 30";
  EXPECT_EQ(frameInScene[39], 10);
}

TEST(RenderSession, EscEndsTheRunAfterTheFramesBeforeIt) {
  TempFolder folder;
  testing::WriteSineWav(folder.File("tone.wav"), 44100, 2.0, 220.0, 8000.0);
  Playlist playlist = Playlist::FromFiles({folder.File("tone.wav")});
  RenderSession session(playlist, Config(folder, 60, "0.5:Esc"));
  MemorySink sink(kWidth, kHeight);
  const SessionResult result = session.Run(sink);
  EXPECT_TRUE(result.quitByPlugin);
  EXPECT_EQ(result.frames, 15);
  EXPECT_EQ(sink.frames.size(), 15u);
  EXPECT_EQ(theVideo, nullptr) << "Quit ran";
}

TEST(RenderSession, StagedSettingsReachThePluginAndTheUsersFileStaysAsItWas) {
  TempFolder folder;
  testing::WriteSineWav(folder.File("tone.wav"), 44100, 2.0, 220.0, 8000.0);
  const std::string user = folder.File("mine.ini");
  const std::string userText =
      "; my own settings\n[Other]\nKeep=1\n\n[Corvex v1.07]\nFrames_Per_Scene=900\nShow_Song_Title=0\n";
  {
    std::ofstream(user) << userText;
  }
  TempFolder staged;
  SettingsOverrides overrides;
  overrides.framesPerScene = 40;
  overrides.lockedRenderer = 5;
  overrides.lockedTransform = 3;
  StageSettings(user, overrides, staged.File("vis_corvex.ini"));

  Playlist playlist = Playlist::FromFiles({folder.File("tone.wav")});
  SessionConfig config = Config(folder, 3, "0:F9");
  config.pluginFolder = staged.path();
  RenderSession session(playlist, config);
  int32_t framesPerScene = 0, lockedRenderer = 0, lockedTransform = 0, showTitle = -1;
  session.afterRender = [&](int64_t frame) {
    if (frame != 0) return;
    framesPerScene = theSceneManager->framesPerScene;
    lockedRenderer = theSceneManager->lockedRenderer;
    lockedTransform = theSceneManager->lockedTransform;
    showTitle = theSceneManager->showSongTitle;
  };
  MemorySink sink(kWidth, kHeight);
  session.Run(sink);
  EXPECT_EQ(framesPerScene, 40);
  EXPECT_EQ(lockedRenderer, 5);
  EXPECT_EQ(lockedTransform, 3);
  EXPECT_EQ(showTitle, 1) << "the file said 0, and F9 turned it on";
  EXPECT_EQ(testing::ReadFile(user), userText);
  const std::string after = testing::ReadFile(staged.File("vis_corvex.ini"));
  EXPECT_NE(after.find("Keep"), std::string::npos);
  EXPECT_NE(after.find("my own settings"), std::string::npos);
}

// A sink whose disk fills up at its third frame.
class FailingSink final : public FrameSink {
 public:
  void Write(const uint8_t*) override {
    if (++frames == 3) throw HostError(ExitStatus::kOutput, "out.mp4: cannot write: No space left");
  }
  void Finish() override {}
  std::string Describe() const override { return "nothing"; }
  int frames = 0;
};

TEST(RenderSession, AnOutputThatFailsEndsTheRunWithQuit) {
  TempFolder folder;
  testing::WriteSineWav(folder.File("tone.wav"), 44100, 1.0, 220.0, 8000.0);
  Playlist playlist = Playlist::FromFiles({folder.File("tone.wav")});
  RenderSession session(playlist, Config(folder, 10, "0:F7"));
  FailingSink sink;
  try {
    session.Run(sink);
    ADD_FAILURE() << "the run went on";
  } catch (const HostError& error) {
    EXPECT_EQ(error.status, ExitStatus::kOutput);
  }
  EXPECT_EQ(sink.frames, 3);
  EXPECT_EQ(theVideo, nullptr) << "Quit ran";
  // Quit saved the settings, the lock of F7 among them, into the run's own copy.
  EXPECT_NE(testing::ReadFile(folder.File("vis_corvex.ini")).find("Prefered_Renderer="),
            std::string::npos);
  EXPECT_EQ(testing::ReadFile(folder.File("vis_corvex.ini")).find("Prefered_Renderer=-1"),
            std::string::npos);
}

// Runs five frames of a tone with the machine changed by prepare; the run must fail with a
// plug-in error, leaving no frame, no plug-in object and the module record released.
std::string PluginFailure(const std::function<void(platform::headless::HeadlessBackend&)>& prepare) {
  TempFolder folder;
  testing::WriteSineWav(folder.File("tone.wav"), 44100, 1.0, 220.0, 8000.0);
  Playlist playlist = Playlist::FromFiles({folder.File("tone.wav")});
  RenderSession session(playlist, Config(folder, 5));
  session.prepareBackend = prepare;
  MemorySink sink(kWidth, kHeight);
  std::string message = "no error";
  try {
    session.Run(sink);
  } catch (const HostError& error) {
    EXPECT_EQ(error.status, ExitStatus::kPlugin);
    message = error.what();
  }
  EXPECT_TRUE(sink.frames.empty());
  EXPECT_EQ(theVideo, nullptr) << "the plug-in let go of what it made";
  EXPECT_EQ(theSceneManager, nullptr);
  EXPECT_EQ(Module().hwndParent, nullptr);
  return message;
}

TEST(RenderSession, APluginThatRefusesOrEndsTheProcessBecomesAHostError) {
  EXPECT_EQ(PluginFailure([](platform::headless::HeadlessBackend&) { processorCheck = [] { return 0; }; }),
            "the plug-in refused to start: \"MMX not detected, Corvex won't work.\" (Warning)");
  processorCheck = &HasMmx;

  const std::string exited = PluginFailure([](platform::headless::HeadlessBackend& backend) {
    backend.display.failures.Inject("SetDisplayMode", DDERR_UNSUPPORTEDMODE);
  });
  EXPECT_EQ(exited.rfind("the plug-in ended the run with status 0 after \"Error changing resolution", 0), 0u)
      << exited;
  EXPECT_NE(exited.find("DDERR_UNSUPPORTEDMODE"), std::string::npos) << exited;
  EXPECT_NE(exited.find("(Error)"), std::string::npos) << exited;
}

}  // namespace
}  // namespace corvex::host
