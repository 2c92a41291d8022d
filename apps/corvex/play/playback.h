#pragma once
#include <SDL.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "play/audio_clock.h"
#include "playlist.h"

namespace corvex::host {

// The playlist played through the default sound device, with a media player's controls. The
// device is opened at the first song's rate; songs at other rates are converted. Without a
// sound device the playlist still plays, silently, on the wall clock, so the visualization
// follows it all the same.
class Playback {
 public:
  enum class State { Playing, Paused, Stopped };

  // Opens the device (SDL's audio must be initialised by the caller). noSoundReason says why
  // there is no device, when there is none.
  explicit Playback(Playlist& playlist);
  ~Playback();
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;

  bool HasSound() const { return device_ != 0; }
  const std::string& noSoundReason() const { return noSoundReason_; }

  // Keeps the device's queue a little ahead of what is heard; called once per frame.
  void Feed();

  // The moment of the playlist's timeline heard now.
  double HeardSeconds();
  State state() const { return state_; }
  bool Finished() const { return finished_; }
  size_t Index() const;

  // The controls: play (from the start of the song when stopped, again from its start when
  // already playing, on from where it was when paused), pause (and on again), stop (back to
  // the start of the song, silent), previous and next song, and a seek by some seconds within
  // the song.
  void Play();
  void Pause();
  void Stop();
  void Previous();
  void Next();
  void Seek(double seconds);

  AudioClock* clock() { return clock_.get(); }

 private:
  void JumpTo(double timelineSeconds);
  void SetPaused(bool paused);
  static void Callback(void* self, Uint8* stream, int length);

  Playlist& playlist_;
  std::unique_ptr<AudioClock> clock_;
  SDL_AudioDeviceID device_ = 0;
  std::string noSoundReason_;
  int32_t deviceRate_ = 0;
  std::vector<int16_t> read_;  // frames read from a song, before any conversion
  SDL_AudioStream* converter_ = nullptr;
  int32_t converterRate_ = 0;
  double fed_ = 0.0;          // the timeline moment the next appended frame begins at
  double silentStart_ = 0.0;  // without sound: the timeline moment at silentTicks_
  uint64_t silentTicks_ = 0;
  double held_ = 0.0;         // the moment heard while paused or stopped
  State state_ = State::Playing;
  bool finished_ = false;
};

}  // namespace corvex::host
