#include "vis_feed.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace testhost {

namespace {

constexpr int32_t kBlock = corvex::visblocks::kBlockFrames;

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
  const int64_t available = std::min<int64_t>(kBlock, std::max<int64_t>(frames - start, 0));
  analysis_.Analyze(stereo_.data() + start * 2, static_cast<int32_t>(available), spectrum, waveform);
}

}  // namespace testhost
