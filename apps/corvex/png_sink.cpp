#include "png_sink.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "png_writer.h"
#include "staged_file.h"

namespace corvex::host {

namespace fs = std::filesystem;

PngSink::PngSink(const std::string& folder) : folder_(folder) {
  std::error_code error;
  if (fs::exists(folder_, error) && !fs::is_directory(folder_, error)) {
    FailOutput(folder_, "it is a file, not a folder");
  }
  // New frames would replace some of an earlier run's and leave the rest after them, and a
  // failed run would take away those it replaced: such a folder is not written into at all.
  if (fs::exists(fs::path(folder_) / FrameName(1), error)) {
    FailOutput(folder_, "it holds the frames of an earlier run (" + FrameName(1) +
                            " and on); give another folder or empty this one");
  }
  if (!fs::exists(folder_, error)) {
    madeFolder_ = fs::create_directories(folder_, error);
    if (error) FailOutput(folder_, error.message());
  }
  // Find out now, not after the first frame, whether the folder takes files.
  StagedFile probe((fs::path(folder_) / "frame_probe").string());
}

PngSink::~PngSink() {
  if (finished_) return;
  for (const std::string& path : written_) std::remove(path.c_str());
  std::error_code error;
  if (madeFolder_) fs::remove(folder_, error);  // only when empty
}

std::string PngSink::FrameName(int64_t number) {
  char name[32];
  std::snprintf(name, sizeof name, "frame_%06lld.png", static_cast<long long>(number));
  return name;
}

void PngSink::Write(const PictureRows& picture) {
  StagedFile file((fs::path(folder_) / FrameName(static_cast<int64_t>(written_.size()) + 1)).string());
  WritePicturePng(file.path(), picture, file.finalPath());
  file.Commit();
  written_.push_back(file.finalPath());
}

std::string PngSink::Describe() const {
  return std::to_string(written_.size()) + " PNG frames in " + folder_;
}

}  // namespace corvex::host
