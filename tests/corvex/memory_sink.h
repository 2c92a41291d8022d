#pragma once
#include <cstdint>
#include <vector>

#include "frame_sink.h"

namespace corvex::host::testing {

// Keeps every frame in memory, so a test can compare runs frame by frame.
class MemorySink final : public FrameSink {
 public:
  MemorySink(int32_t width, int32_t height) : bytes_(static_cast<size_t>(width) * height * 3) {}
  void Write(const uint8_t* rgb) override { frames.emplace_back(rgb, rgb + bytes_); }
  void Finish() override { finished = true; }
  std::string Describe() const override { return "memory"; }

  std::vector<std::vector<uint8_t>> frames;
  bool finished = false;

 private:
  size_t bytes_;
};

}  // namespace corvex::host::testing
