#include "audio_file.h"

#include <sndfile.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "host_error.h"

namespace corvex::host {

namespace {

struct SndFileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndFilePtr = std::unique_ptr<SNDFILE, SndFileCloser>;

[[noreturn]] void FailInput(const std::string& path, const std::string& problem) {
  throw HostError(ExitStatus::kInput, path + ": " + problem);
}

// libsndfile reports a file it cannot open the same way whatever the cause, so the cause the
// user can act on (missing, a folder, no permission) is found out first.
void CheckReadable(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    FailInput(path, errno == ENOENT ? "no such file" : std::string("cannot read: ") +
                                                            std::strerror(errno));
  }
  if (S_ISDIR(status.st_mode)) FailInput(path, "cannot read: it is a folder, not a file");
  FILE* probe = std::fopen(path.c_str(), "rb");
  if (probe == nullptr) FailInput(path, std::string("cannot read: ") + std::strerror(errno));
  std::fclose(probe);
}

SndFilePtr OpenForReading(const std::string& path, SF_INFO* format) {
  CheckReadable(path);
  *format = SF_INFO{};
  SndFilePtr file(sf_open(path.c_str(), SFM_READ, format));
  if (!file) {
    FailInput(path, std::string("not an audio file that can be read (") + sf_strerror(nullptr) +
                        ")");
  }
  return file;
}

std::string TitleOf(SNDFILE* file, const std::string& path) {
  const char* title = sf_get_string(file, SF_STR_TITLE);
  const char* artist = sf_get_string(file, SF_STR_ARTIST);
  const bool hasTitle = title != nullptr && title[0] != '\0';
  const bool hasArtist = artist != nullptr && artist[0] != '\0';
  if (hasTitle && hasArtist) return std::string(artist) + " - " + title;
  if (hasTitle) return title;
  return std::filesystem::path(path).stem().string();
}

}  // namespace

AudioFileInfo ProbeAudioFile(const std::string& path) {
  SF_INFO format;
  SndFilePtr file = OpenForReading(path, &format);
  if (format.frames <= 0 || format.channels <= 0) FailInput(path, "contains no audio");
  if (format.samplerate < 8000 || format.samplerate > 384000) {
    FailInput(path, "unsupported sample rate " + std::to_string(format.samplerate) + " Hz");
  }
  return AudioFileInfo{path, TitleOf(file.get(), path), format.samplerate, format.frames};
}

AudioTrack DecodeAudioFile(const AudioFileInfo& info) {
  SF_INFO format;
  SndFilePtr file = OpenForReading(info.path, &format);
  // Floating-point files beyond full scale clip instead of wrapping round.
  sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);

  AudioTrack track;
  track.title = info.title;
  track.sampleRate = info.sampleRate;
  track.samples.assign(static_cast<size_t>(info.frameCount) * 2, 0);

  const int channels = format.channels;
  constexpr sf_count_t kChunkFrames = 4096;
  std::vector<int16_t> chunk(static_cast<size_t>(kChunkFrames * channels));
  int64_t done = 0;
  while (done < info.frameCount) {
    const sf_count_t wanted = std::min<sf_count_t>(kChunkFrames, info.frameCount - done);
    const sf_count_t got = sf_readf_short(file.get(), chunk.data(), wanted);
    if (got <= 0) break;
    for (sf_count_t frame = 0; frame < got; ++frame) {
      const int16_t* in = &chunk[static_cast<size_t>(frame * channels)];
      int16_t* out = &track.samples[static_cast<size_t>(done + frame) * 2];
      out[0] = in[0];
      out[1] = channels > 1 ? in[1] : in[0];
    }
    done += got;
  }
  return track;
}

void WriteWavFile(const std::string& path, const AudioTrack& track, int64_t first, int64_t count) {
  SF_INFO format{};
  format.samplerate = track.sampleRate;
  format.channels = 2;
  format.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SndFilePtr file(sf_open(path.c_str(), SFM_WRITE, &format));
  if (!file) {
    throw HostError(ExitStatus::kOutput,
                    path + ": cannot write the audio for the video (" + sf_strerror(nullptr) + ")");
  }
  first = std::clamp<int64_t>(first, 0, track.FrameCount());
  count = std::clamp<int64_t>(count, 0, track.FrameCount() - first);
  const int16_t* data = track.samples.data() + first * 2;
  if (sf_writef_short(file.get(), data, count) != count) {
    throw HostError(ExitStatus::kOutput, path + ": cannot write the audio for the video (" +
                                             sf_strerror(file.get()) + ")");
  }
}

}  // namespace corvex::host
