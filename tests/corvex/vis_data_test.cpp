#include "vis_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "player.h"
#include "playlist.h"
#include "plugin/vis_module.h"
#include "test_files.h"

namespace corvex::host {
namespace {

std::vector<int16_t> Stereo(int32_t frames, const std::function<double(int32_t)>& left,
                            const std::function<double(int32_t)>& right) {
  std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
  for (int32_t i = 0; i < frames; ++i) {
    samples[2 * i] = static_cast<int16_t>(std::lround(left(i)));
    samples[2 * i + 1] = static_cast<int16_t>(std::lround(right(i)));
  }
  return samples;
}

int32_t PeakEntry(const uint8_t* spectrum) {
  return static_cast<int32_t>(std::max_element(spectrum, spectrum + kBlockFrames) - spectrum);
}

// The bin of a frequency is f * 512 / rate; bin k is entry 2k + 1.
int32_t ExpectedEntry(double frequency, int32_t rate) {
  return 2 * static_cast<int32_t>(std::lround(frequency * kFftSize / rate)) + 1;
}

TEST(VisSpectrum, ASinePeaksAtItsEntryAtBothCommonRates) {
  VisAnalyzer analyzer;
  VisBlock block;
  for (int32_t rate : {44100, 48000}) {
    for (double frequency : {440.0, 1000.0, 3000.0, 7500.0, 15000.0}) {
      const double step = 2.0 * std::acos(-1.0) * frequency / rate;
      // Left carries the tone, right is silent: the channels must not mix.
      const auto samples = Stereo(kBlockFrames, [&](int32_t i) { return 4000.0 * std::sin(step * i); },
                                  [](int32_t) { return 0.0; });
      analyzer.Analyze(samples.data(), kBlockFrames, &block);
      EXPECT_EQ(PeakEntry(block.spectrum[0]), ExpectedEntry(frequency, rate))
          << frequency << " Hz at " << rate << " Hz";
      EXPECT_GT(block.spectrum[0][ExpectedEntry(frequency, rate)], 60);
      EXPECT_LT(block.spectrum[0][ExpectedEntry(frequency, rate)], 255) << "not saturated";
      EXPECT_EQ(*std::max_element(block.spectrum[1], block.spectrum[1] + kBlockFrames), 0);
    }
  }
}

TEST(VisSpectrum, ATopByteSineOnABinCentreHasTheWindowedMagnitude) {
  // A sine of top-byte amplitude A exactly on bin k: |X[k]| = A * 512 / 2 * 0.5 (the Hann
  // window's mean), so the byte is A * 128 / 16 = 8 A, with 2 A and the neighbours at half.
  VisAnalyzer analyzer;
  VisBlock block;
  const int32_t bin = 40;
  const double step = 2.0 * std::acos(-1.0) * bin / kFftSize;
  const auto samples = Stereo(kBlockFrames, [&](int32_t i) { return 256.0 * 20.0 * std::sin(step * i); },
                              [&](int32_t i) { return 256.0 * 20.0 * std::sin(step * i); });
  analyzer.Analyze(samples.data(), kBlockFrames, &block);
  EXPECT_NEAR(block.spectrum[0][2 * bin + 1], 160, 3);
  EXPECT_NEAR(block.spectrum[0][2 * bin - 1], 80, 3);
  EXPECT_NEAR(block.spectrum[0][2 * bin + 3], 80, 3);
  EXPECT_LE(block.spectrum[0][2 * bin + 7], 2);
  EXPECT_EQ(0, std::memcmp(block.spectrum[0], block.spectrum[1], kBlockFrames));
}

TEST(VisSpectrum, EvenEntriesAreRoundedMeansAndTheTailKeepsHalving) {
  VisAnalyzer analyzer;
  VisBlock block;
  uint32_t state = 7;
  const auto noise = [&](int32_t) {
    state = state * 1103515245u + 12345u;
    return static_cast<double>(static_cast<int16_t>(state >> 16)) / 3.0;
  };
  const auto samples = Stereo(kBlockFrames, noise, noise);
  analyzer.Analyze(samples.data(), kBlockFrames, &block);
  const uint8_t* e = block.spectrum[0];
  EXPECT_EQ(e[0], e[1]);
  int32_t differing = 0;
  for (int32_t k = 1; k < 256; ++k) {
    EXPECT_EQ(e[2 * k], (e[2 * k + 1] + e[2 * k - 1] + 1) / 2) << "entry " << 2 * k;
    differing += e[2 * k + 1] != e[2 * k - 1];
  }
  EXPECT_GT(differing, 100) << "noise gives bins that differ";
  for (int32_t entry = 512; entry < kBlockFrames; ++entry) {
    EXPECT_EQ(e[entry], e[entry - 1] / 2) << "entry " << entry;
  }
}

TEST(VisSpectrum, NearNyquistTheTailHalvesFromTheLastBin) {
  VisAnalyzer analyzer;
  VisBlock block;
  const double step = 2.0 * std::acos(-1.0) * 255.0 / kFftSize;
  const auto samples = Stereo(kBlockFrames, [&](int32_t i) { return 7000.0 * std::sin(step * i); },
                              [](int32_t) { return 0.0; });
  analyzer.Analyze(samples.data(), kBlockFrames, &block);
  const uint8_t last = block.spectrum[0][511];
  ASSERT_GT(last, 100);
  EXPECT_EQ(block.spectrum[0][512], last / 2);
  EXPECT_EQ(block.spectrum[0][513], last / 4);
  EXPECT_EQ(block.spectrum[0][519], last >> 8);
}

TEST(VisWaveform, FullScaleSquareGivesTheExtremeBytesAndSilenceGivesZeros) {
  VisAnalyzer analyzer;
  VisBlock block;
  const auto square = Stereo(kBlockFrames, [](int32_t i) { return (i / 24) % 2 ? -32768.0 : 32767.0; },
                             [](int32_t i) { return (i / 24) % 2 ? 32767.0 : -32768.0; });
  analyzer.Analyze(square.data(), kBlockFrames, &block);
  for (int32_t i = 0; i < kBlockFrames; ++i) {
    const int8_t left = static_cast<int8_t>(block.waveform[0][i]);
    const int8_t right = static_cast<int8_t>(block.waveform[1][i]);
    ASSERT_EQ(left, (i / 24) % 2 ? -128 : 127) << i;
    ASSERT_EQ(right, (i / 24) % 2 ? 127 : -128) << i;
  }
  // A period of 48 samples puts the fundamental at bin 512 / 48 = 10.7, entry 23; full scale
  // saturates it, while the even harmonics of a square are absent.
  EXPECT_EQ(block.spectrum[0][23], 255);
  EXPECT_LT(block.spectrum[0][2 * 21 + 1], block.spectrum[0][2 * 32 + 1]);

  const auto silence = Stereo(kBlockFrames, [](int32_t) { return 0.0; }, [](int32_t) { return 0.0; });
  analyzer.Analyze(silence.data(), kBlockFrames, &block);
  for (int32_t channel = 0; channel < 2; ++channel) {
    EXPECT_EQ(*std::max_element(block.waveform[channel], block.waveform[channel] + kBlockFrames), 0);
    EXPECT_EQ(*std::max_element(block.spectrum[channel], block.spectrum[channel] + kBlockFrames), 0);
  }
}

TEST(VisWaveform, TopBytesKeepTheSignAndAConstantOffsetHasNoSpectrum) {
  VisAnalyzer analyzer;
  VisBlock block;
  // -1 is 0xFFFF: its top byte is -1, not 0; 255 is still 0; 256 is 1.
  const int16_t samples[] = {-1, 255, 256, -256, -257, 32767, -32768, 0};
  analyzer.Analyze(samples, 4, &block);
  EXPECT_EQ(static_cast<int8_t>(block.waveform[0][0]), -1);
  EXPECT_EQ(static_cast<int8_t>(block.waveform[1][0]), 0);
  EXPECT_EQ(static_cast<int8_t>(block.waveform[0][1]), 1);
  EXPECT_EQ(static_cast<int8_t>(block.waveform[1][1]), -1);
  EXPECT_EQ(static_cast<int8_t>(block.waveform[0][2]), -2);
  EXPECT_EQ(static_cast<int8_t>(block.waveform[1][2]), 127);
  EXPECT_EQ(static_cast<int8_t>(block.waveform[0][3]), -128);
  EXPECT_EQ(block.waveform[0][4], 0) << "a short block is padded with silence";

  const auto offset = Stereo(kBlockFrames, [](int32_t) { return 64.0 * 256; }, [](int32_t) { return -90.0 * 256; });
  analyzer.Analyze(offset.data(), kBlockFrames, &block);
  EXPECT_EQ(*std::max_element(block.spectrum[0], block.spectrum[0] + kBlockFrames), 0);
  EXPECT_EQ(*std::max_element(block.spectrum[1], block.spectrum[1] + kBlockFrames), 0);
}

TEST(VisBlocks, TheNearestBlockStartIsChosen) {
  // Blocks start every 576 / 44100 = 13.06 ms.
  EXPECT_EQ(NearestBlock(0.0, 44100), 0);
  EXPECT_EQ(NearestBlock(-1.0, 44100), 0);
  EXPECT_EQ(NearestBlock(0.0065, 44100), 0);
  EXPECT_EQ(NearestBlock(0.0066, 44100), 1);
  EXPECT_EQ(NearestBlock(1.0, 44100), 77);  // 76.56 blocks
  EXPECT_EQ(NearestBlock(1.0, 48000), 83);  // 83.33 blocks
}

TEST(VisBlocks, ThePlayerFeedsTheBlockOfTheMomentFromTheFileAtItsOwnRate) {
  testing::TempFolder folder;
  // One second of silence, then one of a 3 kHz tone, both at 48 kHz: the player must find the
  // tone's block only from the moment it starts.
  const std::string quiet = folder.File("quiet.wav");
  const std::string tone = folder.File("tone.wav");
  testing::WriteSineWav(quiet, 48000, 1.0, 3000.0, 0.0);
  testing::WriteSineWav(tone, 48000, 1.0, 3000.0, 4000.0);
  Playlist playlist = Playlist::FromFiles({quiet, tone});
  Player player(playlist);
  VisModule module{};
  player.FillVisData(0.99, module);
  EXPECT_EQ(*std::max_element(module.spectrumData[0], module.spectrumData[0] + kBlockFrames), 0);
  player.FillVisData(1.5, module);
  EXPECT_EQ(PeakEntry(module.spectrumData[0]), ExpectedEntry(3000.0, 48000));
  EXPECT_EQ(PeakEntry(module.spectrumData[1]), ExpectedEntry(3000.0, 48000));
  EXPECT_EQ(module.sRate, 48000);
  player.FillVisData(2.5, module);  // past the end: silence
  EXPECT_EQ(*std::max_element(module.waveformData[0], module.waveformData[0] + kBlockFrames), 0);
}

}  // namespace
}  // namespace corvex::host
