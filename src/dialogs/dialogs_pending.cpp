// Placeholder until the panel and the About box land: nothing opens.
#include "dialogs/dialogs.h"

namespace corvex {
void OpenConfigPanel() {}
void CloseConfigPanel() {}
void OpenAboutBox(VisModule&) {}
void CloseAboutBox() {}
}  // namespace corvex
