#pragma once
// Synthetic audio, fixed warp maps and seeded frame runs for the renderer tests, the picture
// writer and the frame hashes. Everything here runs inside a fresh process (fresh_process.h).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core_video.h"
#include "renderers/random.h"
#include "renderers/renderer_table.h"

namespace corvex::testing {

inline constexpr int32_t kAllRenderers = -1;  // a run with every slot active (mode 666)

enum class Sound : int32_t {
  kSilence,
  kLoudSine,  // a steady loud tone, different in the two channels
  kBeats,     // loud bursts of two frames every eight frames, quiet in between
  kSweep,     // a tone sweeping up and down with bursts, its spectrum peak following it
};

struct Audio {
  uint8_t spectrum[2][kAudioLength] = {};
  uint8_t waveform[2][kAudioLength] = {};
};

inline uint8_t SampleByte(double value) {
  const int32_t sample = std::clamp(static_cast<int32_t>(std::lround(value)), -128, 127);
  return static_cast<uint8_t>(sample & 0xFF);
}

// A spectrum bump of the given height around a bin, in both channels (the right one a little
// lower).
inline void AddBump(Audio& audio, double centre, double width, double peak) {
  for (int32_t i = 0; i < kAudioLength; ++i) {
    const double x = (i - centre) / width;
    const double value = peak * std::exp(-x * x);
    for (int32_t channel = 0; channel < 2; ++channel) {
      const double scaled = channel == 0 ? value : value * 0.9;
      const int32_t sum = audio.spectrum[channel][i] + static_cast<int32_t>(scaled);
      audio.spectrum[channel][i] = static_cast<uint8_t>(std::min(sum, 255));
    }
  }
}

// Two sines, cycles per 576 samples and amplitudes per channel, moving on with the frame.
inline void AddTone(Audio& audio, int32_t frame, double cycles, double left, double right) {
  constexpr double kTurn = 6.283185307179586;
  for (int32_t i = 0; i < kAudioLength; ++i) {
    const double t = kTurn * cycles * i / kAudioLength + frame * 0.7;
    audio.waveform[0][i] = SampleByte(left * std::sin(t));
    audio.waveform[1][i] = SampleByte(right * std::sin(1.6 * t + 0.5));
  }
}

inline Audio MakeAudio(Sound sound, int32_t frame) {
  Audio audio;
  switch (sound) {
    case Sound::kSilence:
      break;
    case Sound::kLoudSine:
      AddTone(audio, frame, 3.0, 100.0, 90.0);
      AddBump(audio, 12.0, 6.0, 200.0);
      AddBump(audio, 40.0, 6.0, 160.0);
      break;
    case Sound::kBeats: {
      const bool burst = frame % 8 < 2;
      AddTone(audio, frame, 4.0, burst ? 90.0 : 8.0, burst ? 80.0 : 6.0);
      AddBump(audio, 20.0, 10.0, burst ? 250.0 : 30.0);
      break;
    }
    case Sound::kSweep: {
      const double sweep = 0.5 - 0.5 * std::cos(frame * 6.283185307179586 / 100.0);
      const double cycles = 1.0 + 10.0 * sweep;
      const double loud = frame % 12 < 3 ? 110.0 : 45.0;
      AddTone(audio, frame, cycles, loud, loud * 0.8);
      AddBump(audio, 4.0 + 12.0 * cycles, 8.0, frame % 12 < 3 ? 240.0 : 140.0);
      break;
    }
  }
  return audio;
}

enum class Feedback : int32_t {
  kBlack,       // every source outside: each frame starts black
  kGentleTurn,  // a slight zoom out and turn about the centre, so drawings leave trails
};

// Builds the map through the sampling rule itself, so the pictures depend on no generator.
inline void BuildFixedMap(TransformManager& map, Feedback feedback) {
  const double cx = map.mapWidth * 0.5;
  const double cy = map.mapHeight * 0.5;
  const double zoom = 0.985, cosTurn = std::cos(0.015), sinTurn = std::sin(0.015);
  for (int32_t i = 0; i < map.mapPixelCount; ++i) {
    map.pixelIndex = i;
    map.weightIndex = 4 * i;
    map.pixelX = i % map.mapWidth;
    map.pixelY = i / map.mapWidth;
    if (feedback == Feedback::kBlack) {
      map.sourceX = -1.0;
      map.sourceY = -1.0;
    } else {
      const double dx = map.pixelX - cx, dy = map.pixelY - cy;
      map.sourceX = cx + zoom * (dx * cosTurn - dy * sinTurn);
      map.sourceY = cy + zoom * (dx * sinTurn + dy * cosTurn);
    }
    map.SampleSource();
  }
}

struct Flags {
  uint8_t sustain = 0;
  uint8_t sustainOptional = 0;
  uint8_t centerDetail = 0;
};

struct RunSetup {
  int32_t width = 640;
  int32_t height = 480;
  int32_t slot = kAllRenderers;
  Sound sound = Sound::kSweep;
  Feedback feedback = Feedback::kGentleTurn;
  Flags flags{0, 1, 1};
  uint32_t seed = 1;
  int32_t frames = 1;
  int32_t sceneEvery = 0;  // a new scene of the same renderers every this many frames; 0: never
};

// What one frame step left behind.
struct FrameReport {
  uint64_t hash = 0;           // of the picture's pixels
  int32_t litPixels = 0;       // pixels not black
  int32_t topBytePixels = 0;   // pixels with anything in the top byte
  int32_t guardTouched = 0;    // guard row and guard pixel pixels that changed
  int32_t useFeedback = 0;
  uint8_t sustainAfter = 0;
};

// FNV-1a, 64 bits, taking one pixel value at a time.
inline uint64_t HashPixels(const uint32_t* pixels, size_t count) {
  uint64_t hash = 14695981039346656037ull;
  for (size_t i = 0; i < count; ++i) {
    hash ^= pixels[i];
    hash *= 1099511628211ull;
  }
  return hash;
}

// A seeded run of frame steps with one renderer or all of them, as the plug-in makes them:
// the previous picture through the fixed map, the audio of each frame, then the renderers,
// then the exchange of the two pictures.
class FrameRun {
 public:
  explicit FrameRun(const RunSetup& setup) : setup_(setup), video_(setup.width, setup.height) {
    SceneManager& scene = holder_.scene;
    lastSongPosition = 99999999;
    scene.framesPerScene = -1;  // the scene never changes by itself
    if (setup.slot == kAllRenderers) {
      scene.ChooseScene(666, 2);  // keeps the transform: no generator runs
    } else {
      std::fill_n(scene.activeRenderers, kRendererCount, 0);
      scene.activeRenderers[setup.slot] = 1;
      scene.sceneJustStarted = 1;
    }
    TransformManager& map = *video_.transformManager;
    BuildFixedMap(map, setup.feedback);
    map.sustain = setup.flags.sustain;
    map.sustainOptional = setup.flags.sustainOptional;
    map.centerDetail = setup.flags.centerDetail;
    // Seeded last, so what the renderers draw does not depend on how the map was made.
    SeedRandom(setup.seed);
  }

