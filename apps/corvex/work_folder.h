#pragma once
#include <string>

namespace corvex::host {

// A private temporary folder for one run (the settings the plug-in reads and writes, the audio
// handed to ffmpeg, ffmpeg's messages), removed with everything in it when the run ends.
class WorkFolder {
 public:
  WorkFolder();
  ~WorkFolder();
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  const std::string& path() const { return path_; }
  // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) about path_ + "/" + name.
  std::string File(const std::string& name) const {
    std::string path = path_;
    path += '/';
    path += name;
    return path;
  }

 private:
  std::string path_;
};

}  // namespace corvex::host
