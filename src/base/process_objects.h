#pragma once
#include <cstdint>

namespace corvex {

class SceneManager;

// The process-wide objects and flags of the plug-in that the core reads. The plug-in's Init
// sets theSceneManager while the SceneManager exists; the panel sets its flag and hook.
extern SceneManager* theSceneManager;
extern int32_t configDialogOpen;
extern int32_t aboutDialogOpen;
// The host's playing position at the last poll; 99999999 when the library is loaded, and
// kept from one run of the plug-in to the next.
extern int32_t lastSongPosition;
// Called by ChooseScene and ChooseTransform while configDialogOpen is set, so the panel shows
// the current renderer and transform. Set by the panel's layer; null while none exists.
extern void (*refreshSceneLabelsHook)();

// The transform the user locked, -1 for none or while no SceneManager exists. The scene
// keeps the lock; the transforms read it through this, from below.
int32_t LockedTransform();

}  // namespace corvex
