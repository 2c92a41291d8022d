// The corvex host's own work on each rendered frame at 1920 x 1080, beside a memcpy of the
// display's picture: packing it to RGB (what PNG frames take) and converting it to the 4:2:0
// picture the video encoder takes, in every version; and the steady frame time of render
// sessions whose frames are dropped or go through the whole video pipeline to an encoder that
// discards them, held against the plug-in's own Render in the same frames.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ffmpeg_sink.h"
#include "frame_sink.h"
#include "per_pixel_timer.h"
#include "playlist.h"
#include "render_session.h"
#include "rgb_packing.h"
#include "settings_stage.h"
#include "simd/cpu_features.h"
#include "work_folder.h"
#include "yuv_kernels.h"
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
  const int64_t pixels = int64_t{kWidth} * kHeight;
  bench::TimeCopyPerPixel(state, static_cast<size_t>(pixels) * 4, pixels);
}

void BM_PackRgb(benchmark::State& state) {
  const std::vector<uint32_t> pixels = Picture();
  std::vector<uint8_t> rgb(pixels.size() * 3);
  for (auto _ : state) {
    PackRgb(reinterpret_cast<const uint8_t*>(pixels.data()), kWidth * 4, kWidth, kHeight, rgb.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(pixels.size() * 4));
}

// Each version of the conversion, scalar first; the ones this CPU lacks are skipped.
void BM_ConvertToYuv420(benchmark::State& state) {
  const YuvKernel* versions[] = {&ScalarYuvKernel(), &Sse2YuvKernel(), &Avx2YuvKernel(),
                                 &Avx512YuvKernel()};
  const YuvKernel& kernel = *versions[state.range(0)];
  if ((&kernel == &Avx2YuvKernel() && !CpuHasAvx2()) ||
      (&kernel == &Avx512YuvKernel() && !CpuHasAvx512Bw())) {
    state.SkipWithError("this CPU lacks the instructions");
    return;
  }
  state.SetLabel(kernel.name);
  const std::vector<uint32_t> pixels = Picture();
  std::vector<uint8_t> yuv(YuvSizeOf(kWidth, kHeight).Bytes());
  for (auto _ : state) {
    kernel.convert(reinterpret_cast<const uint8_t*>(pixels.data()), kWidth * 4, kWidth, kHeight,
                   yuv.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(pixels.size() * 4));
}

double Seconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The time of a frame once the session runs steadily, from the hand-over of frame kWarmUp to
// that of the last: Init, the first map build and ffmpeg's start are left out. Wall time and
// the CPU time of the whole corvex process (the session, the sink's writer, the map builders;
// not the encoder, which is another process); and, within the same frames, the wall and thread
// CPU time of the plug-in's Render, what the host's work is held against.
class SteadyFrames final : public FrameSink {
 public:
  static constexpr int64_t kWarmUp = 10;
  explicit SteadyFrames(FrameSink* next) : next_(next) {}
  void Write(const PictureRows& picture) override {
    if (next_ != nullptr) next_->Write(picture);
    if (++frames_ == kWarmUp) Mark(startWall_, startCpu_);
    if (frames_ >= kWarmUp) Mark(endWall_, endCpu_);
  }
  void Finish() override {
    if (next_ != nullptr) next_->Finish();
  }
  std::string Describe() const override { return ""; }
  void Watch(RenderSession& session) {
    session.beforeRender = [this](int64_t) { Mark(renderStartWall_, renderStartCpu_, CLOCK_THREAD_CPUTIME_ID); };
    session.afterRender = [this](int64_t frame) {
      if (frame < kWarmUp) return;
      renderWall_ += Seconds(CLOCK_MONOTONIC) - renderStartWall_;
      renderCpu_ += Seconds(CLOCK_THREAD_CPUTIME_ID) - renderStartCpu_;
    };
  }
  int64_t TimedFrames() const { return frames_ - kWarmUp; }
  double WallSeconds() const { return endWall_ - startWall_; }
  double CpuSeconds() const { return endCpu_ - startCpu_; }
  double RenderWallSeconds() const { return renderWall_; }
  double RenderCpuSeconds() const { return renderCpu_; }

 private:
  static void Mark(double& wall, double& cpu, clockid_t cpuClock = CLOCK_PROCESS_CPUTIME_ID) {
    wall = Seconds(CLOCK_MONOTONIC);
    cpu = Seconds(cpuClock);
  }
  FrameSink* next_;
  int64_t frames_ = 0;
  double startWall_ = 0, startCpu_ = 0, endWall_ = 0, endCpu_ = 0;
  double renderStartWall_ = 0, renderStartCpu_ = 0, renderWall_ = 0, renderCpu_ = 0;
};

// An encoder that takes every byte and keeps none: what is left of a render's time is corvex's.
void WriteStandInEncoder(const std::string& path) {
  std::ofstream script(path);
  script << "#!/bin/sh\nfor last; do :; done\ncat > /dev/null && : > \"$last\"\n";
  script.close();
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

enum class Output { kDropped, kStandInEncoder };

// A session of the demo at 1920 x 1080 in one scene, its frames dropped (the plug-in's frame
// and the reading of the presented picture) or piped through the real ffmpeg sink to the
// stand-in encoder (all of corvex's work). Reported per frame: wall time (the iteration time)
// and the process's CPU time (ms_cpu_per_frame); the plug-in's Render in the same frames, wall
// and CPU (ms_plugin_per_frame, ms_plugin_cpu_per_frame); and the ratios of the two, wall to
// wall (wall_over_plugin: what overlapping the host's work with the plug-in's gains shows
// here) and CPU to CPU (cpu_over_plugin: the work itself, which load on a shared machine
// inflates less).
void BM_RenderSteadyFrames(benchmark::State& state) {
  constexpr int64_t kFrames = 130;
  const Output output = static_cast<Output>(state.range(0));
  Playlist playlist = Playlist::Demo();
  WorkFolder work;
  SettingsOverrides overrides;
  overrides.framesPerScene = -1;
  StageSettings(std::nullopt, overrides, work.File("vis_corvex.ini"));
  WriteStandInEncoder(work.File("ffmpeg"));
  SessionConfig config;
  config.width = kWidth;
  config.height = kHeight;
  config.startSeconds = 20.0;
  config.frameCount = kFrames;
  config.seed = 5;
  config.pluginFolder = work.path();
  double cpu = 0, pluginWall = 0, pluginCpu = 0, wall = 0;
  int64_t frames = 0;
  for (auto _ : state) {
    std::unique_ptr<FfmpegSink> encoder;
    if (output == Output::kStandInEncoder) {
      encoder = std::make_unique<FfmpegSink>(work.File("ffmpeg"), work.File("out.mp4"),
                                             VideoFormat{kWidth, kHeight, 30.0},
                                             std::vector<AudioPart>{}, work.File("ffmpeg.log"));
    }
    SteadyFrames sink(encoder.get());
    RenderSession session(playlist, config);
    sink.Watch(session);
    session.Run(sink);
    sink.Finish();
    state.SetIterationTime(sink.WallSeconds() / static_cast<double>(sink.TimedFrames()));
    cpu += sink.CpuSeconds();
    pluginWall += sink.RenderWallSeconds();
    pluginCpu += sink.RenderCpuSeconds();
    wall += sink.WallSeconds();
    frames += sink.TimedFrames();
  }
  state.SetLabel(output == Output::kDropped ? "dropped" : "stand-in encoder");
  state.counters["ms_cpu_per_frame"] = cpu * 1e3 / static_cast<double>(frames);
  state.counters["ms_plugin_per_frame"] = pluginWall * 1e3 / static_cast<double>(frames);
  state.counters["ms_plugin_cpu_per_frame"] = pluginCpu * 1e3 / static_cast<double>(frames);
  state.counters["wall_over_plugin"] = wall / pluginWall;
  state.counters["cpu_over_plugin"] = cpu / pluginCpu;
}

BENCHMARK(BM_CopyPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PackRgb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertToYuv420)
    ->ArgName("scalar0_sse2_1_avx2_2_avx512_3")
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderSteadyFrames)
    ->ArgName("dropped0_encoder1")
    ->DenseRange(0, 1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace corvex::host
