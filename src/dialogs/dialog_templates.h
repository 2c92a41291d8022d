#pragma once
#include "platform/dialog_system.h"

namespace corvex {

// The two dialogs of the library's resources, as every backend builds them: the Windows
// resource script (resources/vis_corvex.rc) holds the same controls, and a test keeps the
// two in step.
extern const platform::DialogTemplate kConfigPanelTemplate;  // 102
extern const platform::DialogTemplate kAboutBoxTemplate;     // 110

}  // namespace corvex
