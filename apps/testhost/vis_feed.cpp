#include "vis_feed.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace testhost {

namespace {

constexpr int32_t kBlock = 576;
constexpr int32_t kPoints = 512;

uint32_t ReadU32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool ReadWav(const std::string& path, std::vector<int16_t>* stereo, int32_t* rate) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(file);
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    return false;
  }
  int32_t channels = 0;
  size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const uint32_t size = ReadU32(&bytes[at + 4]);
    const size_t body = at + 8;
    const size_t end = std::min(bytes.size(), body + size);
    if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && size >= 16) {
      if (ReadU16(&bytes[body]) != 1 || ReadU16(&bytes[body + 14]) != 16) return false;
      channels = ReadU16(&bytes[body + 2]);
      *rate = static_cast<int32_t>(ReadU32(&bytes[body + 4]));
    } else if (std::memcmp(&bytes[at], "data", 4) == 0 && channels >= 1) {
      for (size_t p = body; p + 2 * channels <= end; p += 2 * channels) {
        const int16_t left = static_cast<int16_t>(ReadU16(&bytes[p]));
        const int16_t right = channels > 1 ? static_cast<int16_t>(ReadU16(&bytes[p + 2])) : left;
        stereo->push_back(left);
        stereo->push_back(right);
      }
    }
    at = body + size + (size & 1);
  }
  return !stereo->empty();
}

}  // namespace

bool VisFeed::Open(const std::string& wavFile) {
  stereo_.clear();
  if (!wavFile.empty()) return ReadWav(wavFile, &stereo_, &sampleRate_);
  sampleRate_ = 44100;
  const double pi = std::acos(-1.0);
  const int32_t frames = sampleRate_ * 8;
  double phaseLeft = 0.0;
  for (int32_t n = 0; n < frames; ++n) {
    const double t = static_cast<double>(n) / sampleRate_;
    phaseLeft += 2.0 * pi * (60.0 + 40.0 * t) / sampleRate_;
    const double pulse = 0.5 + 0.5 * std::sin(2.0 * pi * 2.0 * t);
    stereo_.push_back(static_cast<int16_t>(20000.0 * std::sin(phaseLeft)));
    stereo_.push_back(static_cast<int16_t>(16000.0 * pulse * std::sin(2.0 * pi * 660.0 * t)));
  }
  return true;
}

void VisFeed::Block(int64_t block, uint8_t spectrum[2][576], uint8_t waveform[2][576]) const {
  const int64_t frames = static_cast<int64_t>(stereo_.size() / 2);
  const int64_t start = (block * kBlock) % std::max<int64_t>(frames, 1);
  for (int32_t i = 0; i < kBlock; ++i) {
    const int64_t frame = start + i;
    for (int32_t channel = 0; channel < 2; ++channel) {
      const int32_t sample = frame < frames ? stereo_[frame * 2 + channel] : 0;
      waveform[channel][i] = static_cast<uint8_t>(static_cast<int8_t>(sample >> 8));
    }
  }
  Spectrum(waveform[0], spectrum[0]);
  Spectrum(waveform[1], spectrum[1]);
}

void VisFeed::Spectrum(const uint8_t* wave, uint8_t* spectrum) const {
  static double cosine[kPoints], sine[kPoints], window[kPoints];
  static bool ready = false;
  if (!ready) {
    const double pi = std::acos(-1.0);
    for (int32_t n = 0; n < kPoints; ++n) {
      cosine[n] = std::cos(2.0 * pi * n / kPoints);
      sine[n] = std::sin(2.0 * pi * n / kPoints);
      window[n] = 0.5 - 0.5 * cosine[n];
    }
    ready = true;
  }
  double input[kPoints];
  double previousIn = static_cast<int8_t>(wave[0]);
  double previousOut = 0.0;
  for (int32_t n = 0; n < kPoints; ++n) {
    const double x = static_cast<int8_t>(wave[n]);
    const double y = x - previousIn + 0.99 * previousOut;
    previousIn = x;
    previousOut = y;
    input[n] = y * window[n];
  }
  // A direct transform: 256 bins of 512 points is little work per frame, and the host needs
  // no FFT library on Windows.
  int32_t bins[kPoints / 2];
  for (int32_t k = 0; k < kPoints / 2; ++k) {
    double re = 0.0, im = 0.0;
    for (int32_t n = 0; n < kPoints; ++n) {
      const int32_t at = (n * k) % kPoints;
      re += input[n] * cosine[at];
      im -= input[n] * sine[at];
    }
    bins[k] = std::min(255, static_cast<int32_t>(std::hypot(re, im) / 16.0));
  }
  for (int32_t k = 0; k < kPoints / 2; ++k) {
    const int32_t before = k > 0 ? bins[k - 1] : bins[0];
    spectrum[2 * k] = static_cast<uint8_t>((bins[k] + before + 1) / 2);
    spectrum[2 * k + 1] = static_cast<uint8_t>(bins[k]);
  }
  for (int32_t entry = kPoints; entry < kBlock; ++entry) {
    spectrum[entry] = static_cast<uint8_t>(spectrum[entry - 1] / 2);
  }
}

}  // namespace testhost
