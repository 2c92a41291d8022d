#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/random.h"
#include "core_video.h"
#include "fresh_process.h"
#include "renderers/renderer_table.h"

namespace corvex::testing {

inline constexpr int32_t kAllRenderers = kRendererCount;  // every slot at once (mode 666)

inline std::string SlotName(int32_t slot) {
  return slot == kAllRenderers ? "All 14 (mode 666)" : kRendererSlots[slot].name;
}

// kLoudSine: a steady loud tone, different in the two channels; kBeats: loud bursts of two
// frames every eight; kSweep: a tone sweeping up and down with bursts, its spectrum following.
enum class Sound : int32_t { kSilence, kLoudSine, kBeats, kSweep };

struct Audio {
  uint8_t spectrum[2][kAudioLength] = {};
  uint8_t waveform[2][kAudioLength] = {};

  // A spectrum bump around a bin, the right channel a little lower.
  void AddBump(double centre, double width, double peak) {
    for (int32_t i = 0; i < kAudioLength; ++i) {
      const double x = (i - centre) / width, value = peak * std::exp(-x * x);
      for (int32_t channel = 0; channel < 2; ++channel) {
        const double scaled = channel == 0 ? value : value * 0.9;
        const int32_t sum = spectrum[channel][i] + static_cast<int32_t>(scaled);
        spectrum[channel][i] = static_cast<uint8_t>(std::min(sum, 255));
      }
    }
  }
  // Two sines, `cycles` per 576 samples, moving on with the frame.
  void AddTone(int32_t frame, double cycles, double left, double right) {
    const auto sample = [](double value) {
      return static_cast<uint8_t>(std::clamp<int32_t>(std::lround(value), -128, 127) & 0xFF);
    };
    for (int32_t i = 0; i < kAudioLength; ++i) {
      const double t = 6.283185307179586 * cycles * i / kAudioLength + frame * 0.7;
      waveform[0][i] = sample(left * std::sin(t));
      waveform[1][i] = sample(right * std::sin(1.6 * t + 0.5));
    }
  }
};

inline Audio MakeAudio(Sound sound, int32_t frame) {
  Audio audio;
  if (sound == Sound::kLoudSine) {
    audio.AddTone(frame, 3.0, 100.0, 90.0);
    audio.AddBump(12.0, 6.0, 200.0);
    audio.AddBump(40.0, 6.0, 160.0);
  } else if (sound == Sound::kBeats) {
    const bool burst = frame % 8 < 2;
    audio.AddTone(frame, 4.0, burst ? 90.0 : 8.0, burst ? 80.0 : 6.0);
    audio.AddBump(20.0, 10.0, burst ? 250.0 : 30.0);
  } else if (sound == Sound::kSweep) {
    const double cycles = 1.0 + 10.0 * (0.5 - 0.5 * std::cos(frame * 6.283185307179586 / 100.0));
    const bool burst = frame % 12 < 3;
    audio.AddTone(frame, cycles, burst ? 110.0 : 45.0, (burst ? 110.0 : 45.0) * 0.8);
    audio.AddBump(4.0 + 12.0 * cycles, 8.0, burst ? 240.0 : 140.0);
  }
  return audio;
}

struct RunSetup {
  int32_t width = 640, height = 480;
  int32_t slot = kAllRenderers;
  Sound sound = Sound::kSweep;
  // Trails: the map zooms out by 0.985 and turns by 0.015 about the centre; otherwise every
  // source lies outside and each frame starts black.
  bool trails = true;
  uint8_t sustain = 0, sustainOptional = 1, centerDetail = 1;
  uint32_t seed = 1;
  int32_t frames = 1;
  int32_t sceneEvery = 0;  // a new scene of the same renderers every this many frames; 0: never
};

struct FrameReport {
  uint64_t hash = 0;  // FNV-1a, 64 bits, one pixel value at a time
  int32_t litPixels = 0;
  int32_t topBytePixels = 0;  // pixels with anything in the top byte
  int32_t guardTouched = 0;   // guard row and guard pixel values that changed
};

// Seeded frame steps as the plug-in makes them: the previous picture through the fixed map, the
// renderers, the exchange of the pictures. Reports each frame; keeps the last picture if asked.
inline std::vector<FrameReport> Play(const RunSetup& setup, std::vector<uint32_t>* last) {
  constexpr uint32_t kSentinel = 0xA5C3E1F7u;
  CoreVideo video(setup.width, setup.height);
  ScopedScene holder(video);
  SceneManager& scene = holder.scene;
  lastSongPosition = 99999999;
  scene.framesPerScene = -1;  // the scene never changes by itself
  if (setup.slot == kAllRenderers) {
    scene.ChooseScene(666, 2);  // keeps the transform: no generator runs
  } else {
    std::fill_n(scene.activeRenderers, kRendererCount, 0);
    scene.activeRenderers[setup.slot] = 1;
    scene.sceneJustStarted = 1;
  }
  TransformManager& map = *video.transformManager;
  const double cx = map.mapWidth * 0.5, cy = map.mapHeight * 0.5;
  for (int32_t i = 0; i < map.mapPixelCount; ++i) {
    map.pixelIndex = i;
    map.weightIndex = 4 * i;
    map.pixelX = i % map.mapWidth;
    map.pixelY = i / map.mapWidth;
    const double dx = map.pixelX - cx, dy = map.pixelY - cy;
    map.sourceX = setup.trails ? cx + 0.985 * (dx * std::cos(0.015) - dy * std::sin(0.015)) : -1;
    map.sourceY = setup.trails ? cy + 0.985 * (dx * std::sin(0.015) + dy * std::cos(0.015)) : -1;
    map.SampleSource();
  }
  map.sustain = setup.sustain;
  map.sustainOptional = setup.sustainOptional;
  map.centerDetail = setup.centerDetail;
  SeedRandom(setup.seed);  // last, so what is drawn does not depend on how the map was made

  const size_t picture = static_cast<size_t>(setup.width) * setup.height;
  const size_t guard = static_cast<size_t>(setup.width) + 1;
  std::vector<FrameReport> reports;
  for (int32_t frame = 0; frame < setup.frames; ++frame) {
    const Audio audio = MakeAudio(setup.sound, frame);
    if (setup.sceneEvery > 0 && frame > 0 && frame % setup.sceneEvery == 0) {
      scene.sceneJustStarted = 1;
    }
    video.position = frame * 23;  // the song plays on: only the first frame is a new song
    // Sentinels in the guard row and pixel, put back afterwards for the next feedback pass.
    uint32_t* pixels = video.frameBuffer;
    const std::vector<uint32_t> saved(pixels + picture, pixels + picture + guard);
    std::fill_n(pixels + picture, guard, kSentinel);
    scene.FrameStep(audio.spectrum, audio.waveform);
    FrameReport report;
    report.hash = 14695981039346656037ull;
    for (size_t i = 0; i < picture; ++i) {
      report.hash = (report.hash ^ pixels[i]) * 1099511628211ull;
      report.litPixels += pixels[i] != 0;
      report.topBytePixels += (pixels[i] >> 24) != 0;
    }
    for (size_t i = 0; i < guard; ++i) report.guardTouched += pixels[picture + i] != kSentinel;
    std::copy(saved.begin(), saved.end(), pixels + picture);
    reports.push_back(report);
    if (last != nullptr && frame + 1 == setup.frames) last->assign(pixels, pixels + picture);
    video.ExchangeBuffers();
  }
  return reports;
}

inline std::vector<FrameReport> RunFrames(const RunSetup& setup) { return Play(setup, nullptr); }

inline std::vector<int32_t> Lit(const std::vector<uint32_t>& picture) {
  std::vector<int32_t> lit;
  for (size_t i = 0; i < picture.size(); ++i) {
    if (picture[i] != 0) lit.push_back(static_cast<int32_t>(i));
  }
  return lit;
}

// A scene whose fields a test sets by hand, to call one renderer directly; no flag of the
// transform set.
struct Stage {
  Stage(int32_t width, int32_t height, uint32_t seed = 1) : video(width, height) {
    lastSongPosition = 99999999;
    scene.SetGeometry(video.frameBuffer, width, height);
    Transform().sustain = Transform().sustainOptional = Transform().centerDetail = 0;
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
  TransformManager& Transform() { return *video.transformManager; }
  // Clears the picture (unless asked not to), runs the renderer, and ends a scene's first frame
  // as the frame step does.
  void Call(int32_t slot, bool clear = true) {
    if (clear) video.ClearFrameBuffer(scene.frameBuffer);
    kRendererSlots[slot].render(scene);
    scene.sceneJustStarted = 0;
  }
  uint32_t At(int32_t x, int32_t y) const { return scene.frameBuffer[y * scene.width + x]; }
  std::vector<uint32_t> Picture() const {
    return {scene.frameBuffer, scene.frameBuffer + scene.width * scene.height};
  }
  std::vector<int32_t> Lit() const { return testing::Lit(Picture()); }

  CoreVideo video;
  ScopedScene holder{video};
  SceneManager& scene = holder.scene;
};

// A renderer called `calls` times on a stage `prepare` has set up, the first call starting a
// scene: the picture after the last call, taken in a fresh process.
struct Shot {
  int32_t slot = 0;
  void (*prepare)(Stage&) = nullptr;
  int32_t calls = 1;
  uint32_t seed = 1;
  int32_t width = 640, height = 480;
};

inline std::vector<uint32_t> FreshShot(const Shot& shot) {
  return RunFresh(+[](const Shot& s) {
    Stage stage(s.width, s.height, s.seed);
    if (s.prepare != nullptr) s.prepare(stage);
    stage.scene.sceneJustStarted = 1;
    for (int32_t call = 0; call < s.calls; ++call) stage.Call(s.slot);
    return stage.Picture();
  }, shot);
}

// How many values the C library's generator has given since SeedRandom(seed), found by matching
// the next three against the seeded sequence. Leaves the generator reseeded.
inline int32_t DrawsSince(uint32_t seed) {
  const int32_t next[3] = {std::rand(), std::rand(), std::rand()};
  std::srand(seed);
  int32_t window[3] = {std::rand(), std::rand(), std::rand()};
  for (int32_t k = 0; k < 200000; ++k) {
    if (std::equal(window, window + 3, next)) return k;
    window[0] = window[1];
    window[1] = window[2];
    window[2] = std::rand();
  }
  return -1;
}

// Frames of a 640 x 480 renderer whose statics already exist (a silent scene start has run),
// each seeded with seed + its number, with the given mix level and peak, useFeedback set to 7
// before each; the first begins a scene if asked. What each frame drew and left.
struct DrawProbe {
  int32_t slot = 0;
  double mix = 0, peak = 8;
  int32_t sceneStart = 0;
  int32_t frames = 1;
  uint32_t seed = 1000;
};

struct ProbedFrame {
  int32_t draws, useFeedback;
  double peak;
};

inline std::vector<ProbedFrame> ProbeDraws(const DrawProbe& probe) {
  return RunFresh(+[](const DrawProbe& p) {
    Stage stage(640, 480);
    stage.SetLevels(0, 0, 0, p.peak);
    stage.scene.sceneJustStarted = 1;
    stage.Call(p.slot);
    std::vector<ProbedFrame> frames;
    for (int32_t f = 0; f < p.frames; ++f) {
      stage.SetLevels(p.mix, p.mix, p.mix, p.peak);
      stage.scene.sceneJustStarted = f == 0 ? p.sceneStart : 0;
      stage.scene.useFeedback = 7;
      SeedRandom(p.seed + f);
      stage.Call(p.slot);
      frames.push_back({DrawsSince(p.seed + f), stage.scene.useFeedback, stage.scene.peakLevel});
    }
    return frames;
  }, probe);
}

}  // namespace corvex::testing
