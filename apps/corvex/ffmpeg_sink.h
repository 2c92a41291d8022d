#pragma once
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "frame_sink.h"
#include "staged_file.h"

namespace corvex::host {

// The full path of a program found on PATH, if any.
std::optional<std::string> FindProgram(const std::string& name);

struct VideoFormat {
  int32_t width;
  int32_t height;
  double fps;
};

// The sound of one song of the rendered stretch: raw 16-bit little-endian stereo.
struct AudioPart {
  std::string path;
  int32_t sampleRate;
};

// Throws HostError (usage) unless the output's extension names a container that holds H.264
// video and AAC sound, so a wrong name is refused before anything is rendered.
void CheckVideoContainer(const std::string& output);

// Frames piped as raw RGB to the ffmpeg program, which encodes H.264 (yuv420p) and muxes in the
// audio, the songs joined in order. The container follows the output's extension (MP4 for
// .mp4). ffmpeg writes a temporary file that becomes the output only when it ended well; what
// ffmpeg says goes to logPath, and its last lines into the message when it fails. A sink
// dropped before Finish stops ffmpeg at once and removes the temporary file.
class FfmpegSink final : public FrameSink {
 public:
  FfmpegSink(const std::string& ffmpeg, const std::string& output, const VideoFormat& format,
             const std::vector<AudioPart>& audio, const std::string& logPath);
  ~FfmpegSink() override;

  void Write(const uint8_t* rgb) override;
  void Finish() override;
  std::string Describe() const override { return staged_.finalPath(); }

  // The arguments given to ffmpeg (without the program), for a staged output path.
  static std::vector<std::string> Arguments(const VideoFormat& format,
                                            const std::vector<AudioPart>& audio,
                                            const std::string& stagedPath);

 private:
  [[noreturn]] void FailFromLog(const std::string& what);
  int Wait(bool interruptible);

  StagedFile staged_;
  VideoFormat format_;
  std::string logPath_;
  int pipe_ = -1;
  pid_t child_ = -1;
  int64_t frames_ = 0;
};

}  // namespace corvex::host
