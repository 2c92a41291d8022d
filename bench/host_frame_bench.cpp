// The corvex host's own work on each rendered frame at 1920 x 1080, beside a memcpy of the
// display's picture: packing it to RGB (what PNG frames take) and converting it to the 4:2:0
// picture the video encoder takes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "rgb_packing.h"
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

BENCHMARK(BM_CopyPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PackRgb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertToYuv420)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvex::host
