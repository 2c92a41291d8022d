#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace corvex::host {

// Sixteen-bit stereo audio in memory: what the host feeds the plug-in and muxes into the video.
struct AudioTrack {
  std::string title;
  int32_t sampleRate = 0;
  std::vector<int16_t> samples;  // interleaved left, right

  int64_t FrameCount() const { return static_cast<int64_t>(samples.size() / 2); }
};

// What the playlist needs to know of a file before it is played.
struct AudioFileInfo {
  std::string path;
  std::string title;  // "Artist - Title" or the title from the tags, else the file's name
  int32_t sampleRate = 0;
  int64_t frameCount = 0;
};

// Opens a file with libsndfile and reads its format and tags. A missing, unreadable, empty or
// non-audio file throws HostError with a line that names the file and the problem.
AudioFileInfo ProbeAudioFile(const std::string& path);

// Decodes the whole file to 16-bit stereo: one channel feeds both, more than two keep the first
// two. The result has exactly info.frameCount frames (a short decode is padded with silence),
// so the playlist's timeline never moves under a file being played.
AudioTrack DecodeAudioFile(const AudioFileInfo& info);

// Writes frames [first, first + count) of track as a 16-bit stereo WAV file.
void WriteWavFile(const std::string& path, const AudioTrack& track, int64_t first, int64_t count);

}  // namespace corvex::host