  FrameReport Step() {
    SceneManager& scene = holder_.scene;
    const Audio audio = MakeAudio(setup_.sound, frame_);
    if (setup_.sceneEvery > 0 && frame_ > 0 && frame_ % setup_.sceneEvery == 0) {
      scene.sceneJustStarted = 1;
    }
    video_.position = frame_ * 23;  // the song plays on: only the first frame is a new song
    ++frame_;
    // Sentinels in the guard row and pixel of the picture being drawn; put back afterwards,
    // since the next feedback pass reads them.
    const size_t picture = static_cast<size_t>(setup_.width) * setup_.height;
    const size_t guard = static_cast<size_t>(setup_.width) + 1;
    uint32_t* pixels = video_.frameBuffer;
    std::vector<uint32_t> saved(pixels + picture, pixels + picture + guard);
    std::fill_n(pixels + picture, guard, kSentinel);
    scene.FrameStep(audio.spectrum, audio.waveform);
    FrameReport report;
    for (size_t i = 0; i < guard; ++i) report.guardTouched += pixels[picture + i] != kSentinel;
    std::copy(saved.begin(), saved.end(), pixels + picture);
    for (size_t i = 0; i < picture; ++i) {
      report.litPixels += pixels[i] != 0;
      report.topBytePixels += (pixels[i] >> 24) != 0;
    }
    report.hash = HashPixels(pixels, picture);
    report.useFeedback = scene.useFeedback;
    report.sustainAfter = video_.transformManager->sustain;
    video_.ExchangeBuffers();
    return report;
  }

  std::vector<FrameReport> Steps(int32_t count) {
    std::vector<FrameReport> reports;
    for (int32_t i = 0; i < count; ++i) reports.push_back(Step());
    return reports;
  }

  // The picture of the last frame step (after the exchange, the one the next step reads).
  std::vector<uint32_t> Picture() const {
    return {video_.previousFrame, video_.previousFrame + setup_.width * setup_.height};
  }
  SceneManager& Scene() { return holder_.scene; }

 private:
  static constexpr uint32_t kSentinel = 0xA5C3E1F7u;
  RunSetup setup_;
  CoreVideo video_;
  ScopedScene holder_{video_};
  int32_t frame_ = 0;
};

// Scenarios for fresh processes.
inline std::vector<FrameReport> RunFrames(const RunSetup& setup) {
  return FrameRun(setup).Steps(setup.frames);
}

inline std::vector<uint32_t> LastPicture(const RunSetup& setup) {
  FrameRun run(setup);
  run.Steps(setup.frames);
  return run.Picture();
}

// A scene whose fields a test sets by hand, to call one renderer directly.
class Stage {
 public:
  Stage(int32_t width, int32_t height, uint32_t seed = 1) : video_(width, height) {
    lastSongPosition = 99999999;
    scene.SetGeometry(video_.frameBuffer, width, height);
    TransformManager& map = *video_.transformManager;
    map.sustain = map.sustainOptional = map.centerDetail = 0;
    SeedRandom(seed);
  }

  void SetLevels(double left, double right, double mix, double peak) {
    scene.levelLeft = left;
    scene.levelRight = right;
    scene.levelMix = mix;
    scene.peakLevel = peak;
  }
  void SetWave(double left, double right) {
    std::fill_n(scene.waveLeft, kAudioLength, left);
    std::fill_n(scene.waveRight, kAudioLength, right);
    std::fill_n(scene.waveMix, kAudioLength, (left + right) * 0.5);
  }
  TransformManager& Transform() { return *video_.transformManager; }

  // Clears the picture (unless asked not to), runs the renderer once, and ends the scene's
  // first frame as the frame step does.
  void Call(int32_t slot, bool clear = true) {
    if (clear) video_.ClearFrameBuffer(scene.frameBuffer);
    kRendererSlots[slot].render(scene);
    scene.sceneJustStarted = 0;
  }
  uint32_t At(int32_t x, int32_t y) const { return scene.frameBuffer[y * scene.width + x]; }
  std::vector<uint32_t> Picture() const {
    return {scene.frameBuffer, scene.frameBuffer + scene.width * scene.height};
  }
  // The picture as a list of lit pixel indices.
  std::vector<int32_t> Lit() const {
    std::vector<int32_t> lit;
    for (int32_t i = 0; i < scene.width * scene.height; ++i) {
      if (scene.frameBuffer[i] != 0) lit.push_back(i);
    }
    return lit;
  }

 private:
  CoreVideo video_;
  ScopedScene holder_{video_};

 public:
  SceneManager& scene = holder_.scene;
};

// How many values the C library's generator has given since SeedRandom(seed): found by
// matching the next three values against the seeded sequence. Leaves the generator reseeded.
inline int32_t DrawsSince(uint32_t seed, int32_t limit = 200000) {
  const int32_t next[3] = {std::rand(), std::rand(), std::rand()};
  std::srand(seed);
  int32_t window[3] = {std::rand(), std::rand(), std::rand()};
  for (int32_t k = 0; k < limit; ++k) {
    if (window[0] == next[0] && window[1] == next[1] && window[2] == next[2]) return k;
    window[0] = window[1];
    window[1] = window[2];
    window[2] = std::rand();
  }
  return -1;
}

}  // namespace corvex::testing
