#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/process_objects.h"
#include "scene/scene_manager.h"
#include "scene/video_core.h"
#include "transforms/transform_manager.h"

namespace corvex::testing {

// The pictures and the host as the core sees them: real pixel buffers and warp map of the
// given size, and host answers a test scripts.
class CoreVideo final : public VideoCore {
 public:
  CoreVideo(int32_t w, int32_t h) {
    width = w;
    height = h;
    AllocatePixelBuffers();
    ClearFrameBuffer(previousFrame);
    ClearFrameBuffer(frameBuffer);
    transformManager = new TransformManager();
    transformManager->AllocateMap(w, h);
  }

  intptr_t AskHost(uintptr_t wParam, intptr_t lParam) override {
    requests.push_back({wParam, lParam});
    if (lParam == kAskPlayingPosition) return position;
    if (lParam == kAskPlaylistIndex) return playlistIndex;
    if (lParam != kAskTitle) return 0;
    titleIndexAsked = static_cast<int32_t>(wParam);
    return title ? reinterpret_cast<intptr_t>(title->c_str()) : 0;
  }

  struct Request { uintptr_t wParam; intptr_t lParam; };
  std::vector<Request> requests;
  int32_t position = 0, playlistIndex = 0, titleIndexAsked = -1;
  std::optional<std::string> title = std::string("Song");
};

// A SceneManager registered as the process-wide one while it lives.
class ScopedScene {
 public:
  explicit ScopedScene(VideoCore& video) : scene(video) { theSceneManager = &scene; }
  ~ScopedScene() { theSceneManager = nullptr; }
  SceneManager scene;
};

}  // namespace corvex::testing
