#pragma once

namespace corvex {

struct VisModule;

// The Configuration Panel and the About box as the rest of the plug-in opens and closes them.
void OpenConfigPanel();   // nothing when it is open already
void CloseConfigPanel();  // drops what was not confirmed with Done
void OpenAboutBox(VisModule& module);  // nothing when it is open already
void CloseAboutBox();

}  // namespace corvex
