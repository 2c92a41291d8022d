// The six conversions of a 1920 x 1080 picture, each beside its scalar reference and a memcpy
// of the picture's bytes, in the same run. Bytes processed are the source's 4 per pixel.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "per_pixel_timer.h"
#include "simd/cpu_features.h"
#include "video/portable/compose_kernels.h"

namespace corvex {
namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;
constexpr size_t kPictureBytes = static_cast<size_t>(kWidth) * kHeight * 4;

const std::vector<uint32_t>& Picture() {
  static const std::vector<uint32_t> picture = [] {
    std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight);
    std::mt19937 random(1080);
    for (uint32_t& pixel : pixels) pixel = random() & 0x00FFFFFF;
    return pixels;
  }();
  return picture;
}

// The compose surface's pitch: one spare column, rows aligned to 8 bytes.
int32_t PitchOf(ComposeFormat format) {
  const int32_t bytes = format == ComposeFormat::Rgb32   ? 4
                        : format == ComposeFormat::Rgb24 ? 3
                                                         : 2;
  return ((kWidth + 1) * bytes + 7) / 8 * 8;
}

void Convert(benchmark::State& state, const ComposeKernels& kernels, ComposeFormat format) {
  const std::vector<uint32_t>& source = Picture();
  const int32_t pitch = PitchOf(format);
  std::vector<uint8_t> target(static_cast<size_t>(pitch) * kHeight);
  const ConvertFunction convert = kernels[format];
  for (auto _ : state) {
    convert(source.data(), kWidth, kHeight, target.data(), pitch);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kPictureBytes);
}

void CopyPicture(benchmark::State& state) {
  corvex::bench::TimeCopyPerPixel(state, kPictureBytes, int64_t{kWidth} * kHeight);
}

[[maybe_unused]] const bool registered = [] {
  benchmark::RegisterBenchmark("Compose/memcpy", &CopyPicture)->Unit(benchmark::kMicrosecond);
  std::vector<const ComposeKernels*> sets = {&ScalarComposeKernels(), &Sse2ComposeKernels()};
  if (CpuHasAvx2()) {
    sets.push_back(&Avx2ComposeKernels());
    sets.push_back(&Avx2StreamingComposeKernels());
  }
  for (int32_t f = 0; f < kComposeFormatCount; ++f) {
    const auto format = static_cast<ComposeFormat>(f);
    for (const ComposeKernels* kernels : sets) {
      const std::string name = std::string("Compose/") + ComposeFormatName(format) + "/" +
                               kernels->name;
      benchmark::RegisterBenchmark(name.c_str(), [kernels, format](benchmark::State& state) {
        Convert(state, *kernels, format);
      })->Unit(benchmark::kMicrosecond);
    }
  }
  return true;
}();

}  // namespace
}  // namespace corvex
