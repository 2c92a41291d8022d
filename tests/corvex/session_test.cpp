#include "render_session.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "base/process_objects.h"
#include "ffmpeg_sink.h"
#include "frame_sink.h"
#include "host_error.h"
#include "platform/direct_draw_results.h"
#include "platform/headless/headless_backend.h"
#include "plugin/plugin_objects.h"
#include "plugin/vis_module.h"
#include "png_sink.h"
#include "rgb_packing.h"
#include "scene/scene_manager.h"
#include "settings_stage.h"
#include "simd/cpu_features.h"
#include "test_files.h"
#include "transforms/transform_manager.h"
#include "video/video.h"
#include "yuv_kernels.h"
#include "yuv_picture.h"

namespace corvex::host {
namespace {

using platform::headless::HeadlessBackend;

class RenderSessionTest : public ::testing::Test, public FrameSink {
 protected:
  void Write(const PictureRows&) override { ++written; }
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
  // Runs the playlist (3 s of a tone when none was made), calling look after each frame; the
  // frames go to `sink`, or are only counted.
  SessionResult Run(const SessionConfig& config, const std::function<void(int64_t)>& look,
                    const std::function<void(HeadlessBackend&)>& prepare = nullptr,
                    FrameSink* sink = nullptr) {
    if (!playlist) {
      testing::WriteSineWav(folder.File("tone.wav"), 44100, 3.0, 220.0, 8000.0);
      playlist.emplace(Playlist::FromFiles({folder.File("tone.wav")}));
    }
    RenderSession session(*playlist, config);
    session.afterRender = look;
    session.prepareBackend = prepare;
    written = 0;
    return session.Run(sink != nullptr ? *sink : *this);
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

// Keeps each frame as the display showed it (0x00RRGGBB, rows back to back) and hands it on.
class RecordingSink final : public FrameSink {
 public:
  explicit RecordingSink(std::vector<FrameSink*> next) : next_(std::move(next)) {}
  void Write(const PictureRows& picture) override {
    std::vector<uint32_t>& frame = frames.emplace_back();
    for (int32_t y = 0; y < picture.height; ++y) {
      for (int32_t x = 0; x < picture.width; ++x) frame.push_back(picture.At(x, y));
    }
    for (FrameSink* sink : next_) sink->Write(picture);
  }
  void Finish() override {
    for (FrameSink* sink : next_) sink->Finish();
  }
  std::string Describe() const override { return ""; }
  std::vector<std::vector<uint32_t>> frames;

 private:
  std::vector<FrameSink*> next_;
};

std::string PlainYuv(const std::vector<uint32_t>& frame, int32_t width, int32_t height) {
  std::string yuv(YuvSizeOf(width, height).Bytes(), '\0');
  ScalarYuvKernel().convert(reinterpret_cast<const uint8_t*>(frame.data()), width * 4, width,
                            height, reinterpret_cast<uint8_t*>(yuv.data()));
  return yuv;
}

// Every frame reaches the encoder's pipe and the PNG files in order, with the bits the display
// showed: read where it lies (an odd size, whose screen rows are padded) or, from a YUV overlay,
// converted first. More frames than the sink has pictures, so each of them is used again.
TEST_F(RenderSessionTest, EveryFrameReachesTheEncoderAndThePngsWithTheBitsTheDisplayShowed) {
  constexpr int32_t kWidth = 131, kHeight = 97;
  const std::string standIn = folder.File("ffmpeg");
  std::ofstream(standIn) << "#!/bin/sh\nfor last; do :; done\ncat > \"$last\"\n" << std::flush;
  std::filesystem::permissions(standIn, std::filesystem::perms::owner_all);
  struct Case {
    const char* name;
    int32_t displayMode;
    platform::headless::OverlaySupport overlay;
    bool inPlace;
  } cases[] = {{"full screen", 0, platform::headless::OverlaySupport::Rgb, true},
               {"background, YUY2 overlay", 2, platform::headless::OverlaySupport::Yuy2, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SessionConfig config = Config(12);
    config.width = kWidth;
    config.height = kHeight;
    SettingsOverrides overrides;
    overrides.displayMode = c.displayMode;
    StageSettings(std::nullopt, overrides, folder.File("vis_corvex.ini"));
    const std::string video = folder.File("frames.mkv"), pngs = folder.File("png");
    std::vector<std::string> frameFiles;
    std::vector<std::vector<uint32_t>> frames;
    bool readInPlace = false;
    {
      FfmpegSink encoder(standIn, video, VideoFormat{kWidth, kHeight, 30.0}, {}, folder.File("log"));
      PngSink png(pngs);
      RecordingSink recording({&encoder, &png});
      HeadlessBackend* seen = nullptr;
      Run(config, [&](int64_t) { readInPlace = seen->display.PresentedRows().has_value(); },
          [&](HeadlessBackend& backend) {
            seen = &backend;
            backend.display.overlaySupport = c.overlay;
          },
          &recording);
      recording.Finish();
      frames = std::move(recording.frames);
    }
    EXPECT_EQ(readInPlace, c.inPlace);
    ASSERT_EQ(frames.size(), 12u);
    std::string expected;
    for (const std::vector<uint32_t>& frame : frames) expected += PlainYuv(frame, kWidth, kHeight);
    EXPECT_TRUE(testing::ReadFile(video) == expected) << "the 4:2:0 pictures piped to the encoder";
    std::string rgb(frames.size() * kWidth * kHeight * 3, '\0');
    for (size_t i = 0; i < frames.size(); ++i) {
      PackRgb(reinterpret_cast<const uint8_t*>(frames[i].data()), kWidth * 4, kWidth, kHeight,
              reinterpret_cast<uint8_t*>(rgb.data()) + i * kWidth * kHeight * 3);
    }
    EXPECT_TRUE(testing::DecodedRgb(pngs + "/frame_%06d.png", folder.File("png.rgb")) == rgb)
        << "the PNG frames";
    std::filesystem::remove_all(pngs);
    std::filesystem::remove(video);
  }
}

}  // namespace
}  // namespace corvex::host
