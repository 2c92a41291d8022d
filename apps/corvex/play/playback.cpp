#include "play/playback.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "play/quiet_standard_error.h"
#include "play/stereo_format.h"

namespace corvex::host {

namespace {

constexpr double kQueueAhead = 0.25;   // seconds of sound kept queued for the device
constexpr int32_t kFeedFrames = 4096;  // frames read from a song at a time
constexpr double kEndSlack = 0.05;     // the end is reached this close to it

double Now() {
  return static_cast<double>(SDL_GetPerformanceCounter()) /
         static_cast<double>(SDL_GetPerformanceFrequency());
}

}  // namespace

Playback::Playback(Playlist& playlist) : playlist_(playlist) {
  const int32_t rate = playlist_.SampleRate(0);
  SDL_AudioSpec want = StereoFormat(rate, 1024, &Playback::Callback, this);
  deviceRate_ = rate;
  clock_ = std::make_unique<AudioClock>(rate);
  SDL_AudioSpec have{};
  // No changes allowed: SDL converts to what the device wants, so the callback always sees
  // 16-bit stereo at the song's rate.
  {
    QuietStandardError quiet;
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  }
  if (device_ == 0) {
    noSoundReason_ = SDL_GetError();
    if (noSoundReason_.empty()) noSoundReason_ = "no sound device";
  } else {
    SDL_PauseAudioDevice(device_, 0);
  }
  JumpTo(0.0);
}

Playback::~Playback() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
  if (converter_ != nullptr) SDL_FreeAudioStream(converter_);
}

void Playback::Callback(void* self, Uint8* stream, int length) {
  auto* playback = static_cast<Playback*>(self);
  playback->clock_->Take(reinterpret_cast<int16_t*>(stream), length / 4,
                         SDL_GetPerformanceCounter());
}

void Playback::Feed() {
  if (device_ == 0 || state_ != State::Playing) return;
  const double end = playlist_.DurationSeconds();
  std::vector<int16_t> converted;
  while (fed_ < end && clock_->QueuedFrames() < static_cast<int64_t>(kQueueAhead * deviceRate_)) {
    const Playlist::Place place = playlist_.Locate(fed_);
    const int32_t rate = playlist_.SampleRate(place.index);
    const int64_t first = std::llround(place.seconds * rate);
    const double songStart = playlist_.StartSeconds(place.index);
    read_.resize(static_cast<size_t>(kFeedFrames) * 2);
    const auto count = static_cast<int32_t>(
        std::max<int64_t>(0, playlist_.ReadFrames(place.index, first, kFeedFrames, read_.data())));
    if (count == 0) {
      fed_ = place.index + 1 < playlist_.Size() ? playlist_.StartSeconds(place.index + 1) : end;
      continue;
    }
    const int16_t* samples = read_.data();
    if (rate == deviceRate_) {
      clock_->Append(samples, count, fed_);
    } else {
      if (converter_ == nullptr || converterRate_ != rate) {
        if (converter_ != nullptr) SDL_FreeAudioStream(converter_);
        converter_ = SDL_NewAudioStream(AUDIO_S16SYS, 2, rate, AUDIO_S16SYS, 2, deviceRate_);
        converterRate_ = rate;
      }
      if (converter_ == nullptr) return;
      SDL_AudioStreamPut(converter_, samples, count * 4);
      converted.resize(static_cast<size_t>(SDL_AudioStreamAvailable(converter_)) / 2);
      const int got = SDL_AudioStreamGet(converter_, converted.data(),
                                         static_cast<int>(converted.size() * 2));
      if (got > 0) clock_->Append(converted.data(), got / 4, fed_);
    }
    fed_ = songStart + static_cast<double>(first + count) / rate;
  }
}

double Playback::HeardSeconds() {
  if (state_ != State::Playing) return held_;
  const double end = playlist_.DurationSeconds();
  double heard = held_;
  if (device_ != 0) {
    if (const std::optional<double> moment = clock_->Heard(SDL_GetPerformanceCounter())) {
      heard = *moment;
    }
    if (fed_ >= end && clock_->QueuedFrames() == 0 && heard >= end - kEndSlack) finished_ = true;
  } else {
    heard = silentStart_ + (Now() - static_cast<double>(silentTicks_) /
                                        static_cast<double>(SDL_GetPerformanceFrequency()));
    if (heard >= end) finished_ = true;
  }
  held_ = std::min(heard, end);
  return held_;
}

size_t Playback::Index() const { return playlist_.Locate(held_).index; }

void Playback::JumpTo(double timelineSeconds) {
  const double end = playlist_.DurationSeconds();
  const double target = std::clamp(timelineSeconds, 0.0, std::max(0.0, end - kEndSlack));
  clock_->Clear();
  if (converter_ != nullptr) SDL_AudioStreamClear(converter_);
  fed_ = target;
  held_ = target;
  silentStart_ = target;
  silentTicks_ = SDL_GetPerformanceCounter();
  finished_ = false;
}

void Playback::SetPaused(bool paused) {
  if (device_ != 0) SDL_PauseAudioDevice(device_, paused ? 1 : 0);
}

void Playback::Play() {
  const double songStart = playlist_.StartSeconds(Index());
  if (state_ == State::Paused) {
    JumpTo(held_);
  } else {
    JumpTo(songStart);
  }
  state_ = State::Playing;
  SetPaused(false);
}

void Playback::Pause() {
  if (state_ == State::Paused) {
    Play();
  } else if (state_ == State::Playing) {
    HeardSeconds();
    state_ = State::Paused;
    SetPaused(true);
  }
}

void Playback::Stop() {
  HeardSeconds();
  const double songStart = playlist_.StartSeconds(Index());
  state_ = State::Stopped;
  SetPaused(true);
  JumpTo(songStart);
}

void Playback::Previous() {
  HeardSeconds();
  const size_t index = Index();
  JumpTo(index > 0 ? playlist_.StartSeconds(index - 1) : 0.0);
}

void Playback::Next() {
  HeardSeconds();
  const size_t index = Index();
  if (index + 1 < playlist_.Size()) JumpTo(playlist_.StartSeconds(index + 1));
}

void Playback::Seek(double seconds) {
  const double now = HeardSeconds();
  const size_t index = Index();
  const double songStart = playlist_.StartSeconds(index);
  const double songEnd = songStart + playlist_.LengthSeconds(index);
  JumpTo(std::clamp(now + seconds, songStart, std::max(songStart, songEnd - kEndSlack)));
}

}  // namespace corvex::host
