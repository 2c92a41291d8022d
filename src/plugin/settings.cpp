#include "plugin/settings.h"

#include <cstdio>

#include "base/process_objects.h"
#include "platform/backend.h"
#include "platform/profile_store.h"
#include "plugin/module_files.h"
#include "plugin/session_backend.h"
#include "plugin/vis_module.h"
#include "scene/scene_manager.h"
#include "transforms/transform_manager.h"
#include "video/video.h"

namespace corvex {

namespace {

constexpr const char* kSettingsFileName = "vis_corvex.ini";

// Where a key's value lives: a field of the Video or of the SceneManager.
class Field {
 public:
  constexpr Field(int32_t Video::*field) : video_(field) {}
  constexpr Field(int32_t SceneManager::*field) : scene_(field) {}
  int32_t& In(Video& video, SceneManager& scene) const {
    return video_ != nullptr ? video.*video_ : scene.*scene_;
  }

 private:
  int32_t Video::*video_ = nullptr;
  int32_t SceneManager::*scene_ = nullptr;
};

struct PlainKey {
  const char* name;
  int32_t defaultValue;
  Field loadInto;
  Field saveFrom;
};

// The keys in the order they are read and written; the two masks come last. Display mode and
// resolution load into the requested fields and save from the ones in effect, so a choice
// still pending in the panel is never saved.
const PlainKey kPlainKeys[] = {
    {"Display_Mode", -1, &Video::requestedDisplayMode, &Video::displayMode},
    {"Resolution_Mode", -1, &Video::requestedResolutionMode, &Video::resolutionMode},
    {"Frames_Per_Scene", 500, &SceneManager::framesPerScene, &SceneManager::framesPerScene},
    {"Minimize_Winamp", 0, &Video::minimizeHost, &Video::minimizeHost},
    {"Use_Delay", 0, &Video::useDelay, &Video::useDelay},
    {"Prefered_Renderer", -1, &SceneManager::lockedRenderer, &SceneManager::lockedRenderer},
    {"Prefered_Transform", -1, &SceneManager::lockedTransform, &SceneManager::lockedTransform},
    {"Show_Song_Title", 1, &SceneManager::showSongTitle, &SceneManager::showSongTitle},
    {"Window_Pos_X", 0, &Video::windowX, &Video::windowX},
    {"Window_Pos_Y", 0, &Video::windowY, &Video::windowY},
};
constexpr const char* kRendererChoice = "Renderer_Choice";
constexpr const char* kTransformChoice = "Transform_Choice";

// A file edited by hand, or written on another machine, may hold values nothing can use.
// They load without harm: an unknown display mode is "not set", so Create picks full screen
// with its 480-line resolution (the stored resolution belonged to no known list, so it goes
// too); a negative resolution is "not set" (an index past the end of its list is the Video's
// to handle, as the lists are only known once Create has enumerated them); a lock outside the
// slots is no lock, and is saved as such. Masks need no care: no enabled renderer lets every
// slot be drawn, and no enabled transform keeps the current one (scene and transform choice).
void KeepLoadedValuesUsable(Video& video, SceneManager& scene) {
  if (video.requestedDisplayMode < -1 || video.requestedDisplayMode > 2) {
    video.requestedDisplayMode = -1;
    video.requestedResolutionMode = -1;
  }
  if (video.requestedResolutionMode < -1) video.requestedResolutionMode = -1;
  if (scene.lockedRenderer < -1 || scene.lockedRenderer >= scene.rendererCount) {
    scene.lockedRenderer = -1;
  }
  const int32_t transformCount = video.transformManager->transformCount;
  if (scene.lockedTransform < -1 || scene.lockedTransform >= transformCount) {
    scene.lockedTransform = -1;
  }
}

// Loading and saving need the Video, its TransformManager and the SceneManager.
bool SettingsObjectsExist() {
  return theVideo != nullptr && theVideo->transformManager != nullptr &&
         theSceneManager != nullptr;
}

platform::ProfileStore& ProfilesOf(const VisModule& module) {
  return SessionBackend(module).Profiles();
}

}  // namespace

std::string SettingsPath(const VisModule& module) {
  return PathBesideModule(module, kSettingsFileName);
}

void LoadSettings(const VisModule& module) {
  if (!SettingsObjectsExist()) return;
  Video& video = *theVideo;
  SceneManager& scene = *theSceneManager;
  const std::string path = SettingsPath(module);
  platform::ProfileStore& profiles = ProfilesOf(module);
  auto read = [&](const char* key, int32_t defaultValue) {
    return profiles.GetPrivateProfileInteger(module.description, key, defaultValue, path.c_str());
  };
  for (const PlainKey& key : kPlainKeys) {
    key.loadInto.In(video, scene) = read(key.name, key.defaultValue);
  }
  scene.SetRendererMask(read(kRendererChoice, scene.AllRenderersMask()));
  // The Video's next ChangeRes hands it to the TransformManager.
  video.transformChoice = read(kTransformChoice, video.transformManager->AllTransformsMask());
  KeepLoadedValuesUsable(video, scene);
}

void SaveSettings(const VisModule& module) {
  if (!SettingsObjectsExist()) return;
  Video& video = *theVideo;
  SceneManager& scene = *theSceneManager;
  const std::string path = SettingsPath(module);
  platform::ProfileStore& profiles = ProfilesOf(module);
  auto write = [&](const char* key, int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    // A write that fails leaves the file as it was; the other keys are still tried. There is
    // no log to report it to, and the run is ending.
    profiles.WritePrivateProfileValue(module.description, key, text, path.c_str());
  };
  for (const PlainKey& key : kPlainKeys) write(key.name, key.saveFrom.In(video, scene));
  write(kRendererChoice, scene.RendererMask());
  write(kTransformChoice, video.transformManager->TransformMask());
}

}  // namespace corvex
