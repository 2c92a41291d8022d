#include "ffmpeg_sink.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host_error.h"

extern char** environ;

namespace corvex::host {

namespace {

std::string FormatNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

std::string LastLine(const std::string& path) {
  std::ifstream log(path);
  std::string line;
  std::string last;
  while (std::getline(log, line)) {
    if (line.find_first_not_of(" \t\r") != std::string::npos) last = line;
  }
  return last;
}

bool NeedsFastStart(const std::string& path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos) return false;
  std::string extension = path.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".mp4" || extension == ".m4v" || extension == ".mov";
}

}  // namespace

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
                                               const std::vector<std::string>& audioFiles,
                                               const std::string& stagedPath) {
  std::vector<std::string> args = {
      "-hide_banner", "-loglevel", "error", "-y",
      "-f", "rawvideo", "-pix_fmt", "rgb24",
      "-video_size", std::to_string(format.width) + "x" + std::to_string(format.height),
      "-framerate", FormatNumber(format.fps), "-i", "pipe:0"};
  for (const std::string& audio : audioFiles) {
    args.insert(args.end(), {"-i", audio});
  }
  args.insert(args.end(), {"-map", "0:v"});
  if (audioFiles.size() == 1) {
    args.insert(args.end(), {"-map", "1:a"});
  } else if (audioFiles.size() > 1) {
    // Songs may have different sample rates: all are brought to one before they are joined.
    std::ostringstream graph;
    for (size_t i = 0; i < audioFiles.size(); ++i) {
      graph << '[' << i + 1 << ":a]aresample=48000[a" << i << "];";
    }
    for (size_t i = 0; i < audioFiles.size(); ++i) graph << "[a" << i << ']';
    graph << "concat=n=" << audioFiles.size() << ":v=0:a=1[audio]";
    args.insert(args.end(), {"-filter_complex", graph.str(), "-map", "[audio]"});
  }
  // yuv420p, which every player shows, needs even sizes: an odd edge gets one black line.
  if (format.width % 2 != 0 || format.height % 2 != 0) {
    args.insert(args.end(), {"-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2"});
  }
  args.insert(args.end(), {"-c:v", "libx264", "-preset", "veryfast", "-crf", "18",
                           "-pix_fmt", "yuv420p"});
  if (!audioFiles.empty()) {
    args.insert(args.end(), {"-c:a", "aac", "-b:a", "192k", "-shortest"});
  }
  if (NeedsFastStart(stagedPath)) args.insert(args.end(), {"-movflags", "+faststart"});
  args.push_back(stagedPath);
  return args;
}

FfmpegSink::FfmpegSink(const std::string& ffmpeg, const std::string& output,
                       const VideoFormat& format, const std::vector<std::string>& audioFiles,
                       const std::string& logPath)
    : staged_(output), format_(format), logPath_(logPath) {
  // A write to a pipe whose reader died must come back as an error, not end corvex.
  signal(SIGPIPE, SIG_IGN);

  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) FailOutput(output, std::strerror(errno));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logPath_.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);

  std::vector<std::string> args = Arguments(format, audioFiles, staged_.path());
  args.insert(args.begin(), ffmpeg);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  const int result = posix_spawn(&child_, ffmpeg.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(ends[0]);
  if (result != 0) {
    close(ends[1]);
    child_ = -1;
    throw HostError(ExitStatus::kOutput, ffmpeg + ": cannot start: " + std::strerror(result));
  }
  pipe_ = ends[1];
}

FfmpegSink::~FfmpegSink() {
  if (pipe_ >= 0) close(pipe_);
  if (child_ > 0) Wait();
}

int FfmpegSink::Wait() {
  int status = 0;
  while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
  }
  child_ = -1;
  return status;
}

void FfmpegSink::FailFromLog(const std::string& what) {
  if (pipe_ >= 0) close(pipe_);
  pipe_ = -1;
  if (child_ > 0) Wait();
  const std::string said = LastLine(logPath_);
  throw HostError(ExitStatus::kOutput, "ffmpeg " + what + (said.empty() ? "" : ": " + said));
}

void FfmpegSink::Write(const uint8_t* rgb) {
  size_t left = static_cast<size_t>(format_.width) * static_cast<size_t>(format_.height) * 3;
  while (left > 0) {
    const ssize_t done = write(pipe_, rgb, left);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) FailFromLog("stopped while taking frame " + std::to_string(frames_ + 1));
    rgb += done;
    left -= static_cast<size_t>(done);
  }
  ++frames_;
}

void FfmpegSink::Finish() {
  close(pipe_);
  pipe_ = -1;
  const int status = Wait();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) FailFromLog("failed");
  staged_.Commit();
}

}  // namespace corvex::host
