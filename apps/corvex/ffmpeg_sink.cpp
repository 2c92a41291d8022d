#include "ffmpeg_sink.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "host_error.h"
#include "interruption.h"
#include "yuv_kernels.h"
#include "yuv_picture.h"

extern char** environ;

namespace corvex::host {

namespace {

std::string FormatNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

// ffmpeg's last lines, with the hidden temporary name replaced by the name the user gave:
// the last line alone ("Conversion failed!") rarely says why. Its note that a line came again
// ("Last message repeated 3 times") says nothing without that line and is left out.
std::string LastLines(const std::string& path, const std::string& staged, const std::string& output) {
  constexpr size_t kLines = 3;
  std::ifstream log(path);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(log, line)) {
    const size_t text = line.find_first_not_of(" \t\r");
    if (text == std::string::npos || line.compare(text, 22, "Last message repeated ") == 0) continue;
    for (size_t at = line.find(staged); at != std::string::npos; at = line.find(staged, at + output.size())) {
      line.replace(at, staged.size(), output);
    }
    lines.push_back(line);
    if (lines.size() > kLines) lines.erase(lines.begin());
  }
  std::string said;
  for (const std::string& kept : lines) said += (said.empty() ? "" : " / ") + kept;
  return said;
}

bool NeedsFastStart(const std::string& path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos) return false;
  std::string extension = path.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".mp4" || extension == ".m4v" || extension == ".mov";
}

// A large frame through the default 64 KiB pipe takes dozens of turns of writer and encoder.
// The pipe grows up to 1 MiB (the usual limit for a user; where the system refuses, the
// default only switches more), but stays within half a frame: a frame counts as taken once
// all of it is in the pipe, and a failure names the frame ffmpeg stopped in.
int PipeBytes(size_t frameBytes) {
  int bytes = 64 << 10;
  while (bytes < (1 << 20) && static_cast<size_t>(bytes) * 4 <= frameBytes) bytes *= 2;
  return bytes;
}

}  // namespace

const std::vector<std::string>& EncoderPresets() {
  static const std::vector<std::string> presets = {"ultrafast", "superfast", "veryfast", "faster",
                                                   "fast", "medium", "slow", "slower", "veryslow"};
  return presets;
}

void CheckVideoContainer(const std::string& output) {
  const std::string extension = std::filesystem::path(output).extension().string();
  const AVOutputFormat* container = av_guess_format(nullptr, output.c_str(), nullptr);
  const bool holdsBoth = container != nullptr &&
                         avformat_query_codec(container, AV_CODEC_ID_H264, FF_COMPLIANCE_NORMAL) == 1 &&
                         avformat_query_codec(container, AV_CODEC_ID_AAC, FF_COMPLIANCE_NORMAL) == 1;
  if (holdsBoth) return;
  throw HostError(ExitStatus::kUsage,
                  output + ": " +
                      (extension.empty() ? std::string("no extension to choose the video's container by")
                                         : "a " + extension + " file cannot hold an H.264 video with its sound") +
                      " (use .mp4, .mkv or .mov, or --png DIR for frames)");
}

std::optional<std::string> FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return std::nullopt;
  std::stringstream folders(path);
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    // An empty entry means the current folder.
    const std::string candidate =
        (std::filesystem::path(folder.empty() ? "." : folder) / name).string();
    struct stat status {};
    if (stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
        access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
  }
  return std::nullopt;
}

std::vector<std::string> FfmpegSink::Arguments(const VideoFormat& format,
                                               const std::vector<AudioPart>& audio,
                                               const std::string& stagedPath) {
  // The frames come as the encoder takes them, so ffmpeg converts nothing.
  const YuvSize size = YuvSizeOf(format.width, format.height);
  std::vector<std::string> args = {
      "-hide_banner", "-loglevel", "error", "-y",
      "-f", "rawvideo", "-pix_fmt", "yuv420p",
      "-video_size", std::to_string(size.width) + "x" + std::to_string(size.height),
      "-framerate", FormatNumber(format.fps), "-i", "pipe:0"};
  for (const AudioPart& part : audio) {
    args.insert(args.end(), {"-f", "s16le", "-ar", std::to_string(part.sampleRate), "-ch_layout", "stereo",
                             "-i", part.path});
  }
  args.insert(args.end(), {"-map", "0:v"});
  if (audio.size() == 1) {
    args.insert(args.end(), {"-map", "1:a"});
  } else if (audio.size() > 1) {
    // Songs may have different sample rates: all are brought to one before they are joined.
    std::ostringstream graph;
    for (size_t i = 0; i < audio.size(); ++i) {
      graph << '[' << i + 1 << ":a]aresample=48000[a" << i << "];";
    }
    for (size_t i = 0; i < audio.size(); ++i) graph << "[a" << i << ']';
    graph << "concat=n=" << audio.size() << ":v=0:a=1[audio]";
    args.insert(args.end(), {"-filter_complex", graph.str(), "-map", "[audio]"});
  }
  args.insert(args.end(), {"-c:v", "libx264", "-preset", format.preset, "-crf", std::to_string(format.crf),
                           "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709",
                           "-color_range", "tv"});
  if (!audio.empty()) {
    args.insert(args.end(), {"-c:a", "aac", "-b:a", "192k", "-shortest"});
  }
  if (NeedsFastStart(stagedPath)) args.insert(args.end(), {"-movflags", "+faststart"});
  args.push_back(stagedPath);
  return args;
}

