// The corvex host's own work on each rendered frame at 1920 x 1080, beside a memcpy of the
// display's picture: packing it to RGB (what PNG frames take) and converting it to the 4:2:0
// picture the video encoder takes; and whole render sessions of the demo track (Init, 60
// frames, Quit) whose frames are dropped, packed or converted on the session's own thread.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "frame_sink.h"
#include "playlist.h"
#include "render_session.h"
#include "rgb_packing.h"
#include "settings_stage.h"
#include "work_folder.h"
#include "yuv_picture.h"

namespace corvex::host {
namespace {

constexpr int32_t kWidth = 1920, kHeight = 1080;

std::vector<uint32_t> Picture() {
  std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight);
  uint32_t state = 12345;
  for (uint32_t& pixel : pixels) {
    state = state * 1664525u + 1013904223u;
    pixel = state >> 8;
  }
  return pixels;
}

void BM_CopyPicture(benchmark::State& state) {
  const std::vector<uint32_t> pixels = Picture();
  std::vector<uint32_t> copy(pixels.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), pixels.data(), pixels.size() * 4);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(pixels.size() * 4));
}

void BM_PackRgb(benchmark::State& state) {
  const std::vector<uint32_t> pixels = Picture();
  std::vector<uint8_t> rgb(pixels.size() * 3);
  for (auto _ : state) {
    PackRgb(pixels.data(), kWidth, kHeight, kWidth, rgb.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(pixels.size() * 4));
}

void BM_ConvertToYuv420(benchmark::State& state) {
  const std::vector<uint32_t> pixels = Picture();
  std::vector<uint8_t> yuv(YuvSizeOf(kWidth, kHeight).Bytes());
  for (auto _ : state) {
    ConvertToYuv420(pixels.data(), kWidth, kHeight, yuv.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(pixels.size() * 4));
}

enum class FrameWork { kDrop, kPackRgb, kYuv420 };

class BenchSink final : public FrameSink {
 public:
  explicit BenchSink(FrameWork work)
      : work_(work), rgb_(static_cast<size_t>(kWidth) * kHeight * 3), yuv_(YuvSizeOf(kWidth, kHeight).Bytes()) {}
  void Write(std::vector<uint32_t>&& pixels) override {
    if (work_ == FrameWork::kPackRgb) PackRgb(pixels.data(), kWidth, kHeight, kWidth, rgb_.data());
    if (work_ == FrameWork::kYuv420) ConvertToYuv420(pixels.data(), kWidth, kHeight, yuv_.data());
    benchmark::DoNotOptimize(rgb_.data());
    benchmark::DoNotOptimize(yuv_.data());
  }
  void Finish() override {}
  std::string Describe() const override { return ""; }

 private:
  FrameWork work_;
  std::vector<uint8_t> rgb_, yuv_;
};

void BM_RenderSession(benchmark::State& state) {
  constexpr int64_t kFrames = 60;
  Playlist playlist = Playlist::Demo();
  WorkFolder work;
  StageSettings(std::nullopt, SettingsOverrides{}, work.File("vis_corvex.ini"));
  SessionConfig config;
  config.width = kWidth;
  config.height = kHeight;
  config.startSeconds = 20.0;
  config.frameCount = kFrames;
  config.seed = 5;
  config.pluginFolder = work.path();
  BenchSink sink(static_cast<FrameWork>(state.range(0)));
  for (auto _ : state) {
    RenderSession session(playlist, config);
    session.Run(sink);
  }
  state.SetItemsProcessed(state.iterations() * kFrames);  // frames per second
}

BENCHMARK(BM_CopyPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PackRgb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertToYuv420)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderSession)
    ->ArgName("drop0_pack1_yuv2")
    ->Arg(static_cast<int64_t>(FrameWork::kDrop))
    ->Arg(static_cast<int64_t>(FrameWork::kPackRgb))
    ->Arg(static_cast<int64_t>(FrameWork::kYuv420))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace
}  // namespace corvex::host
