#include "scene/scene_manager.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/cut_text.h"
#include "base/process_objects.h"
#include "renderers/renderer_table.h"
#include "scene/video_core.h"
#include "transforms/transform_manager.h"
#include "transforms/warp_pass.h"

namespace corvex {

namespace {
constexpr size_t kTitleBufferSize = 256;
constexpr double kOneOver576 = 0.001736111111111111;

// The byte as a signed 8-bit sample.
double SignedSample(uint8_t byte) { return static_cast<double>((byte ^ 128) - 128); }
}  // namespace

SceneManager::SceneManager(VideoCore& videoObject) : video(videoObject) {
  frameInScene = 0;
  rendererCount = kRendererCount;
  lockedRenderer = -1;
  // Zeroed so that the set is defined before the first scene choice fills it.
  activeRenderers = new int32_t[kRendererCount]();
  enabledRenderers = new int32_t[rendererCount];
  for (int32_t slot = 0; slot < rendererCount; ++slot) enabledRenderers[slot] = 1;
  peakLevel = 0.0;
  sceneJustStarted = 1;
  minFramesPerScene = 100;
  maxFramesPerScene = 2000;
  framesPerScene = 500;
  songTitle = new char[kTitleBufferSize]();
  showSongTitle = 1;
  for (int32_t slot = 0; slot < kRendererCount; ++slot) {
    std::strncpy(rendererNames[slot], kRendererSlots[slot].name, sizeof rendererNames[slot] - 1);
  }
}

SceneManager::~SceneManager() {
  delete[] activeRenderers;
  delete[] enabledRenderers;
  delete[] songTitle;
}

void SceneManager::FrameStep(const uint8_t (*spectrum)[kAudioLength],
                             const uint8_t (*waveform)[kAudioLength]) {
  // 1. Feedback or wipe, on the Video's own size.
  if (useFeedback != 0) {
    ApplyTransform();
  } else {
    video.ClearFrameBuffer(video.frameBuffer);
  }

  // 2. Geometry.
  SetGeometry(video.frameBuffer, video.width, video.height);

  // 3. Scene timing: a scene chosen here already owns the rest of this frame.
  frameInScene = frameInScene + 1;
  if (frameInScene > framesPerScene && framesPerScene != -1) ChooseScene(0, 0);

  // 4. Audio analysis.
  levelLeft = 0.0;
  levelRight = 0.0;
  levelMix = 0.0;
  for (int32_t i = 0; i < kAudioLength; ++i) {
    waveLeft[i] = SignedSample(waveform[0][i]);
    waveRight[i] = SignedSample(waveform[1][i]);
    waveMix[i] = (waveRight[i] + waveLeft[i]) * 0.5;
    spectrumLeft[i] = spectrum[0][i];
    spectrumRight[i] = spectrum[1][i];
    spectrumSum[i] = spectrumRight[i] + spectrumLeft[i];
    levelLeft += std::fabs(waveLeft[i]);
    levelRight += std::fabs(waveRight[i]);
    levelMix += std::fabs(waveMix[i]);
  }
  levelLeft *= kOneOver576;
  levelRight *= kOneOver576;
  levelMix *= kOneOver576;

  // 5. Song polling, in frames 1, 31, 61, ... of a scene.
  if (frameInScene % 30 == 1) {
    songPosition = static_cast<int32_t>(video.AskHost(0, kAskPlayingPosition));
  }

  // 6. A fall of the position means a new song; otherwise the peak follows the level.
  if (songPosition < lastSongPosition) {
    peakLevel = 8.0;
    const intptr_t index = video.AskHost(0, kAskPlaylistIndex);
    const auto* title = reinterpret_cast<const char*>(
        video.AskHost(static_cast<uintptr_t>(index), kAskTitle));
    // A title longer than the buffer is cut to 255 characters; no title gives an empty text.
    CopyTextCut(title, songTitle, kTitleBufferSize);
    if (showSongTitle != 0) video.SetMessage(songTitle);
  } else if (levelMix > peakLevel) {
    peakLevel = levelMix;
  }

  // 7.
  lastSongPosition = songPosition;

  // 8.
  ClearGuardRow();

  // 9. Renderers in slot order; later slots draw over earlier ones.
  for (int32_t slot = 0; slot < kRendererCount; ++slot) {
    if (activeRenderers[slot] != 0) kRendererSlots[slot].render(*this);
  }

  // 10.
  if (sceneJustStarted != 0) sceneJustStarted = 0;
}

TransformFlags* SceneManager::CurrentTransformFlags() const { return video.transformManager; }

void SceneManager::ClearGuardRow() {
  if (video.previousFrame == nullptr || video.width <= 0 || video.height < 0) return;
  const size_t row = static_cast<size_t>(video.height) * static_cast<size_t>(video.width);
  std::memset(video.previousFrame + row, 0, static_cast<size_t>(video.width) * 4);
}

void SceneManager::ApplyTransform() {
  const TransformManager* map = video.transformManager;
  // A map that does not match the pictures (none built yet) cannot be applied safely; the
  // picture is wiped instead.
  if (map == nullptr || map->sourceOffsets == nullptr || video.previousFrame == nullptr ||
      map->mapWidth != video.width || map->mapHeight != video.height) {
    video.ClearFrameBuffer(video.frameBuffer);
    return;
  }
  static const WarpPassFunction pass = BestWarpPass();
  pass(WarpPassArgs{video.previousFrame, video.frameBuffer, map->sourceOffsets,
                    map->sourceWeights, video.width, video.height, map->sustain != 0,
                    WarpPassOutgrowsTheCache(video.width, video.height)});
}

}  // namespace corvex