FfmpegSink::FfmpegSink(const std::string& ffmpeg, const std::string& output,
                       const VideoFormat& format, const std::vector<AudioPart>& audio,
                       const std::string& logPath)
    : staged_(output), format_(format), logPath_(logPath) {
  // A write to a pipe whose reader died must come back as an error, not end corvex.
  signal(SIGPIPE, SIG_IGN);

  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) FailOutput(output, std::strerror(errno));
  fcntl(ends[1], F_SETPIPE_SZ, PipeBytes(YuvSizeOf(format.width, format.height).Bytes()));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logPath_.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);

  // ffmpeg gets a process group of its own, so a Ctrl-C at the terminal reaches only corvex,
  // which stops ffmpeg itself and removes what it staged; and the default SIGPIPE back.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

  std::vector<std::string> args = Arguments(format, audio, staged_.path());
  args.insert(args.begin(), ffmpeg);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  const int result = posix_spawn(&child_, ffmpeg.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(ends[0]);
  if (result != 0) {
    close(ends[1]);
    child_ = -1;
    throw HostError(ExitStatus::kOutput, ffmpeg + ": cannot start: " + std::strerror(result));
  }
  pipe_ = ends[1];
  // One picture being filled, one waiting and one being written keep both threads busy.
  constexpr int kPictures = 3;
  free_.assign(kPictures, std::vector<uint8_t>(YuvSizeOf(format.width, format.height).Bytes()));
  writer_ = std::thread(&FfmpegSink::WriteFrames, this);
}

FfmpegSink::~FfmpegSink() {
  // Only a run that failed or was stopped gets here with ffmpeg still running: its output is
  // thrown away, so there is nothing to let it finish. Killing it first also frees a writer
  // blocked on a full pipe.
  if (child_ > 0) kill(child_, SIGKILL);
  StopWriter();
  if (pipe_ >= 0) close(pipe_);
  if (child_ > 0) Wait(false);
}

void FfmpegSink::StopWriter() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
    waiting_.clear();
  }
  changed_.notify_all();
  if (writer_.joinable()) writer_.join();
}

void FfmpegSink::WriteFrames() {
  // Signals are the main thread's to take: there they stop the run.
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, nullptr);
  for (;;) {
    std::vector<uint8_t> picture;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return !waiting_.empty() || closing_; });
      if (waiting_.empty()) break;
      picture = std::move(waiting_.front());
      waiting_.pop_front();
    }
    const uint8_t* bytes = picture.data();
    size_t left = picture.size();
    while (left > 0) {
      const ssize_t done = write(pipe_, bytes, left);
      if (done < 0 && errno == EINTR) continue;
      if (done <= 0) break;
      bytes += done;
      left -= static_cast<size_t>(done);
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (left > 0) {
        failed_ = true;
        break;
      }
      ++written_;
      free_.push_back(std::move(picture));
    }
    changed_.notify_all();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  writerDone_ = true;
  changed_.notify_all();
}

int FfmpegSink::Wait(bool interruptible) {
  int status = 0;
  while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    if (interruptible) StopIfInterrupted();  // the destructor stops ffmpeg
  }
  child_ = -1;
  return status;
}

void FfmpegSink::FailFromLog(const std::string& what) {
  StopWriter();
  if (pipe_ >= 0) close(pipe_);
  pipe_ = -1;
  if (child_ > 0) Wait(false);
  StopIfInterrupted();  // ffmpeg ended because the run was stopped: that is what to report
  const std::string said = LastLines(logPath_, staged_.path(), staged_.finalPath());
  throw HostError(ExitStatus::kOutput, "ffmpeg " + what + (said.empty() ? "" : ": " + said));
}

void FfmpegSink::Write(const PictureRows& picture) {
  std::vector<uint8_t> yuv;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    // The wait wakes now and then: a signal lands on this thread but does not end the wait.
    while (!failed_ && free_.empty()) {
      changed_.wait_for(lock, std::chrono::milliseconds(50));
      StopIfInterrupted();
    }
    if (failed_) {
      const int64_t frame = written_ + 1;
      lock.unlock();
      FailFromLog("stopped while taking frame " + std::to_string(frame));
    }
    yuv = std::move(free_.back());
    free_.pop_back();
  }
  // Here, not on the writer: the display's memory is the plug-in's again once Write returns.
  BestYuvKernel().convert(picture.first, picture.pitch, format_.width, format_.height, yuv.data());
  {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_.push_back(std::move(yuv));
  }
  changed_.notify_all();
}

void FfmpegSink::Finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  closing_ = true;
  changed_.notify_all();
  while (!writerDone_) {
    changed_.wait_for(lock, std::chrono::milliseconds(50));
    StopIfInterrupted();
  }
  const bool failed = failed_;
  const int64_t frame = written_ + 1;
  lock.unlock();
  if (failed) FailFromLog("stopped while taking frame " + std::to_string(frame));
  writer_.join();
  close(pipe_);
  pipe_ = -1;
  const int status = Wait(/*interruptible=*/true);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) FailFromLog("failed");
  staged_.Commit();
}

}  // namespace corvex::host
