#include "transforms/map_rows.h"

#include "simd/cpu_features.h"
#include "transforms/sampling_rule.h"

namespace corvex {

void MapDistancesScalar(double dy, double centerX, int32_t count, double* distances) {
  for (int32_t x = 0; x < count; ++x) distances[x] = DistanceFrom(x - centerX, dy);
}

void MapPointsScalar(double centerX, double centerY, const double* radii, const double* cosines,
                     const double* sines, int32_t count, double* sx, double* sy) {
  for (int32_t x = 0; x < count; ++x) {
    sx[x] = centerX + radii[x] * cosines[x];
    sy[x] = centerY + radii[x] * sines[x];
  }
}

void SampleRowScalar(const double* sx, const double* sy, int32_t count, int32_t width,
                     int32_t height, uint32_t* offsets, uint8_t* weights) {
  for (int32_t x = 0; x < count; ++x) {
    SampleInto(offsets[x], weights + 4 * x, sx[x], sy[x], width, height);
  }
}

std::vector<MapRowKernels> MapRowKernelVersions() {
  std::vector<MapRowKernels> versions{
      {"scalar", &MapDistancesScalar, &MapPointsScalar, &SampleRowScalar}};
#if defined(__x86_64__) || defined(__i386__)
  if (CpuHasAvx2()) {
    versions.push_back({"avx2", &MapDistancesAvx2, &MapPointsAvx2, &SampleRowAvx2});
  }
  if (CpuHasAvx512Bw()) {
    versions.push_back({"avx512", &MapDistancesAvx512, &MapPointsAvx2, &SampleRowAvx512});
  }
#endif
  return versions;
}

const MapRowKernels& BestMapRowKernels() {
  static const MapRowKernels best = MapRowKernelVersions().back();
  return best;
}

}  // namespace corvex
