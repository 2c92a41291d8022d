// Any bytes as the settings file: a run starts from them, draws a few frames and saves. The
// save must hold what the run had in effect, and a second run from that file must save the
// very same bytes again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/process_objects.h"
#include "fuzz_player.h"
#include "platform/headless/headless_backend.h"
#include "plugin/plugin_objects.h"
#include "scene/scene_manager.h"
#include "transforms/transform_manager.h"
#include "video/video.h"

namespace corvex::fuzzing {
namespace {

const char* const kKeys[] = {"Display_Mode",     "Resolution_Mode",   "Frames_Per_Scene",
                             "Minimize_Winamp",  "Use_Delay",         "Prefered_Renderer",
                             "Prefered_Transform", "Show_Song_Title", "Window_Pos_X",
                             "Window_Pos_Y",     "Renderer_Choice",   "Transform_Choice"};

// The twelve values as a save writes them, in the keys' order.
std::vector<int32_t> ValuesInEffect() {
  const Video& v = *theVideo;
  const SceneManager& s = *theSceneManager;
  return {v.displayMode,     v.resolutionMode,  s.framesPerScene,  v.minimizeHost,
          v.useDelay,        s.lockedRenderer,  s.lockedTransform, s.showSongTitle,
          v.windowX,         v.windowY,         s.RendererMask(),  v.transformManager->TransformMask()};
}

std::string RunOnce(FuzzPlayer& run) {
  if (!run.Start()) Fail("Init refused");
  for (uint8_t frame = 0; frame < 3; ++frame) run.Frame(frame, static_cast<uint8_t>(frame * 40));
  const std::vector<int32_t> saved = ValuesInEffect();
  run.Stop();
  const std::string path = run.player.FileBesidePlugin("vis_corvex.ini");
  auto& profiles = run.player.backend().profiles;
  for (size_t i = 0; i < saved.size(); ++i) {
    const int32_t read = profiles.GetPrivateProfileInteger("Corvex v1.07", kKeys[i], 12345, path.c_str());
    Require(read == saved[i], std::string(kKeys[i]) + " saved as " + std::to_string(saved[i]) +
                                  " reads back as " + std::to_string(read));
  }
  return testing::PluginHarness::ReadFile(path);
}

}  // namespace
}  // namespace corvex::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvex::fuzzing;
  FuzzPlayer first(std::string(reinterpret_cast<const char*>(data), size));
  const std::string saved = RunOnce(first);
  FuzzPlayer second(saved);
  Require(RunOnce(second) == saved, "a second run saved other bytes");
  return 0;
}
