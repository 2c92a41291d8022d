#include "base/process_objects.h"
#include "base/random.h"
#include "base/slot_mask.h"
#include "scene/scene_manager.h"
#include "scene/video_core.h"
#include "transforms/transform_manager.h"

namespace corvex {

void SceneManager::ChooseScene(int32_t mode, int32_t transformMode) {
  frameInScene = 0;
  if (mode == 1) {
    const int32_t k = FirstActiveRenderer();
    activeRenderers[k] = 0;
    activeRenderers[(k + 1) % rendererCount] = 1;
  } else if (mode == 0) {
    for (int32_t slot = 0; slot < kRendererCount; ++slot) activeRenderers[slot] = 0;
    // A lock outside the slots counts as no lock.
    if (lockedRenderer >= 0 && lockedRenderer < rendererCount) {
      activeRenderers[lockedRenderer] = 1;
    } else {
      bool anyEnabled = false;
      for (int32_t slot = 0; slot < rendererCount; ++slot) anyEnabled |= enabledRenderers[slot] != 0;
      // With no slot enabled the draw would never end; every slot may be drawn instead, so
      // the user still gets a picture rather than a frozen plug-in.
      int32_t r = RandomInt(rendererCount - 1);
      while (anyEnabled && enabledRenderers[r] == 0) r = RandomInt(rendererCount - 1);
      activeRenderers[r] = 1;
    }
  } else if (mode == 666) {
    for (int32_t slot = 0; slot < kRendererCount; ++slot) activeRenderers[slot] = 1;
  }
  if (configDialogOpen != 0 && refreshSceneLabelsHook != nullptr) refreshSceneLabelsHook();
  if (video.transformManager != nullptr) video.transformManager->ChooseTransform(transformMode);
  sceneJustStarted = 1;
}

void SceneManager::StartFirstScene() { ChooseScene(0, 0); }

int32_t SceneManager::FirstActiveRenderer() const {
  for (int32_t slot = 0; slot < kRendererCount; ++slot) {
    if (activeRenderers[slot] == 1) return slot;
  }
  return 0;  // before the first scene choice nothing is active; slot 0 stands for it
}

int32_t SceneManager::RendererMask() const { return PackSlotMask(enabledRenderers, rendererCount); }

int32_t SceneManager::AllRenderersMask() const { return AllSlotsMask(rendererCount); }

void SceneManager::SetRendererMask(int32_t value) {
  UnpackSlotMask(value, enabledRenderers, rendererCount);
}

int32_t LockedTransform() {
  return theSceneManager != nullptr ? theSceneManager->lockedTransform : -1;
}

}  // namespace corvex
