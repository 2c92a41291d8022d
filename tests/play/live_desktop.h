#pragma once
#include <string>

namespace corvex::host::testing {

// A private X display (Xvfb, started on a free display number and stopped at the end) and SDL
// audio drivers that need no sound card, for the whole suite. Tests that need the display call
// RequireDisplay() first; without Xvfb they are skipped with the reason.
class LiveDesktop {
 public:
  static bool Available();
  static const std::string& Reason();  // why there is no display
  static const std::string& Folder();  // a temporary folder removed at the end
};

#define REQUIRE_DISPLAY()                                                       \
  do {                                                                          \
    if (!::corvex::host::testing::LiveDesktop::Available()) {                   \
      GTEST_SKIP() << ::corvex::host::testing::LiveDesktop::Reason();           \
    }                                                                           \
  } while (false)

}  // namespace corvex::host::testing
