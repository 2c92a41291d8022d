#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio_file.h"

namespace corvex::host {

// The songs of a run, played one after the other on one timeline. Every file is opened and
// its packets counted when the playlist is made, so a bad file stops the run before anything
// is rendered and each song's place on the timeline comes from its data. Songs are decoded as
// a stream: only the stretch asked for last is held, whatever the songs' lengths.
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

  // Copies frames [first, first + count) of an entry into `stereo` (interleaved) and returns
  // how many of them the entry has (fewer near its end, 0 past it or before 0). Reading
  // forward, as a run does, decodes each frame once; a far jump seeks; reading back opens the
  // file again.
  int64_t ReadFrames(size_t index, int64_t first, int64_t count, int16_t* stereo);

 private:
  explicit Playlist(std::vector<AudioFileInfo> entries);
  void OpenEntry(size_t index);

  std::vector<AudioFileInfo> entries_;
  std::vector<double> starts_;
  std::optional<AudioTrack> demo_;
  // The entry being read: its stream, and the frames decoded but not yet passed by, the first
  // of which is frame windowStart_ of the entry.
  std::optional<size_t> openIndex_;
  std::unique_ptr<AudioStream> stream_;
  int64_t windowStart_ = 0;
  std::vector<int16_t> window_;
};

}  // namespace corvex::host
