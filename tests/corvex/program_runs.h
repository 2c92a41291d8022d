#pragma once
// Running corvex as a user does: the real program in a child process, or its command line in
// this process with what it prints captured.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "command_line.h"
#include "test_files.h"

namespace corvex::host::testing {

struct ProgramRun {
  int status = -1;
  std::string out, err;
};

inline ProgramRun RunProcess(const std::vector<std::string>& argv) {
  TempFolder folder;
  std::string command;
  for (const std::string& arg : argv) command += "'" + arg + "' ";
  const int status = std::system((command + "</dev/null >" + folder.File("out") + " 2>" + folder.File("err")).c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(folder.File("out")), ReadFile(folder.File("err"))};
}

inline ProgramRun RunCorvexHere(std::vector<std::string> args) {
  args.insert(args.begin(), "corvex");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  ProgramRun run;
  run.status = RunCommandLine(static_cast<int>(argv.size()), argv.data());
  run.out = ::testing::internal::GetCapturedStdout();
  run.err = ::testing::internal::GetCapturedStderr();
  return run;
}

inline std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

inline const std::string kCorvex = std::string(CORVEX_BINARY_DIR) + "/apps/corvex/corvex";

// PATH for the time of one run.
struct ScopedPath {
  explicit ScopedPath(const std::string& path) { if (!path.empty()) setenv("PATH", path.c_str(), 1); }
  ~ScopedPath() { setenv("PATH", saved.c_str(), 1); }
  std::string saved = std::getenv("PATH");
};

}  // namespace corvex::host::testing
