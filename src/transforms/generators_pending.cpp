// Placeholder until the generators land: every transform keeps the identity map.
#include "transforms/transform_manager.h"

namespace corvex {
void TransformManager::WavySpiral() {}
void TransformManager::ParabolicZoomer() {}
void TransformManager::Bubble() {}
void TransformManager::FastZoomer() {}
void TransformManager::UndulatingSlider() {}
void TransformManager::FuzzyFade() {}
void TransformManager::ShinyTiles() {}
void TransformManager::DiagonalFade() {}
void TransformManager::TranslateAndSpin() {}
void TransformManager::Kaleidoscope() {}
void TransformManager::FastReverseSpiral() {}
void TransformManager::WhatYouGetWithATypo() {}
void TransformManager::Flower() {}
void TransformManager::SpiralTiles() {}
void TransformManager::PlainSineWave() {}
}  // namespace corvex
