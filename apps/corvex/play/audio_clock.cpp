#include "play/audio_clock.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace corvex::host {

void AudioClock::Append(const int16_t* stereo, int32_t frames, double timelineSeconds) {
  if (frames <= 0) return;
  std::lock_guard<std::mutex> guard(lock_);
  marks_.push_back(Mark{appended_, timelineSeconds});
  samples_.insert(samples_.end(), stereo, stereo + static_cast<size_t>(frames) * 2);
  appended_ += frames;
}

void AudioClock::Clear() {
  std::lock_guard<std::mutex> guard(lock_);
  samples_.clear();
  marks_.clear();
  taken_ = appended_;
  heardAny_ = false;
}

int64_t AudioClock::QueuedFrames() const {
  std::lock_guard<std::mutex> guard(lock_);
  return appended_ - taken_;
}

int32_t AudioClock::Take(int16_t* stereo, int32_t frames, uint64_t counter) {
  std::lock_guard<std::mutex> guard(lock_);
  const int32_t used = static_cast<int32_t>(std::min<int64_t>(frames, appended_ - taken_));
  std::copy_n(samples_.begin(), static_cast<size_t>(used) * 2, stereo);
  std::fill(stereo + static_cast<size_t>(used) * 2, stereo + static_cast<size_t>(frames) * 2, 0);
  samples_.erase(samples_.begin(), samples_.begin() + static_cast<ptrdiff_t>(used) * 2);
  if (used > 0) {
    heardAny_ = true;
    lastCounter_ = counter;
    lastFirst_ = taken_;
    lastFrames_ = used;
    if (keepHandoffs_) handoffs_.push_back(Handoff{counter, SecondsAt(taken_), used});
  } else if (heardAny_) {
    // Nothing left to play: the last frame handed over stays the one heard.
    lastFirst_ += lastFrames_;
    lastFrames_ = 0;
    lastCounter_ = counter;
  }
  taken_ += used;
  // Marks before the frames still queued are no longer needed, but the one covering the frame
  // heard now is.
  while (marks_.size() > 1 && marks_[1].frame <= lastFirst_) marks_.pop_front();
  return used;
}

double AudioClock::SecondsAt(int64_t frame) const {
  const Mark* covering = nullptr;
  for (const Mark& mark : marks_) {
    if (mark.frame > frame) break;
    covering = &mark;
  }
  if (covering == nullptr) return marks_.empty() ? 0.0 : marks_.front().seconds;
  return covering->seconds + static_cast<double>(frame - covering->frame) / rate_;
}

std::optional<double> AudioClock::Heard(uint64_t counter) const {
  std::lock_guard<std::mutex> guard(lock_);
  if (!heardAny_) return std::nullopt;
  const double elapsed = counter > lastCounter_
                             ? static_cast<double>(counter - lastCounter_) /
                                   static_cast<double>(SDL_GetPerformanceFrequency())
                             : 0.0;
  const double into = std::min(elapsed * rate_, static_cast<double>(lastFrames_));
  const int64_t whole = static_cast<int64_t>(into);
  return SecondsAt(lastFirst_ + whole) + (into - static_cast<double>(whole)) / rate_;
}

void AudioClock::KeepHandoffs(bool keep) {
  std::lock_guard<std::mutex> guard(lock_);
  keepHandoffs_ = keep;
}

std::vector<AudioClock::Handoff> AudioClock::Handoffs() const {
  std::lock_guard<std::mutex> guard(lock_);
  return handoffs_;
}

}  // namespace corvex::host
