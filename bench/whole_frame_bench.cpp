// What the plug-in does per frame, as Render does it: FrameStep with all 14 renderers active,
// Compose to 32 bits and Flip, on a full-screen headless display at 640 x 480, 1920 x 1080
// and 3840 x 2160, on one core. Beside each size, a memcpy of the bytes a frame must at least
// move: the feedback pass reads the previous picture and the map (8 bytes a pixel) and writes
// the new picture, Compose reads it and writes the compose surface, and Flip's blit reads that
// and writes the primary surface, 32 bytes a pixel in all; the copy reads and writes 16. It is a
// lower bound: the renderers' drawing is left out, and so are the reads of the lines that
// ordinary stores fill before writing them (where the frame outgrows the last-level cache the
// pass, Compose and the blit store past it, as the C library's copy of this size does).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/process_objects.h"
#include "base/random.h"
#include "per_pixel_timer.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/host_window.h"
#include "scene/scene_manager.h"
#include "simd/row_copy.h"
#include "sweep_audio.h"
#include "video/portable/mode_filter.h"
#include "video/video.h"

namespace corvex {
namespace {

namespace headless = platform::headless;

constexpr int64_t kMovedBytesPerPixel = 32;

// A Video in full screen at one size on a display that has only that mode, created as Init
// creates it, with a scene of all 14 renderers that never changes.
struct WholeFrame {
  WholeFrame(int32_t width, int32_t height) {
    backend.display.modes = {headless::StandardMode(width, height, 32)};
    backend.display.desktop = headless::StandardMode(width, height, 32);
    backend.display.videoMemory = 1u << 30;
    video = std::make_unique<Video>(backend);
    video->HasDirectDraw6();
    video->requestedDisplayMode = kFullScreen;
    video->requestedResolutionMode = 0;
    auto procedure = [](platform::WindowHandle, uint32_t, uintptr_t, intptr_t) -> intptr_t {
      return 0;
    };
    video->Create("Corvex v1.07", procedure, hostWindow, hostInstance, delayMs);
    SeedRandom(1);
    scene = std::make_unique<SceneManager>(*video);
    theSceneManager = scene.get();
    scene->framesPerScene = -1;
    scene->ChooseScene(666, 2);
  }
  ~WholeFrame() {
    theSceneManager = nullptr;
    scene.reset();
    video.reset();
  }

  headless::HeadlessBackend backend;
  headless::HostWindow host{backend};
  platform::WindowHandle hostWindow = host.handle();
  platform::InstanceHandle hostInstance = reinterpret_cast<platform::InstanceHandle>(0x400000);
  int32_t delayMs = -1;
  std::unique_ptr<Video> video;
  std::unique_ptr<SceneManager> scene;
};

void Frame(benchmark::State& state) {
  const auto width = static_cast<int32_t>(state.range(0));
  const auto height = static_cast<int32_t>(state.range(1));
  WholeFrame frame(width, height);
  if (frame.video->width != width || frame.video->height != height) {
    state.SkipWithError("the display did not take the size");
    return;
  }
  const std::vector<AudioFrame> audio = SweepAudio();
  int32_t n = 0;
  bench::TimePerPixel(state, int64_t{width} * height, [&] {
    const AudioFrame& a = audio[n++ % kAudioFrames];
    frame.scene->FrameStep(a.spectrum, a.waveform);
    frame.video->Compose();
    frame.video->Flip();
  });
  state.SetBytesProcessed(state.iterations() * int64_t{width} * height * kMovedBytesPerPixel);
  state.SetLabel("FrameStep (all 14) + Compose + Flip");
}

void MovedBytesMemcpy(benchmark::State& state) {
  const auto pixels = static_cast<size_t>(state.range(0) * state.range(1));
  bench::TimeCopyPerPixel(state, pixels * kMovedBytesPerPixel / 2, static_cast<int64_t>(pixels));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(pixels) * kMovedBytesPerPixel);
  state.SetLabel("memcpy of the bytes a frame moves");
}

// Flip's share: the blit's rows of a full-screen picture, copied with the plain and the
// streaming row copy (which Flip takes where the blit outgrows the last-level cache).
void BlitRows(benchmark::State& state, RowCopy copy) {
  const auto width = static_cast<size_t>(state.range(0));
  const auto height = static_cast<size_t>(state.range(1));
  const size_t rowBytes = width * 4;
  std::vector<uint8_t> from(rowBytes * height, 1), to(from.size());
  bench::TimePerPixel(state, static_cast<int64_t>(width * height), [&] {
    for (size_t y = 0; y < height; ++y) {
      copy(to.data() + y * rowBytes, from.data() + y * rowBytes, rowBytes);
    }
    FinishRowCopies();
    benchmark::DoNotOptimize(to.data());
  });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * rowBytes * height * 2));
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (const auto& [w, h] : {std::pair{640, 480}, std::pair{1920, 1080}, std::pair{3840, 2160}}) {
    b->Args({w, h});
  }
}

BENCHMARK(Frame)->Name("WholeFrame")->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(MovedBytesMemcpy)->Name("WholeFrame/memcpy")->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BlitRows, plain, &PlainRowCopy)
    ->Name("Blit/plain")
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BlitRows, streaming, &StreamingRowCopy)
    ->Name("Blit/streaming")
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvex
