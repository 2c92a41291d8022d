#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace corvex::host {

// Where the rendered frames go. Frames arrive as the display shows them: 0x00RRGGBB pixels,
// top row first, handed over (a sink may keep the buffer while it works on it).
// Finish completes the output under its final name; a sink destroyed without Finish removes
// what it wrote, so a failed run leaves nothing half-made behind.
class FrameSink {
 public:
  virtual ~FrameSink() = default;
  virtual void Write(std::vector<uint32_t>&& pixels) = 0;
  virtual void Finish() = 0;
  // What the user finds when the run is over, for the closing line.
  virtual std::string Describe() const = 0;
};

}  // namespace corvex::host
