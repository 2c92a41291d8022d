#pragma once
#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
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
  std::string preset = "superfast";  // x264's trade of speed for size
  int32_t crf = 18;                 // x264's quality: 0 lossless .. 51 worst
};

// The presets x264 knows, fastest first.
const std::vector<std::string>& EncoderPresets();

// The sound of one song of the rendered stretch: raw 16-bit little-endian stereo.
struct AudioPart {
  std::string path;
  int32_t sampleRate;
};

// Throws HostError (usage) unless the output's extension names a container that holds H.264
// video and AAC sound, so a wrong name is refused before anything is rendered.
void CheckVideoContainer(const std::string& output);

// Frames piped to the ffmpeg program, which encodes H.264 and muxes in the audio, the songs
// joined in order. Write turns the frame, where the display shows it, into the encoder's 4:2:0
// picture (a quarter of its bytes: no copy of the 32-bit picture is made), and a thread of the
// sink's own writes that into the pipe while the plug-in makes the next frame; the pictures
// come from a few buffers made once, so a frame allocates nothing. The container follows the
// output's extension (MP4 for .mp4). ffmpeg writes a temporary file that becomes the output
// only when it ended well; what ffmpeg says goes to logPath, and its last lines into the
// message when it fails. A sink dropped before Finish stops ffmpeg at once and removes the
// temporary file.
class FfmpegSink final : public FrameSink {
 public:
  FfmpegSink(const std::string& ffmpeg, const std::string& output, const VideoFormat& format,
             const std::vector<AudioPart>& audio, const std::string& logPath);
  ~FfmpegSink() override;

  // The picture must have the format's size.
  void Write(const PictureRows& picture) override;
  void Finish() override;
  std::string Describe() const override { return staged_.finalPath(); }

  // The arguments given to ffmpeg (without the program), for a staged output path.
  static std::vector<std::string> Arguments(const VideoFormat& format,
                                            const std::vector<AudioPart>& audio,
                                            const std::string& stagedPath);

 private:
  [[noreturn]] void FailFromLog(const std::string& what);
  int Wait(bool interruptible);
  void WriteFrames();  // the writer thread
  void StopWriter();

  StagedFile staged_;
  VideoFormat format_;
  std::string logPath_;
  int pipe_ = -1;
  pid_t child_ = -1;

  std::thread writer_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::vector<uint8_t>> free_;      // 4:2:0 pictures ready to be filled
  std::deque<std::vector<uint8_t>> waiting_;   // filled, not yet written
  bool closing_ = false;      // no more frames come
  bool writerDone_ = false;
  bool failed_ = false;       // the pipe refused a frame: ffmpeg stopped
  int64_t written_ = 0;       // frames ffmpeg took
};

}  // namespace corvex::host
