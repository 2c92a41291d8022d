#include "progress_line.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace corvex::host {

ProgressLine::ProgressLine(FILE* output)
    : output_(output), started_(std::chrono::steady_clock::now()), lastPrint_(started_) {}

ProgressLine::~ProgressLine() {
  if (open_) {
    std::fputc('\n', output_);
    std::fflush(output_);
  }
}

std::string ProgressLine::Format(int64_t frames, double videoSeconds, double wallSeconds) {
  const double fps = wallSeconds > 0.0 ? frames / wallSeconds : 0.0;
  const double speed = wallSeconds > 0.0 ? videoSeconds / wallSeconds : 0.0;
  const int64_t hundredths = std::llround(std::max(0.0, videoSeconds) * 100.0);
  char line[128];
  std::snprintf(line, sizeof line, "frame=%6lld fps=%5.1f time=%02lld:%02lld:%02lld.%02lld speed=%5.2fx",
                static_cast<long long>(frames), fps,
                static_cast<long long>(hundredths / 360000),
                static_cast<long long>(hundredths / 6000 % 60),
                static_cast<long long>(hundredths / 100 % 60),
                static_cast<long long>(hundredths % 100), speed);
  return line;
}

void ProgressLine::Print(int64_t frames, double videoSeconds, const char* end) {
  const auto now = std::chrono::steady_clock::now();
  const double wall = std::chrono::duration<double>(now - started_).count();
  std::fprintf(output_, "\r%s%s", Format(frames, videoSeconds, wall).c_str(), end);
  std::fflush(output_);
  lastPrint_ = now;
  printed_ = true;
  open_ = end[0] == '\0';
}

void ProgressLine::Update(int64_t frames, double videoSeconds) {
  if (output_ == nullptr) return;
  const auto now = std::chrono::steady_clock::now();
  if (printed_ && now - lastPrint_ < std::chrono::milliseconds(250)) return;
  Print(frames, videoSeconds, "");
}

void ProgressLine::Finish(int64_t frames, double videoSeconds) {
  if (output_ == nullptr) return;
  Print(frames, videoSeconds, "\n");
}

}  // namespace corvex::host
