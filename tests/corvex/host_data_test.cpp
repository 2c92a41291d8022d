#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/headless/headless_backend.h"
#include "platform/headless/host_window.h"
#include "platform/messages.h"
#include "player.h"
#include "playlist.h"
#include "plugin/vis_module.h"
#include "test_files.h"
#include "vis_blocks.h"
#include "vis_data.h"

namespace corvex::host {
namespace {

const double kPi = std::acos(-1.0);

std::vector<int16_t> Stereo(const std::function<double(int32_t)>& left,
                            const std::function<double(int32_t)>& right) {
  std::vector<int16_t> samples;
  for (int32_t i = 0; i < kBlockFrames; ++i) {
    samples.push_back(static_cast<int16_t>(std::lround(left(i))));
    samples.push_back(static_cast<int16_t>(std::lround(right(i))));
  }
  return samples;
}

uint8_t Largest(const uint8_t* bytes) { return *std::max_element(bytes, bytes + kBlockFrames); }
int32_t PeakEntry(const uint8_t* spectrum) {
  return static_cast<int32_t>(std::max_element(spectrum, spectrum + kBlockFrames) - spectrum);
}
// Bin k = f * 512 / rate is entry 2k + 1.
int32_t ExpectedEntry(double frequency, int32_t rate) {
  return 2 * static_cast<int32_t>(std::lround(frequency * kFftSize / rate)) + 1;
}

class VisData : public ::testing::Test {
 protected:
  VisAnalyzer analyzer;
  VisBlock block{};
  void Analyze(const std::vector<int16_t>& samples) { analyzer.Analyze(samples.data(), kBlockFrames, &block); }
};

TEST_F(VisData, ASinePeaksAtItsEntryAtBothCommonRatesInItsOwnChannel) {
  for (int32_t rate : {44100, 48000}) {
    for (double frequency : {440.0, 1000.0, 3000.0, 7500.0, 15000.0}) {
      Analyze(Stereo([&](int32_t i) { return 4000.0 * std::sin(2 * kPi * frequency / rate * i); },
                     [](int32_t) { return 0.0; }));
      EXPECT_EQ(PeakEntry(block.spectrum[0]), ExpectedEntry(frequency, rate)) << frequency << " Hz at " << rate;
      EXPECT_EQ(Largest(block.spectrum[1]), 0);
    }
  }
}

TEST_F(VisData, ATopByteSineOnABinCentreHasTheWindowedMagnitude) {
  // Top-byte amplitude A on bin k: |X[k]| = A * 512 / 2 * 0.5 (the Hann window's mean), so the
  // byte is A * 128 / 16 = 8 A, and the neighbouring bins have half of it.
  const int32_t bin = 40;
  const auto sine = [&](int32_t i) { return 256.0 * 20.0 * std::sin(2 * kPi * bin / kFftSize * i); };
  Analyze(Stereo(sine, sine));
  EXPECT_NEAR(block.spectrum[1][2 * bin + 1], 160, 3);
  EXPECT_NEAR(block.spectrum[1][2 * bin - 1], 80, 3);
  EXPECT_NEAR(block.spectrum[1][2 * bin + 3], 80, 3);
}

TEST_F(VisData, EvenEntriesAreRoundedMeansAndTheTailKeepsHalving) {
  uint32_t state = 7;
  const auto noise = [&](int32_t) {
    state = state * 1103515245u + 12345u;
    return static_cast<int16_t>(state >> 16) / 3.0;
  };
  Analyze(Stereo(noise, noise));
  const uint8_t* e = block.spectrum[0];
  EXPECT_EQ(e[0], e[1]);
  for (int32_t k = 1; k < 256; ++k) EXPECT_EQ(e[2 * k], (e[2 * k + 1] + e[2 * k - 1] + 1) / 2) << 2 * k;
  ASSERT_GT(e[511], 3);
  for (int32_t entry = 512; entry < kBlockFrames; ++entry) EXPECT_EQ(e[entry], e[entry - 1] / 2) << entry;
}

TEST_F(VisData, AFullScaleSquareGivesTheExtremeBytesAndSilenceGivesZeros) {
  const auto square = [](int32_t i) { return (i / 24) % 2 ? -32768.0 : 32767.0; };
  Analyze(Stereo(square, [&](int32_t i) { return -1.0 - square(i); }));
  for (int32_t i = 0; i < kBlockFrames; ++i) {
    ASSERT_EQ(static_cast<int8_t>(block.waveform[0][i]), (i / 24) % 2 ? -128 : 127) << i;
    ASSERT_EQ(static_cast<int8_t>(block.waveform[1][i]), (i / 24) % 2 ? 127 : -128) << i;
  }
  EXPECT_EQ(block.spectrum[0][23], 255) << "the fundamental, capped";

  Analyze(Stereo([](int32_t) { return 0.0; }, [](int32_t) { return 0.0; }));
  for (int32_t channel = 0; channel < 2; ++channel) {
    EXPECT_EQ(Largest(block.waveform[channel]), 0);
    EXPECT_EQ(Largest(block.spectrum[channel]), 0);
  }
}

TEST_F(VisData, TopBytesKeepTheSignShortBlocksArePaddedAndAnOffsetHasNoSpectrum) {
  const int16_t samples[] = {-1, 255, 256, -256, -257, 32767, -32768, 0};
  analyzer.Analyze(samples, 4, &block);
  const int8_t expected[2][5] = {{-1, 1, -2, -128, 0}, {0, -1, 127, 0, 0}};
  for (int32_t channel = 0; channel < 2; ++channel) {
    for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(static_cast<int8_t>(block.waveform[channel][i]), expected[channel][i]);
  }
  Analyze(Stereo([](int32_t) { return 64.0 * 256; }, [](int32_t) { return -90.0 * 256; }));
  EXPECT_EQ(Largest(block.spectrum[0]) + Largest(block.spectrum[1]), 0);
}

// The Windows test host feeds the plug-in what corvex feeds it: its direct transform gives the
// library's bytes (a magnitude within rounding of a multiple of 16 could tell them apart; none
// of these signals has one).
TEST(VisBlocks, TheDirectTransformGivesTheLibrarysBytes) {
  const VisAnalyzer library;
  const visblocks::DirectBlockAnalysis direct;
  uint32_t noise = 7;
  const std::function<double(int32_t)> signals[] = {
      [](int32_t i) { return 9000.0 * std::sin(2 * kPi * 440.0 / 44100 * i); },
      [](int32_t i) { return 30000.0 * std::sin(2 * kPi * (50.0 + 20.0 * i) / 48000 * i); },
      [&](int32_t) { return static_cast<double>(static_cast<int16_t>((noise = noise * 1664525u + 1013904223u) >> 16)); },
      [](int32_t i) { return (i / 24) % 2 ? -32768.0 : 32767.0; }};
  for (const auto& left : signals) {
    for (const auto& right : signals) {
      const std::vector<int16_t> samples = Stereo(left, right);
      VisBlock expected{}, got{};
      library.Analyze(samples.data(), kBlockFrames, &expected);
      direct.Analyze(samples.data(), kBlockFrames, got.spectrum, got.waveform);
      ASSERT_EQ(std::memcmp(expected.waveform, got.waveform, sizeof got.waveform), 0);
      for (int32_t channel = 0; channel < 2; ++channel) {
        for (int32_t entry = 0; entry < kBlockFrames; ++entry) {
          ASSERT_EQ(got.spectrum[channel][entry], expected.spectrum[channel][entry]) << channel << " " << entry;
        }
      }
    }
  }
}

TEST(VisBlocks, TheBlockWhoseStartIsNearestIsChosen) {
  // Blocks start every 576 / 44100 s = 13.06 ms.
  EXPECT_EQ(NearestBlock(-1.0, 44100), 0);
  EXPECT_EQ(NearestBlock(0.0065, 44100), 0);
  EXPECT_EQ(NearestBlock(0.0066, 44100), 1);
  EXPECT_EQ(NearestBlock(1.0, 44100), 77);  // 76.56
  EXPECT_EQ(NearestBlock(1.0, 48000), 83);  // 83.33
}

TEST(PlayerAnswers, PositionIndexTitleAndVisDataComeFromTheSongOfTheMoment) {
  testing::TempFolder folder;
  // 1.5 s of silence at 44.1 kHz, then 2 s of a 3 kHz tone at 48 kHz.
  testing::WriteSineWav(folder.File("a.wav"), 44100, 1.5, 3000.0, 0.0, "First Song");
  testing::WriteSineWav(folder.File("b.wav"), 48000, 2.0, 3000.0, 4000.0);
  Playlist playlist = Playlist::FromFiles({folder.File("a.wav"), folder.File("b.wav")});
  Player player(playlist);
  platform::headless::HeadlessBackend backend;
  platform::headless::HostWindow window(backend);
  player.AnswerThrough(window);
  const auto ask = [&](uintptr_t wParam, intptr_t lParam) {
    return backend.windows.SendWindowMessage(window.handle(), platform::wm::User, wParam, lParam);
  };
  const double moments[][3] = {{0.0, 0, 0}, {1.499, 1499, 0}, {1.5, 0, 1}, {3.4, 1900, 1}};
  for (const auto& [seconds, position, index] : moments) {
    player.SetTime(seconds);
    EXPECT_EQ(ask(0, 105), position) << seconds;
    EXPECT_EQ(ask(0, 125), index) << seconds;
  }
  EXPECT_STREQ(reinterpret_cast<const char*>(ask(0, 212)), "First Song");
  EXPECT_STREQ(reinterpret_cast<const char*>(ask(1, 212)), "b");
  EXPECT_EQ(ask(2, 212), 0);

  VisModule module{};
  player.FillVisData(1.49, module);
  EXPECT_EQ(Largest(module.spectrumData[0]), 0);
  player.FillVisData(2.0, module);
  EXPECT_EQ(PeakEntry(module.spectrumData[1]), ExpectedEntry(3000.0, 48000));
  EXPECT_EQ(module.sRate, 48000);
  player.FillVisData(3.6, module);
  EXPECT_EQ(Largest(module.waveformData[0]), 0) << "past the end: silence";
}

}  // namespace
}  // namespace corvex::host
