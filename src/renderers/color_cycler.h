#pragma once
#include <cstdint>

namespace corvex {

// A colour that walks in straight steps towards random target colours, optionally following
// the target of a leader.
class ColorCycler {
 public:
  ColorCycler();
  virtual ~ColorCycler() = default;

  void PickTarget();
  uint32_t Step();
  uint32_t Color() const { return color; }
  uint32_t ScaledColor(double factor);
  void FollowLeader();
  void SetLeader(ColorCycler* cycler) { leader = cycler; }

  double red = 255.0;
  double green = 255.0;
  double blue = 255.0;
  double stepRed = 0.0;
  double stepGreen = 0.0;
  double stepBlue = 0.0;
  int32_t targetRed = 0;
  int32_t targetGreen = 0;
  int32_t targetBlue = 0;
  uint32_t color = 0xFFFFFF;
  ColorCycler* leader = nullptr;  // not owned
  int32_t stepsLeft = 0;
};

}  // namespace corvex
