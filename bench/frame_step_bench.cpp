// The whole frame step (feedback pass, audio analysis, renderers) with each renderer alone,
// with none and with all 14, at 640 x 480 and 1920 x 1080; beside it a memcpy of one picture.
// A renderer's own cost is its time minus that of the feedback pass with no renderer (Shivering
// Lines wipes the picture instead in three scenes of four).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

// Real pictures and warp map of a size, host answers scripted: the same stand-in the core
// tests use for the Video.
#include "../tests/core/core_video.h"
#include "base/random.h"
#include "per_pixel_timer.h"
#include "renderers/renderer_table.h"
#include "sweep_audio.h"

namespace corvex {
namespace {

constexpr int64_t kFeedbackOnly = -3;  // no renderer, but the picture fed back every frame
constexpr int64_t kNoRenderer = -2;     // no renderer: nothing asks for feedback, so a wipe
constexpr int64_t kAllRenderers = -1;

void FrameStep(benchmark::State& state) {
  const int64_t slot = state.range(0);
  const auto width = static_cast<int32_t>(state.range(1));
  const auto height = static_cast<int32_t>(state.range(2));
  SeedRandom(1);
  testing::CoreVideo video(width, height);
  SceneManager scene(video);
  theSceneManager = &scene;
  scene.framesPerScene = -1;
  if (slot == kAllRenderers) {
    scene.ChooseScene(666, 2);
  } else {
    for (int32_t k = 0; k < kRendererCount; ++k) scene.activeRenderers[k] = k == slot;
    scene.sceneJustStarted = 1;
  }
  const std::vector<AudioFrame> audio = SweepAudio();
  int32_t frame = 0;
  for (auto _ : state) {
    const AudioFrame& a = audio[frame++ % kAudioFrames];
    if (slot == kFeedbackOnly) scene.useFeedback = 1;
    scene.FrameStep(a.spectrum, a.waveform);
    video.ExchangeBuffers();
    benchmark::DoNotOptimize(video.previousFrame[0]);
  }
  theSceneManager = nullptr;
  state.SetLabel(slot == kFeedbackOnly  ? "feedback pass, no renderer"
                 : slot == kNoRenderer  ? "wipe, no renderer"
                 : slot == kAllRenderers ? "all 14"
                                         : kRendererSlots[slot].name);
  state.SetBytesProcessed(state.iterations() * int64_t{width} * height * 4);
}

void PictureMemcpy(benchmark::State& state) {
  const int64_t pixels = state.range(1) * state.range(2);
  bench::TimeCopyPerPixel(state, static_cast<size_t>(pixels) * 4, pixels);
  state.SetLabel("memcpy of one picture");
}

void Sizes(benchmark::internal::Benchmark* b, bool everySlot) {
  for (const auto& [w, h] : {std::pair{640, 480}, std::pair{1920, 1080}}) {
    b->Args({kNoRenderer, w, h});
    if (!everySlot) continue;
    b->Args({kFeedbackOnly, w, h});
    for (int64_t slot = 0; slot < kRendererCount; ++slot) b->Args({slot, w, h});
    b->Args({kAllRenderers, w, h});
  }
}

BENCHMARK(FrameStep)->Apply([](benchmark::internal::Benchmark* b) { Sizes(b, true); })
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PictureMemcpy)->Apply([](benchmark::internal::Benchmark* b) { Sizes(b, false); })
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvex
