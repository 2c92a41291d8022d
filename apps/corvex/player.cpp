#include "player.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/headless/host_window.h"
#include "plugin/vis_module.h"

namespace corvex::host {

int32_t Player::PositionMs() const {
  const double ms = std::floor(std::max(0.0, place_.seconds) * 1000.0);
  return static_cast<int32_t>(std::min(ms, 2147483647.0));
}

std::optional<std::string> Player::Title(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= playlist_.Size()) return std::nullopt;
  return playlist_.Title(static_cast<size_t>(index));
}

void Player::AnswerThrough(platform::headless::HostWindow& window) {
  window.playingPosition = [this] { return PositionMs(); };
  window.playlistIndex = [this] { return Index(); };
  window.title = [this](int32_t index) { return Title(index); };
}

void Player::FillVisData(double seconds, VisModule& module) {
  const Playlist::Place place = playlist_.Locate(seconds);
  const int32_t rate = playlist_.SampleRate(place.index);
  const int64_t first = NearestBlock(place.seconds, rate) * kBlockFrames;
  int16_t samples[kBlockFrames * 2];
  const int64_t available = playlist_.ReadFrames(place.index, first, kBlockFrames, samples);
  analyzer_.Analyze(samples, static_cast<int32_t>(available), &block_);
  std::memcpy(module.spectrumData, block_.spectrum, sizeof block_.spectrum);
  std::memcpy(module.waveformData, block_.waveform, sizeof block_.waveform);
  module.sRate = rate;
  module.nCh = 2;
}

}  // namespace corvex::host
