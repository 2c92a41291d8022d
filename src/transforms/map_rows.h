#pragma once
#include <cstdint>
#include <vector>

namespace corvex {

// The work of a map build that is not a library call, a row at a time: the distances of a row's
// pixels from a centre, the points a polar row is taken from, and the sampling rule that turns
// a row's source positions into map entries. Each version gives the same bits as the scalar
// one: the same IEEE operations, in the same order, one pixel per lane.
struct MapRowKernels {
  const char* name;
  // distances[x] = sqrt(dx * dx + dy * dy) + 0.00000001 with dx = x - centerX, for x = 0 to
  // count - 1.
  void (*distances)(double dy, double centerX, int32_t count, double* distances);
  // The points at radii[x] from a centre in the direction whose cosine and sine are
  // cosines[x] and sines[x]: sx[x] = centerX + radii[x] * cosines[x], sy[x] = centerY +
  // radii[x] * sines[x], for x = 0 to count - 1.
  void (*points)(double centerX, double centerY, const double* radii, const double* cosines,
                 const double* sines, int32_t count, double* sx, double* sy);
  // The sampling rule for `count` pixels: entry x from the source position (sx[x], sy[x]) in a
  // map of width x height pixels. offsets and weights point at the row's first entry.
  void (*sample)(const double* sx, const double* sy, int32_t count, int32_t width, int32_t height,
                 uint32_t* offsets, uint8_t* weights);
};

// Every version this CPU runs, the scalar one first and the fastest last.
std::vector<MapRowKernels> MapRowKernelVersions();

// The fastest version this CPU runs, chosen once.
const MapRowKernels& BestMapRowKernels();

void MapDistancesScalar(double dy, double centerX, int32_t count, double* distances);
void MapPointsScalar(double centerX, double centerY, const double* radii, const double* cosines,
                     const double* sines, int32_t count, double* sx, double* sy);
void SampleRowScalar(const double* sx, const double* sy, int32_t count, int32_t width,
                     int32_t height, uint32_t* offsets, uint8_t* weights);
// Only where the CPU has AVX2.
void MapDistancesAvx2(double dy, double centerX, int32_t count, double* distances);
void MapPointsAvx2(double centerX, double centerY, const double* radii, const double* cosines,
                   const double* sines, int32_t count, double* sx, double* sy);
void SampleRowAvx2(const double* sx, const double* sy, int32_t count, int32_t width, int32_t height,
                   uint32_t* offsets, uint8_t* weights);
// Only where the CPU has AVX-512 F (and BW, which the check includes). Its points are the AVX2
// ones: a few products per pixel, not worth a version of their own.
void MapDistancesAvx512(double dy, double centerX, int32_t count, double* distances);
void SampleRowAvx512(const double* sx, const double* sy, int32_t count, int32_t width,
                     int32_t height, uint32_t* offsets, uint8_t* weights);

}  // namespace corvex
