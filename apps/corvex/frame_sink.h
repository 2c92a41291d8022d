#pragma once
#include <string>

#include "platform/headless/headless_pixels.h"

namespace corvex::host {

using platform::headless::PictureRows;

// Where the rendered frames go. A frame arrives as the display shows it, read in place:
// 0x??RRGGBB pixels (the top byte means nothing), top row first, valid only during Write, so a
// sink takes what it needs before it returns.
// Finish completes the output under its final name; a sink destroyed without Finish removes
// what it wrote, so a failed run leaves nothing half-made behind.
class FrameSink {
 public:
  virtual ~FrameSink() = default;
  virtual void Write(const PictureRows& picture) = 0;
  virtual void Finish() = 0;
  // What the user finds when the run is over, for the closing line.
  virtual std::string Describe() const = 0;
};

}  // namespace corvex::host
