// Decoding as the host does it: files made at test time by the ffmpeg program, read back
// through the host's stream decoder.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "audio_file.h"
#include "host_error.h"
#include "playlist.h"
#include "test_files.h"

namespace corvex::host {
namespace {

using testing::Encoding;

const double kPi = std::acos(-1.0);

// Left and right are sines of different pitch and level, so a swap or a lost channel shows.
int16_t TwoTones(int64_t frame, int32_t channel, int32_t rate) {
  const double pitch = channel == 0 ? 441.0 : 882.0;
  const double level = channel == 0 ? 8000.0 : 4000.0;
  return static_cast<int16_t>(std::lround(level * std::sin(2.0 * kPi * pitch * frame / rate)));
}

std::vector<int16_t> DecodeAll(const AudioSource& source) {
  std::vector<int16_t> samples;
  DecodeAudioBlocks(source, [&](const int16_t* stereo, int64_t frames) {
    samples.insert(samples.end(), stereo, stereo + frames * 2);
  });
  return samples;
}

// Root mean square of one channel over frames [first, last).
double Rms(const std::vector<int16_t>& stereo, int32_t channel, size_t first, size_t last) {
  double sum = 0.0;
  for (size_t frame = first; frame < last; ++frame) {
    const double value = stereo[frame * 2 + static_cast<size_t>(channel)];
    sum += value * value;
  }
  return std::sqrt(sum / static_cast<double>(last - first));
}

TEST(AudioFiles, EveryFormatPeopleKeepMusicInPlaysWithItsTitleLengthAndChannels) {
  testing::TempFolder folder;
  struct Case {
    std::string name;
    int32_t rate, channels;
    Encoding encoding;
    std::string expectedTitle;
    bool lossless;
  };
  const std::vector<std::string> withPictures = {
      "-f", "lavfi", "-i", "testsrc=size=64x48:rate=10", "-map", "1:v", "-map", "0:a",
      "-c:v", "libx264", "-c:a", "aac", "-shortest"};
  const Case cases[] = {
      {"tagged.wav", 22050, 2, {{}, "Night Drive"}, "Night Drive", true},
      {"both.flac", 22050, 1, {{}, "Tide", "Marea"}, "Marea - Tide", true},
      {"apple.m4a", 44100, 2, {{"-c:a", "alac"}, "Core"}, "Core", true},
      {"plain name.ogg", 22050, 2, {{"-c:a", "libvorbis"}}, "plain name", false},
      {"hook.mp3", 44100, 2, {{"-c:a", "libmp3lame"}, "Hook", "Band"}, "Band - Hook", false},
      {"shelf.m4a", 44100, 2, {{"-c:a", "aac"}, "Shelf"}, "Shelf", false},
      {"voice.opus", 48000, 2, {{"-c:a", "libopus"}, "Voice"}, "Voice", false},
      {"old.wma", 44100, 2, {{"-c:a", "wmav2"}}, "old", false},
      {"clip.mp4", 44100, 2, {withPictures, "Clip"}, "Clip", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.File(c.name);
    const int64_t frames = c.rate / 2;
    const auto sample = [&](int64_t frame, int32_t channel) { return TwoTones(frame, channel, c.rate); };
    testing::WriteAudio(path, c.rate, c.channels, frames, sample, c.encoding);

    const AudioFileInfo info = ProbeAudioFile(path);
    EXPECT_EQ(info.title, c.expectedTitle);
    EXPECT_EQ(info.sampleRate, c.rate);
    const std::vector<int16_t> decoded = DecodeAll(AudioSource::File(path));
    const auto decodedFrames = static_cast<int64_t>(decoded.size() / 2);
    if (c.lossless) {
      EXPECT_EQ(info.frameCount, frames);
      ASSERT_EQ(decodedFrames, frames);
      for (int64_t frame : {int64_t{0}, int64_t{1}, frames / 3, frames - 1}) {
        EXPECT_EQ(decoded[frame * 2], sample(frame, 0)) << frame;
        EXPECT_EQ(decoded[frame * 2 + 1], sample(frame, c.channels == 1 ? 0 : 1)) << frame;
      }
      continue;
    }
    // Lossy codecs add a start-up delay and pad their last packet.
    EXPECT_NEAR(static_cast<double>(info.frameCount), frames, 0.06 * c.rate);
    EXPECT_NEAR(static_cast<double>(decodedFrames), frames, 0.06 * c.rate);
    ASSERT_GT(decodedFrames, frames * 3 / 4);
    const auto [first, last] = std::pair(static_cast<size_t>(frames / 4), static_cast<size_t>(frames * 3 / 4));
    EXPECT_NEAR(Rms(decoded, 0, first, last), 8000.0 / std::sqrt(2.0), 1000.0);
    EXPECT_NEAR(Rms(decoded, 1, first, last), 4000.0 / std::sqrt(2.0), 600.0);
  }

  // Bytes in memory decode as the file does, a container that must seek (MP4) included.
  const std::string bytes = testing::ReadFile(folder.File("shelf.m4a"));
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  EXPECT_EQ(DecodeAll(AudioSource::Memory("shelf.m4a", data, bytes.size())),
            DecodeAll(AudioSource::File(folder.File("shelf.m4a"))));
}

TEST(AudioFiles, ACentreSpeakerIsHeardOnBothSides) {
  testing::TempFolder folder;
  // 5.1 with a tone in the centre speaker only.
  const auto centre = [](int64_t frame, int32_t channel) {
    return static_cast<int16_t>(channel == 2 ? TwoTones(frame, 0, 22050) : 0);
  };
  testing::WriteAudio(folder.File("surround.flac"), 22050, 6, 11025, centre, {{}, "", "", "5.1"});
  const std::vector<int16_t> decoded = DecodeAll(AudioSource::File(folder.File("surround.flac")));
  ASSERT_EQ(decoded.size(), 11025u * 2);
  EXPECT_GT(Rms(decoded, 0, 0, 11025), 1000.0) << "the centre is heard on the left";
  EXPECT_GT(Rms(decoded, 1, 0, 11025), 1000.0) << "and on the right";
}

// Overwrites bytes of a file at an offset.
void Patch(const std::string& path, size_t at, const std::string& bytes) {
  std::string content = testing::ReadFile(path);
  content.replace(at, bytes.size(), bytes);
  ::corvex::testing::PluginHarness::WriteFile(path, content);
}

TEST(AudioFiles, TheLengthIsCountedFromTheDataWhateverTheHeaderSaysAndNothingIsPrinted) {
  testing::TempFolder folder;
  const auto tone = [](int64_t frame, int32_t channel) { return TwoTones(frame, channel, 22050); };
  struct Case {
    std::string name;
    int64_t least, most;  // what the file can hold, for the count and for the decoder
  };
  std::vector<Case> cases;

  // A FLAC whose header claims 2^31 frames but holds 3 s.
  testing::WriteAudio(folder.File("claims.flac"), 22050, 2, 3 * 22050, tone);
  // The count is the last 36 bits of STREAMINFO's first 18 bytes, from the low half of byte 21.
  const char sizeAndBits = static_cast<char>(testing::ReadFile(folder.File("claims.flac"))[21] & 0xf0);
  Patch(folder.File("claims.flac"), 21, std::string{sizeAndBits, '\x80', 0, 0, 0});
  cases.push_back({"claims.flac", 3 * 22050, 3 * 22050});

  // A WAV whose data chunk claims 2 GB but holds 1 s.
  testing::WriteAudio(folder.File("claims.wav"), 22050, 2, 22050, tone);
  const size_t data = testing::ReadFile(folder.File("claims.wav")).find("data");
  Patch(folder.File("claims.wav"), data + 4, "\xf0\xff\xff\x7f");
  cases.push_back({"claims.wav", 22050, 22050});

  // The first 8000 bytes of an Ogg Vorbis download.
  testing::WriteAudio(folder.File("whole.ogg"), 22050, 2, 10 * 22050, tone, {{"-c:a", "libvorbis"}});
  const std::string whole = testing::ReadFile(folder.File("whole.ogg"));
  ASSERT_GT(whole.size(), 16000u);
  ::corvex::testing::PluginHarness::WriteFile(folder.File("cut.ogg"), whole.substr(0, 8000));
  cases.push_back({"cut.ogg", 1, 10 * 22050 / 2});

  // An MP3 with a stretch of noise in the middle, which its decoder complains about.
  testing::WriteAudio(folder.File("hurt.mp3"), 22050, 2, 3 * 22050, tone, {{"-c:a", "libmp3lame"}});
  std::string noise(3000, '\0');
  std::mt19937 random(5);
  for (char& byte : noise) byte = static_cast<char>(random());
  Patch(folder.File("hurt.mp3"), testing::ReadFile(folder.File("hurt.mp3")).size() / 2, noise);
  // Damage costs the frames that lean on it; the decoder never makes more than was there.
  cases.push_back({"hurt.mp3", 3 * 22050 / 2, 3 * 22050 + 2 * 1152});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ::testing::internal::CaptureStderr();
    const AudioFileInfo info = ProbeAudioFile(folder.File(c.name));
    const int64_t decoded = static_cast<int64_t>(DecodeAll(AudioSource::File(folder.File(c.name))).size() / 2);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_GE(info.frameCount, c.least);
    EXPECT_LE(info.frameCount, c.most);
    EXPECT_GE(decoded, c.least);
    EXPECT_LE(decoded, c.most);
  }
}

TEST(PlaylistReading, AnyStretchReadForwardOrBackIsWhatTheWholeDecodeHolds) {
  testing::TempFolder folder;
  const auto ramp = [](int64_t frame, int32_t channel) {
    return static_cast<int16_t>(frame * 3 + channel * 1000);
  };
  testing::WriteAudio(folder.File("ramp.flac"), 22050, 2, 22050, ramp);
  Playlist playlist = Playlist::FromFiles({folder.File("ramp.flac")});
  std::vector<int16_t> block(576 * 2);
  // Forward by leaps, back to the start (the file is opened again), then over the end.
  const std::pair<int64_t, int64_t> reads[] = {{100, 576}, {9000, 576}, {9001, 576}, {50, 576},
                                               {22050 - 100, 100}, {22050, 0}, {-5, 0}};
  for (const auto& [first, expected] : reads) {
    std::fill(block.begin(), block.end(), int16_t{-1});
    ASSERT_EQ(playlist.ReadFrames(0, first, 576, block.data()), expected) << first;
    for (int64_t i = 0; i < expected; ++i) {
      ASSERT_EQ(block[i * 2], ramp(first + i, 0)) << first << "+" << i;
      ASSERT_EQ(block[i * 2 + 1], ramp(first + i, 1)) << first << "+" << i;
    }
  }
}

TEST(PlaylistReading, AFarJumpSeeksToTheSameFramesALongReadReaches) {
  testing::TempFolder folder;
  const auto tone = [](int64_t frame, int32_t channel) { return TwoTones(frame, channel, 8000); };
  const int64_t length = 90 * 8000;
  const Encoding mp3({"-c:a", "libmp3lame"});
  for (const auto& [name, encoding] : {std::pair("long.wav", Encoding()), std::pair("long.flac", Encoding()),
                                       std::pair("long.mp3", mp3), std::pair("long.ogg", Encoding())}) {
    SCOPED_TRACE(name);
    testing::WriteAudio(folder.File(name), 8000, 2, length, tone, encoding);
    const std::vector<int16_t> whole = DecodeAll(AudioSource::File(folder.File(name)));
    Playlist playlist = Playlist::FromFiles({folder.File(name)});
    std::vector<int16_t> block(576 * 2);
    for (int64_t first : {int64_t{100}, int64_t{61 * 8000 + 7}, int64_t{30 * 8000 + 5}, int64_t{85 * 8000}}) {
      ASSERT_EQ(playlist.ReadFrames(0, first, 576, block.data()), 576);
      int32_t worst = 0;
      for (size_t i = 0; i < block.size(); ++i) {
        worst = std::max(worst, std::abs(block[i] - whole[static_cast<size_t>(first) * 2 + i]));
      }
      EXPECT_EQ(worst, 0) << "at frame " << first;
    }
  }
}

TEST(AudioFiles, WhatCannotBePlayedIsRefusedWithItsReason) {
  testing::TempFolder folder;
  // Pictures without sound.
  ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -f lavfi -i testsrc=size=64x48:rate=10 -t 0.5 " +
                         folder.File("silent.mp4")).c_str()), 0);
  testing::WriteAudio(folder.File("low.wav"), 4000, 1, 400, [](int64_t, int32_t) { return int16_t{0}; });
  const std::pair<std::string, std::string> cases[] = {
      {"silent.mp4", ": contains no audio"},
      {"low.wav", ": unsupported sample rate 4000 Hz"},
  };
  for (const auto& [name, problem] : cases) {
    try {
      ProbeAudioFile(folder.File(name));
      ADD_FAILURE() << name << " was accepted";
    } catch (const HostError& error) {
      EXPECT_EQ(error.status, ExitStatus::kInput);
      EXPECT_EQ(error.what(), folder.File(name) + problem);
    }
  }
}

// A playlist or a reference file dressed as a song would have the reader open whatever it
// names (another file, a URL): the song is the one file given, from disk or from memory.
TEST(AudioFiles, AFileThatNamesOtherFilesIsRefusedWithoutPlayingThem) {
  testing::TempFolder folder;
  testing::WriteAudio(folder.File("hidden.mp3"), 8000, 1, 800, [](int64_t, int32_t) { return int16_t{1000}; });
  const std::string playlist = "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\n" + folder.File("hidden.mp3") +
                               "\n#EXT-X-ENDLIST\n";
  ::corvex::testing::PluginHarness::WriteFile(folder.File("song.mp3"), playlist);
  const auto* bytes = reinterpret_cast<const uint8_t*>(playlist.data());
  for (const AudioSource& source : {AudioSource::File(folder.File("song.mp3")),
                                    AudioSource::Memory("song.mp3", bytes, playlist.size())}) {
    try {
      const size_t samples = DecodeAll(source).size();
      ADD_FAILURE() << source.name << " was played: " << samples / 2 << " frames";
    } catch (const HostError& error) {
      EXPECT_EQ(error.status, ExitStatus::kInput) << error.what();
    }
  }
}

}  // namespace
}  // namespace corvex::host
