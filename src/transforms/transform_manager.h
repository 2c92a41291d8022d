#pragma once
#include <cstddef>
#include <cstdint>

#include "base/transform_flags.h"

namespace corvex {

struct MapRowKernels;
struct SourceRow;

inline constexpr int32_t kTransformCount = 15;
extern const char* const kTransformNames[kTransformCount];

// Owns the warp map and knows the 15 transforms: their names, which are enabled, which is
// current, and the generator that builds each one's map and sets its three flags.
class TransformManager : public TransformFlags {
 public:
  TransformManager();
  virtual ~TransformManager();
  TransformManager(const TransformManager&) = delete;
  TransformManager& operator=(const TransformManager&) = delete;

  void AllocateMap(int32_t width, int32_t height);
  void BuildMap();
  void ChooseTransform(int32_t mode);
  int32_t TransformMask() const;
  int32_t AllTransformsMask() const;
  void SetTransformMask(int32_t mask);

  // The sampling rule: turns the source position (sourceX, sourceY) of pixel pixelIndex into
  // its map entry. The last step of every generator.
  void SampleSource();

  // The generators, one per slot. Each draws its parameters with RandomInt in a fixed order,
  // builds every entry through SampleSource and then sets the three flags.
  void WavySpiral();
  void ParabolicZoomer();
  void Bubble();
  void FastZoomer();
  void UndulatingSlider();
  void FuzzyFade();
  void ShinyTiles();
  void DiagonalFade();
  void TranslateAndSpin();
  void Kaleidoscope();
  void FastReverseSpiral();
  void WhatYouGetWithATypo();
  void Flower();
  void SpiralTiles();
  void PlainSineWave();

  uint32_t* sourceOffsets = nullptr;  // byte offsets of each pixel's top-left source pixel
  uint8_t* sourceWeights = nullptr;   // four weights per pixel
  int32_t mapWidth = 0;
  int32_t mapHeight = 0;
  int32_t mapPixelCount = 0;
  int32_t currentTransform = 0;
  int32_t transformCount = kTransformCount;
  // sustain, sustainOptional and centerDetail: TransformFlags
  int32_t* enabledTransforms = nullptr;
  double pixelX = 0.0;
  double pixelY = 0.0;
  double sourceX = 0.0;
  double sourceY = 0.0;
  int32_t pixelIndex = 0;
  int32_t weightIndex = 0;
  char transformNames[kTransformCount][256] = {};
  // Threads a map build may use; 0 (or less) means one per core. The map's bits do not
  // depend on it.
  int32_t buildThreads = 0;
  // Whether the polar transforms build rows mirrored about their centre together, sharing
  // what both rows' pixels compute alike; the map's bits do not depend on it.
  bool shareMirroredRows = true;
  // The row kernels the builds use; none means the fastest this CPU runs. The map's bits do
  // not depend on them.
  const MapRowKernels* rowKernels = nullptr;

 private:
  // The loop every generator shares (generator_loop.h), on BuildThreads() threads unless
  // told otherwise.
  template <typename Source>
  void ForEachPixel(Source&& source, int32_t threads);
  template <typename Source>
  void ForEachPixel(Source&& source) { ForEachPixel(source, BuildThreads()); }
  int32_t BuildThreads() const;
  template <typename Band>
  void ForEachMirroredRowBand(double cy, Band&& band, bool lowerRowFirst = false);
  template <typename Angle, typename Radial, typename Angular, typename Place, typename Pace>
  void ForEachPolarRow(double cx, double cy, Angle&& angle, Radial&& radial, Angular&& angular,
                       Place&& place, Pace& pace, double drift = 0);
  template <typename Radial, typename Place>
  void ForEachPolarPixel(double cx, double cy, Radial&& radial, Place&& place, double drift = 0);
  const MapRowKernels& RowKernels() const;
  void SampleRow(const SourceRow& row, int32_t y);
  // The three flags a generator sets once its map is built (so a draw in the arguments comes
  // after the map's draws).
  void SetFlags(uint8_t sustainFlag, uint8_t sustainOptionalFlag, uint8_t centerDetailFlag);
};

}  // namespace corvex
