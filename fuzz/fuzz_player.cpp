#include "fuzz_player.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/process_objects.h"
#include "base/random.h"
#include "platform/headless/headless_backend.h"
#include "plugin/plugin_objects.h"
#include "scene/scene_manager.h"
#include "transforms/transform_manager.h"
#include "video/video.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORVEX_ALLOCATOR_SIZES 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define CORVEX_ALLOCATOR_SIZES 1
#endif
#if defined(CORVEX_ALLOCATOR_SIZES)
// The sanitizer runtime's allocator queries (g++ ships no header that declares them).
extern "C" int __sanitizer_get_ownership(const volatile void* block);
extern "C" size_t __sanitizer_get_allocated_size(const volatile void* block);
#endif

namespace corvex::fuzzing {

void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
  std::abort();
}

namespace {

// The bytes the allocator handed out for a block (0 for a pointer it does not own), or
// expected itself where no sanitizer keeps the sizes: a plain build checks the rest.
size_t AllocatedBytes(const void* block, size_t expected) {
#if defined(CORVEX_ALLOCATOR_SIZES)
  (void)expected;
  return block != nullptr && __sanitizer_get_ownership(block) != 0
             ? __sanitizer_get_allocated_size(block)
             : 0;
#else
  return block != nullptr ? expected : 0;
#endif
}

bool Terminated(const char* text, size_t size) {
  return text != nullptr && std::memchr(text, '\0', size) != nullptr;
}

}  // namespace

FuzzPlayer::FuzzPlayer(const std::string& settings) {
  player.UseSmallDisplay();
  player.windows().onMessageBox = [](const platform::headless::MessageBoxRecord& box) {
    Fail("a message box: " + box.caption + ": " + box.text);
  };
  if (!settings.empty()) {
    testing::PluginHarness::WriteFile(player.FileBesidePlugin("vis_corvex.ini"), settings);
  }
}

FuzzPlayer::~FuzzPlayer() { Stop(); }

bool FuzzPlayer::Start() {
  SeedRandom(1);
  running_ = player.Init() == 0;
  if (running_) CheckInvariants();
  return running_;
}

void FuzzPlayer::Frame(uint8_t wave, uint8_t spectrum) {
  if (!running_) return;
  player.FillAudio(wave, spectrum);
  player.Render();
  CheckInvariants();
}

void FuzzPlayer::Pump() {
  if (running_ && !player.Pump()) Stop();
}

void FuzzPlayer::Stop() {
  if (!running_) return;
  running_ = false;
  player.Quit();
  Require(theVideo == nullptr && theSceneManager == nullptr, "Quit left the objects");
  Require(player.display().LiveSurfaces() == 0 && player.display().LiveClippers() == 0 &&
              player.display().LiveDirectDrawObjects() == 0,
          "Quit left display objects behind");
  Require(player.windows().LiveWindows().size() == 1, "Quit left windows behind");
}

void FuzzPlayer::CheckInvariants() {
  Require(theVideo != nullptr && theSceneManager != nullptr, "the plug-in's objects are gone");
  const Video& video = *theVideo;
  const SceneManager& scene = *theSceneManager;
  const TransformManager& transforms = *video.transformManager;

  bool active = false;
  for (int32_t slot = 0; slot < kRendererCount; ++slot) active |= scene.activeRenderers[slot] != 0;
  Require(active, "no renderer is active");
  Require(transforms.currentTransform >= 0 &&
              transforms.currentTransform < transforms.transformCount,
          "currentTransform " + std::to_string(transforms.currentTransform));

  const platform::headless::DisplayModeInfo* mode = nullptr;
  for (const auto& offered : player.display().modes) {
    if (offered.width == video.width && offered.height == video.height) mode = &offered;
  }
  Require(mode != nullptr, "a size no mode has: " + std::to_string(video.width) + "x" +
                               std::to_string(video.height));
  const size_t pixels = static_cast<size_t>(video.width) * static_cast<size_t>(video.height);
  const size_t bufferBytes = Video::PixelBufferLength(video.width, video.height) * 4;
  Require(AllocatedBytes(video.frameBuffer, bufferBytes) == bufferBytes &&
              AllocatedBytes(video.previousFrame, bufferBytes) == bufferBytes,
          "pixel buffers not of the current size");
  Require(transforms.mapWidth == video.width && transforms.mapHeight == video.height &&
              AllocatedBytes(transforms.sourceOffsets, pixels * 4) == pixels * 4 &&
              AllocatedBytes(transforms.sourceWeights, pixels * 4) == pixels * 4,
          "warp map not of the current size");
  Require(Terminated(video.messageText, 256) && Terminated(scene.songTitle, 256),
          "a text buffer without its end");
}

}  // namespace corvex::fuzzing
