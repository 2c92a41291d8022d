#pragma once
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace corvex::host {

// The sound queue between the player and the audio device's callback, and the clock that says
// which moment of the playlist is being heard. The player appends frames tagged with the moment
// of the playlist's timeline they begin at; the callback takes frames at the device's rate and
// notes when it did so. The frames a callback hands over are taken to sound from that moment
// on, one after the other at the device's rate, so the moment heard at time t is the handed
// frame (t - callback time) x rate frames in, never beyond the last frame handed.
class AudioClock {
 public:
  explicit AudioClock(int32_t deviceRate) : rate_(deviceRate) {}

  // Player side.
  void Append(const int16_t* stereo, int32_t frames, double timelineSeconds);
  void Clear();               // a seek or stop: what is queued is never played
  int64_t QueuedFrames() const;

  // Callback side: fills frames of stereo output (silence past what is queued) at the given
  // moment of the performance counter, and returns how many queued frames it used.
  int32_t Take(int16_t* stereo, int32_t frames, uint64_t counter);

  // The moment of the timeline heard at the given performance counter value; none until a
  // callback has handed over queued sound since the last Clear.
  std::optional<double> Heard(uint64_t counter) const;

  // Every hand-over, when asked for (a test measures picture against sound with them).
  struct Handoff {
    uint64_t counter;
    double timelineSeconds;  // the moment of the first frame handed over
    int32_t frames;
  };
  void KeepHandoffs(bool keep);
  std::vector<Handoff> Handoffs() const;

  int32_t rate() const { return rate_; }

 private:
  struct Mark {
    int64_t frame;  // index in the stream of appended frames
    double seconds;
  };
  double SecondsAt(int64_t frame) const;  // with the lock held

  const int32_t rate_;
  mutable std::mutex lock_;
  std::deque<int16_t> samples_;
  std::deque<Mark> marks_;
  int64_t appended_ = 0;  // frames appended since the start
  int64_t taken_ = 0;     // frames handed to the device since the start
  bool heardAny_ = false;
  uint64_t lastCounter_ = 0;
  int64_t lastFirst_ = 0;
  int32_t lastFrames_ = 0;
  bool keepHandoffs_ = false;
  std::vector<Handoff> handoffs_;
};

}  // namespace corvex::host
