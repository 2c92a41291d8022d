#include "staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "host_error.h"

namespace corvex::host {

void FailOutput(const std::string& path, const std::string& reason) {
  throw HostError(ExitStatus::kOutput, path + ": cannot write: " + reason);
}

void CheckReplaceable(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode)) return;
  FailOutput(path, S_ISDIR(status.st_mode)
                       ? "it is a folder"
                       : "it is not a regular file (a pipe, a device or a socket); corvex writes "
                         "the whole video and puts it in place at the end");
}

StagedFile::StagedFile(const std::string& finalPath) : finalPath_(finalPath) {
  const std::filesystem::path target(finalPath);
  if (target.filename().empty()) FailOutput(finalPath, "no file name given");
  CheckReplaceable(finalPath);
  std::string hidden = ".";
  hidden += target.stem().string();
  hidden += ".partial-";
  hidden += std::to_string(getpid());
  hidden += target.extension().string();
  stagedPath_ = (target.parent_path() / hidden).string();
  const int file = open(stagedPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (file < 0) FailOutput(finalPath, std::strerror(errno));
  close(file);
}

StagedFile::~StagedFile() {
  if (!committed_) std::remove(stagedPath_.c_str());
}

void StagedFile::Commit() {
  if (std::rename(stagedPath_.c_str(), finalPath_.c_str()) != 0) {
    FailOutput(finalPath_, std::strerror(errno));
  }
  committed_ = true;
}

}  // namespace corvex::host
