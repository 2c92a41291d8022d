#include "playlist.h"

#include <algorithm>
#include <cstring>

#include "demo_track.h"

namespace corvex::host {

Playlist::Playlist(std::vector<AudioFileInfo> entries) : entries_(std::move(entries)) {
  double start = 0.0;
  for (const AudioFileInfo& entry : entries_) {
    starts_.push_back(start);
    start += static_cast<double>(entry.frameCount) / entry.sampleRate;
  }
}

Playlist Playlist::FromFiles(const std::vector<std::string>& paths) {
  std::vector<AudioFileInfo> entries;
  for (const std::string& path : paths) entries.push_back(ProbeAudioFile(path));
  return Playlist(std::move(entries));
}

Playlist Playlist::Demo() {
  AudioTrack track = SynthesizeDemoTrack();
  Playlist playlist({AudioFileInfo{"", track.title, track.sampleRate, track.FrameCount()}});
  playlist.demo_ = std::move(track);
  return playlist;
}

double Playlist::LengthSeconds(size_t index) const {
  return static_cast<double>(entries_[index].frameCount) / entries_[index].sampleRate;
}

double Playlist::DurationSeconds() const {
  return entries_.empty() ? 0.0 : starts_.back() + LengthSeconds(entries_.size() - 1);
}

Playlist::Place Playlist::Locate(double seconds) const {
  // The last entry whose start is not after the moment; a moment before 0 is in the first.
  auto after = std::upper_bound(starts_.begin(), starts_.end(), seconds);
  const size_t index = after == starts_.begin() ? 0 : static_cast<size_t>(after - starts_.begin()) - 1;
  return Place{index, seconds - starts_[index]};
}

void Playlist::OpenEntry(size_t index) {
  stream_.reset();  // the previous song's decoder goes before the next one's is made
  openIndex_.reset();
  stream_ = std::make_unique<AudioStream>(AudioSource::File(entries_[index].path));
  openIndex_ = index;
  windowStart_ = 0;
  window_.clear();
}

int64_t Playlist::ReadFrames(size_t index, int64_t first, int64_t count, int16_t* stereo) {
  const int64_t length = entries_[index].frameCount;
  if (first < 0 || first >= length || count <= 0) return 0;
  const int64_t wanted = std::min(count, length - first);
  if (demo_) {
    std::memcpy(stereo, demo_->samples.data() + first * 2, static_cast<size_t>(wanted) * 4);
    return wanted;
  }
  if (openIndex_ != index) OpenEntry(index);

  const int64_t held = static_cast<int64_t>(window_.size() / 2);
  if (first >= windowStart_ && first < windowStart_ + held) {
    // Reading on: pass by what lies before the first frame asked for.
    window_.erase(window_.begin(), window_.begin() + (first - windowStart_) * 2);
    windowStart_ = first;
  } else {
    window_.clear();
    windowStart_ = stream_->SkipTo(first);
  }

  int64_t have = static_cast<int64_t>(window_.size() / 2);
  if (windowStart_ == first && have < wanted) {
    window_.resize(static_cast<size_t>(wanted) * 2);
    have += stream_->Read(window_.data() + have * 2, wanted - have);
    window_.resize(static_cast<size_t>(have) * 2);
  }
  // The count of packets can exceed what decodes (a codec's start-up delay, a damaged
  // frame): the song still lasts as counted, the frames missing are silence.
  const int64_t decoded = windowStart_ == first ? std::min(have, wanted) : 0;
  std::memcpy(stereo, window_.data(), static_cast<size_t>(decoded) * 4);
  std::fill(stereo + decoded * 2, stereo + wanted * 2, int16_t{0});
  return wanted;
}

}  // namespace corvex::host
