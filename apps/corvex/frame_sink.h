#pragma once
#include <cstdint>
#include <string>

namespace corvex::host {

// Where the rendered frames go. Frames arrive as packed RGB, 3 bytes a pixel, top row first.
// Finish completes the output under its final name; a sink destroyed without Finish removes
// what it wrote, so a failed run leaves nothing half-made behind.
class FrameSink {
 public:
  virtual ~FrameSink() = default;
  virtual void Write(const uint8_t* rgb) = 0;
  virtual void Finish() = 0;
  // What the user finds when the run is over, for the closing line.
  virtual std::string Describe() const = 0;
};

}  // namespace corvex::host
