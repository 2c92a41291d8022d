#pragma once
#include <string>

namespace corvex::host {

// An output file written under a temporary name beside its final one and renamed only when it
// is complete, so a failed or interrupted run never leaves a half-written file under the name
// the user asked for. Making one checks at once that the folder can be written to.
class StagedFile {
 public:
  explicit StagedFile(const std::string& finalPath);
  ~StagedFile();  // removes the temporary file unless Commit ran
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // The temporary name: hidden, in the same folder, with the final name's extension (which
  // tells ffmpeg the container).
  const std::string& path() const { return stagedPath_; }
  const std::string& finalPath() const { return finalPath_; }

  // Renames the file to its final name, replacing any file there. Throws HostError (output).
  void Commit();

 private:
  std::string finalPath_;
  std::string stagedPath_;
  bool committed_ = false;
};

// Throws HostError (output) unless `path` names nothing yet or a regular file: a staged file
// takes the place of what is there when it is complete, which must not be a folder, nor a pipe
// or a device that the user meant to be written through.
void CheckReplaceable(const std::string& path);

// Throws HostError (output) with "PATH: cannot write: REASON".
[[noreturn]] void FailOutput(const std::string& path, const std::string& reason);

}  // namespace corvex::host
