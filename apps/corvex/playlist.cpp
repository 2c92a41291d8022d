#include "playlist.h"

#include <algorithm>

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

const AudioTrack& Playlist::Track(size_t index) {
  if (demo_) return *demo_;
  if (loadedIndex_ != index) {
    loaded_ = AudioTrack{};  // release the previous song before decoding the next
    loaded_ = DecodeAudioFile(entries_[index]);
    loadedIndex_ = index;
  }
  return loaded_;
}

}  // namespace corvex::host
