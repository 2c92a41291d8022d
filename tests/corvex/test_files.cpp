#include "test_files.h"

#include <fcntl.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace corvex::host::testing {

void WriteAudio(const std::string& path, int format, int32_t sampleRate, int32_t channels,
                int64_t frames, const std::function<int16_t(int64_t, int32_t)>& sample,
                const std::string& title, const std::string& artist) {
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
  if (!title.empty()) sf_set_string(file, SF_STR_TITLE, title.c_str());
  if (!artist.empty()) sf_set_string(file, SF_STR_ARTIST, artist.c_str());
  std::vector<int16_t> data(static_cast<size_t>(frames * channels));
  for (int64_t frame = 0; frame < frames; ++frame) {
    for (int32_t channel = 0; channel < channels; ++channel) {
      data[static_cast<size_t>(frame * channels + channel)] = sample(frame, channel);
    }
  }
  sf_writef_short(file, data.data(), frames);
  sf_close(file);
}

void WriteSineWav(const std::string& path, int32_t sampleRate, double seconds, double frequency,
                  double amplitude, const std::string& title) {
  const double step = 2.0 * std::acos(-1.0) * frequency / sampleRate;
  WriteAudio(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, sampleRate, 2,
             static_cast<int64_t>(seconds * sampleRate),
             [&](int64_t frame, int32_t) {
               return static_cast<int16_t>(std::lround(amplitude * std::sin(step * frame)));
             },
             title);
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

namespace {

ProgramRun Spawn(const std::vector<std::string>& argv, const std::string& where,
                 const std::string& pathVariable) {
  TempFolder folder;
  const std::string outPath = folder.File("out");
  const std::string errPath = folder.File("err");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!where.empty()) posix_spawn_file_actions_addchdir_np(&actions, where.c_str());

  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (!pathVariable.empty() && std::string(*entry).rfind("PATH=", 0) == 0) continue;
    environment.emplace_back(*entry);
  }
  if (!pathVariable.empty()) environment.push_back("PATH=" + pathVariable);
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> args = argv;
  std::vector<char*> argp;
  for (std::string& arg : args) argp.push_back(arg.data());
  argp.push_back(nullptr);

  pid_t child = -1;
  const int started = posix_spawnp(&child, args[0].c_str(), &actions, nullptr, argp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ProgramRun run;
  if (started != 0) return run;
  int status = 0;
  waitpid(child, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = ReadFile(outPath);
  run.err = ReadFile(errPath);
  return run;
}

}  // namespace

ProgramRun RunCorvex(const std::vector<std::string>& args, const std::string& where,
                     const std::string& pathVariable) {
  std::vector<std::string> argv = {std::string(CORVEX_BINARY_DIR) + "/apps/corvex/corvex"};
  argv.insert(argv.end(), args.begin(), args.end());
  return Spawn(argv, where, pathVariable);
}

ProgramRun RunProgram(const std::vector<std::string>& argv) { return Spawn(argv, "", ""); }

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace corvex::host::testing
