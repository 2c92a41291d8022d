#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audio_file.h"

namespace corvex::host {

// The songs of a run, played one after the other on one timeline. Every file is opened when
// the playlist is made, so a bad file stops the run before anything is rendered; the samples of
// a file are decoded when it is first needed, and only one file is held in memory at a time.
class Playlist {
 public:
  static Playlist FromFiles(const std::vector<std::string>& paths);
  // The built-in demo track as a playlist of one.
  static Playlist Demo();

  size_t Size() const { return entries_.size(); }
  const std::string& Title(size_t index) const { return entries_[index].title; }
  int32_t SampleRate(size_t index) const { return entries_[index].sampleRate; }
  double StartSeconds(size_t index) const { return starts_[index]; }
  double LengthSeconds(size_t index) const;
  double DurationSeconds() const;

  // Where a moment of the timeline falls: the entry and the seconds into it. A moment past the
  // end lies in the last entry, past its end.
  struct Place {
    size_t index;
    double seconds;
  };
  Place Locate(double seconds) const;

  // The samples of an entry, decoded on first use (the previous entry's are released).
  const AudioTrack& Track(size_t index);

 private:
  explicit Playlist(std::vector<AudioFileInfo> entries);

  std::vector<AudioFileInfo> entries_;
  std::vector<double> starts_;
  std::optional<AudioTrack> demo_;
  std::optional<size_t> loadedIndex_;
  AudioTrack loaded_;
};

}  // namespace corvex::host
