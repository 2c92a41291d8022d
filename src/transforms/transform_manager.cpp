#include "transforms/transform_manager.h"

#include <cstring>
#include <new>

#include "base/process_objects.h"
#include "base/random.h"
#include "base/slot_mask.h"
#include "transforms/generator_loop.h"

namespace corvex {

const char* const kTransformNames[kTransformCount] = {
    "Wavy Spiral",     "Parabolic Zoomer",    "Bubble",
    "Fast Zoomer",     "Undulating Slider",   "Fuzzy Fade",
    "Shiny tiles",     "Diagonal Fade",       "Translate and Spin",
    "Kaleidoscope",    "Fast Reverse Spiral", "What You Get With a Typo (tm)",
    "Flower",          "Spiral Tiles",        "Plain Sine Wave",
};


TransformManager::TransformManager() {
  for (int32_t slot = 0; slot < kTransformCount; ++slot) {
    std::strncpy(transformNames[slot], kTransformNames[slot], sizeof transformNames[slot] - 1);
  }
  transformCount = kTransformCount;
  currentTransform = 0;
  enabledTransforms = new int32_t[transformCount];
  for (int32_t slot = 0; slot < transformCount; ++slot) enabledTransforms[slot] = 1;
}

TransformManager::~TransformManager() {
  delete[] enabledTransforms;
  delete[] sourceOffsets;
  delete[] sourceWeights;
}

void TransformManager::AllocateMap(int32_t width, int32_t height) {
  mapWidth = width & 0xFFFF;
  mapHeight = height & 0xFFFF;
  delete[] sourceOffsets;
  delete[] sourceWeights;
  sourceOffsets = nullptr;
  sourceWeights = nullptr;
  mapPixelCount = 0;
  // Offsets are 32-bit byte offsets. A map too large for them, or one that memory cannot
  // hold, is left out (no arrays, no pixels): BuildMap then builds nothing and the frame step
  // wipes the picture instead of feeding it back, rather than the host process failing.
  const int64_t count = static_cast<int64_t>(mapWidth) * mapHeight;
  if (4 * count <= static_cast<int64_t>(UINT32_MAX)) {
    sourceOffsets = new (std::nothrow) uint32_t[static_cast<size_t>(count)];
    sourceWeights = new (std::nothrow) uint8_t[static_cast<size_t>(count) * 4];
  }
  if (sourceOffsets == nullptr || sourceWeights == nullptr) {
    delete[] sourceOffsets;
    delete[] sourceWeights;
    sourceOffsets = nullptr;
    sourceWeights = nullptr;
  } else {
    mapPixelCount = static_cast<int32_t>(count);
  }
  for (int32_t i = 0; i < mapPixelCount; ++i) {
    sourceOffsets[i] = 4u * static_cast<uint32_t>(i);
    sourceWeights[4 * i] = 255;
    sourceWeights[4 * i + 1] = 0;
    sourceWeights[4 * i + 2] = 0;
    sourceWeights[4 * i + 3] = 0;
  }
  ChooseTransform(0);
}

void TransformManager::BuildMap() {
  if (sourceOffsets == nullptr) return;  // no map allocated (or none could be)
  switch (currentTransform) {
    case 0: WavySpiral(); break;
    case 1: ParabolicZoomer(); break;
    case 2: Bubble(); break;
    case 3: FastZoomer(); break;
    case 4: UndulatingSlider(); break;
    case 5: FuzzyFade(); break;
    case 6: ShinyTiles(); break;
    case 7: DiagonalFade(); break;
    case 8: TranslateAndSpin(); break;
    case 9: Kaleidoscope(); break;
    case 10: FastReverseSpiral(); break;
    case 11: WhatYouGetWithATypo(); break;
    case 12: Flower(); break;
    case 13: SpiralTiles(); break;
    case 14: PlainSineWave(); break;
    default: break;
  }
}

void TransformManager::ChooseTransform(int32_t mode) {
  if (mode == 1) {
    currentTransform = (currentTransform + 1) % transformCount;
  } else if (mode == 0) {
    bool anyEnabled = false;
    for (int32_t slot = 0; slot < transformCount; ++slot) anyEnabled |= enabledTransforms[slot] != 0;
    // With no transform enabled the draw would never end; the current one is kept instead
    // (and, the mode being a new choice, built again with new parameters).
    if (anyEnabled) {
      do {
        currentTransform = RandomInt(transformCount - 1);
      } while (enabledTransforms[currentTransform] == 0);
    }
  }
  // A lock outside the slots (a damaged settings file) counts as no lock.
  const int32_t lock = LockedTransform();
  if (lock >= 0 && lock < transformCount) currentTransform = lock;
  if (configDialogOpen != 0 && refreshSceneLabelsHook != nullptr) refreshSceneLabelsHook();
  if (mode != 2) BuildMap();
}

int32_t TransformManager::TransformMask() const {
  return PackSlotMask(enabledTransforms, transformCount);
}

int32_t TransformManager::AllTransformsMask() const { return AllSlotsMask(transformCount); }

void TransformManager::SetTransformMask(int32_t mask) {
  UnpackSlotMask(mask, enabledTransforms, transformCount);
}

void TransformManager::SampleSource() {
  SampleInto(sourceOffsets[pixelIndex], sourceWeights + weightIndex, sourceX, sourceY, mapWidth,
             mapHeight);
}

int32_t TransformManager::BuildThreads() const {
  return buildThreads > 0 ? buildThreads : DefaultBuildThreads();
}

}  // namespace corvex
