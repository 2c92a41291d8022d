#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "frame_sink.h"

namespace corvex::host {

// Frames as numbered PNG files in a folder: frame_000001.png, frame_000002.png, ... The
// folder is made when missing. Each file is written under a temporary name and renamed when
// complete; a run that fails removes the frames it wrote (and the folder, if it made it).
class PngSink final : public FrameSink {
 public:
  explicit PngSink(const std::string& folder);
  ~PngSink() override;

  void Write(const PictureRows& picture) override;
  void Finish() override { finished_ = true; }
  std::string Describe() const override;

  static std::string FrameName(int64_t number);

 private:
  std::string folder_;
  bool madeFolder_ = false;
  bool finished_ = false;
  std::vector<std::string> written_;
};

}  // namespace corvex::host
