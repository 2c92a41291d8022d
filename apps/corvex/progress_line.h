#pragma once
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace corvex::host {

// The one-line progress report on stderr: frame count, frames per second, the video time made
// so far and its speed against real time. Redrawn in place at most four times a second; null
// output (quiet) prints nothing.
class ProgressLine {
 public:
  explicit ProgressLine(FILE* output);
  // A line still open (the run failed or was stopped) is ended, so what is said next starts
  // on a line of its own.
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Update(int64_t frames, double videoSeconds);
  // The last report, ended with a newline.
  void Finish(int64_t frames, double videoSeconds);

  static std::string Format(int64_t frames, double videoSeconds, double wallSeconds);

 private:
  void Print(int64_t frames, double videoSeconds, const char* end);

  FILE* output_;
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point lastPrint_;
  bool printed_ = false;
  bool open_ = false;  // the last report has no newline yet
};

}  // namespace corvex::host
