#include "base/process_objects.h"

namespace corvex {

SceneManager* theSceneManager = nullptr;
int32_t configDialogOpen = 0;
int32_t aboutDialogOpen = 0;
int32_t lastSongPosition = 99999999;
void (*refreshSceneLabelsHook)() = nullptr;

}  // namespace corvex
