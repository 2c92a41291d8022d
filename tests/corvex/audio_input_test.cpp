#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <fstream>

#include "audio_file.h"
#include "demo_track.h"
#include "host_error.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/host_window.h"
#include "platform/messages.h"
#include "player.h"
#include "playlist.h"
#include "test_files.h"

namespace corvex::host {
namespace {

using testing::TempFolder;
using testing::WriteAudio;

int16_t Ramp(int64_t frame, int32_t channel) {
  return static_cast<int16_t>(frame * 3 + channel * 1000);
}

TEST(AudioFiles, EachFormatDecodesWithItsTitleAndMonoFeedsBothChannels) {
  TempFolder folder;
  struct Case {
    std::string name;
    int format;
    int32_t channels;
    std::string title, artist, expectedTitle;
  };
  const Case cases[] = {
      {"tagged.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, "Night Drive", "", "Night Drive"},
      {"both.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, "Tide", "Marea", "Marea - Tide"},
      {"plain name.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 2, "", "", "plain name"},
      {"three.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 3, "", "", "three"},
  };
  for (const Case& c : cases) {
    const std::string path = folder.File(c.name);
    WriteAudio(path, c.format, 22050, c.channels, 4410, Ramp, c.title, c.artist);
    const AudioFileInfo info = ProbeAudioFile(path);
    EXPECT_EQ(info.title, c.expectedTitle) << c.name;
    EXPECT_EQ(info.sampleRate, 22050) << c.name;
    EXPECT_EQ(info.frameCount, 4410) << c.name;
    const AudioTrack track = DecodeAudioFile(info);
    ASSERT_EQ(track.FrameCount(), 4410) << c.name;
    if (c.format & SF_FORMAT_VORBIS) continue;  // lossy: the samples are not kept exactly
    for (int64_t frame : {0, 1, 100, 4409}) {
      EXPECT_EQ(track.samples[frame * 2], Ramp(frame, 0)) << c.name;
      EXPECT_EQ(track.samples[frame * 2 + 1], Ramp(frame, c.channels == 1 ? 0 : 1)) << c.name;
    }
  }
}

TEST(AudioFiles, EachBadInputNamesTheFileAndTheProblem) {
  TempFolder folder;
  const std::string text = folder.File("notes.txt");
  std::ofstream(text) << "these are not samples\n";
  const std::string empty = folder.File("empty.wav");
  WriteAudio(empty, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 0, Ramp);
  struct Case {
    std::string path;
    std::string problem;
  };
  const Case cases[] = {
      {folder.File("missing.wav"), "no such file"},
      {folder.path(), "cannot read: it is a folder"},
      {text, "not an audio file"},
      {empty, "contains no audio"},
  };
  for (const Case& c : cases) {
    try {
      ProbeAudioFile(c.path);
      ADD_FAILURE() << c.path << " was accepted";
    } catch (const HostError& error) {
      EXPECT_EQ(error.status, ExitStatus::kInput);
      EXPECT_EQ(std::string(error.what()).rfind(c.path + ": ", 0), 0u) << error.what();
      EXPECT_NE(std::string(error.what()).find(c.problem), std::string::npos) << error.what();
      EXPECT_EQ(std::string(error.what()).find('\n'), std::string::npos);
    }
  }
  // A playlist stops at its first bad file, before anything is decoded.
  WriteAudio(folder.File("good.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 100, Ramp);
  EXPECT_THROW(Playlist::FromFiles({folder.File("good.wav"), text}), HostError);
}

TEST(DemoTrack, AMinuteOfMusicWithLoudAndQuietPassages) {
  const AudioTrack track = SynthesizeDemoTrack();
  EXPECT_EQ(track.sampleRate, 44100);
  EXPECT_EQ(track.title, kDemoTitle);
  const double seconds = static_cast<double>(track.FrameCount()) / track.sampleRate;
  EXPECT_GE(seconds, 55.0);
  EXPECT_LE(seconds, 75.0);

  // Loudness per 8-second section: the quiet ones and the loud ones must differ clearly, and
  // within a loud section the beats must make the level move.
  std::vector<double> sectionRms;
  const int64_t section = 8 * 44100;
  for (int64_t start = 0; start + section <= track.FrameCount(); start += section) {
    double sum = 0.0;
    for (int64_t i = start; i < start + section; ++i) sum += std::pow(track.samples[i * 2], 2.0);
    sectionRms.push_back(std::sqrt(sum / section));
  }
  ASSERT_GE(sectionRms.size(), 7u);
  const auto [quietest, loudest] = std::minmax_element(sectionRms.begin(), sectionRms.end());
  EXPECT_GT(*loudest, 2.0 * *quietest);
  EXPECT_GT(*loudest, 4000.0);
  EXPECT_LT(*loudest, 25000.0);

}

TEST(PlayerAnswers, PositionRisesWithinAFileAndFallsBackAtTheNext) {
  TempFolder folder;
  testing::WriteSineWav(folder.File("a.wav"), 44100, 1.5, 440.0, 1000.0, "First Song");
  testing::WriteSineWav(folder.File("b.wav"), 22050, 2.0, 440.0, 1000.0);
  Playlist playlist = Playlist::FromFiles({folder.File("a.wav"), folder.File("b.wav")});
  EXPECT_DOUBLE_EQ(playlist.DurationSeconds(), 3.5);
  Player player(playlist);

  // Through the player's window, as the plug-in asks.
  platform::headless::HeadlessBackend backend;
  platform::headless::HostWindow window(backend);
  player.AnswerThrough(window);
  auto ask = [&](uintptr_t wParam, intptr_t lParam) {
    return backend.windows.SendMessage(window.handle(), platform::WM_USER, wParam, lParam);
  };
  struct Moment {
    double seconds;
    intptr_t position, index;
  };
  for (const Moment& m : {Moment{0.0, 0, 0}, Moment{0.5, 500, 0}, Moment{1.499, 1499, 0},
                          Moment{1.5, 0, 1}, Moment{2.25, 750, 1}, Moment{3.4, 1900, 1}}) {
    player.SetTime(m.seconds);
    EXPECT_EQ(ask(0, 105), m.position) << m.seconds;
    EXPECT_EQ(ask(0, 125), m.index) << m.seconds;
  }
  EXPECT_STREQ(reinterpret_cast<const char*>(ask(0, 212)), "First Song");
  EXPECT_STREQ(reinterpret_cast<const char*>(ask(1, 212)), "b");
  EXPECT_EQ(ask(2, 212), 0) << "no entry 2: no title";
  EXPECT_EQ(ask(static_cast<uintptr_t>(-1), 212), 0);
}

}  // namespace
}  // namespace corvex::host
