#pragma once
#include <cstdint>

#include "renderers/renderer_frame.h"

namespace corvex {

class VideoCore;

// Host requests, sent as wm::User with these lParam values.
inline constexpr intptr_t kAskPlayingPosition = 105;
inline constexpr intptr_t kAskPlaylistIndex = 125;
inline constexpr intptr_t kAskTitle = 212;

// The per-frame driver of the picture: feedback or wipe, geometry, scene clock, audio
// analysis, song polling and the renderers, which draw on it as their RendererFrame.
class SceneManager : public RendererFrame {
 public:
  explicit SceneManager(VideoCore& video);
  ~SceneManager() override;
  SceneManager(const SceneManager&) = delete;
  SceneManager& operator=(const SceneManager&) = delete;

  // spectrum and waveform: the module record's 2 x 576 bytes, channel 0 (left) first.
  void FrameStep(const uint8_t (*spectrum)[kAudioLength], const uint8_t (*waveform)[kAudioLength]);
  void ApplyTransform();
  void ClearGuardRow();

  // Scene selection.
  void ChooseScene(int32_t mode, int32_t transformMode);
  void StartFirstScene();
  int32_t FirstActiveRenderer() const;
  int32_t RendererMask() const;
  int32_t AllRenderersMask() const;
  void SetRendererMask(int32_t value);

  // The flags of the Video's current transform; none before a warp map exists.
  TransformFlags* CurrentTransformFlags() const override;

  VideoCore& video;
  int32_t frameInScene = 0;
  int32_t framesPerScene = 500;
  int32_t minFramesPerScene = 100;
  int32_t maxFramesPerScene = 2000;
  int32_t rendererCount = kRendererCount;
  int32_t songPosition = 0;
  char* songTitle = nullptr;  // 256 bytes, owned
  int32_t lockedRenderer = -1;
  int32_t lockedTransform = -1;
  char rendererNames[kRendererCount][256] = {};
  int32_t* activeRenderers = nullptr;   // kRendererCount entries, owned
  int32_t showSongTitle = 1;
  int32_t* enabledRenderers = nullptr;  // rendererCount entries, owned
  // The audio analysis, sceneJustStarted and useFeedback come from RendererFrame; width,
  // height, centerX/Y, widthF/heightF, centerXF/YF, maxX/Y, innerMaxX/Y and frameBuffer from
  // Canvas.
};

}  // namespace corvex
