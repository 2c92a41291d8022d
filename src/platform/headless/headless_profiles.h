#pragma once
#include <string>

#include "platform/headless/failure_injector.h"
#include "platform/profile_store.h"

namespace corvex::platform::headless {

// Private-profile files on disk, read and edited as ProfileText. A write loads the whole
// file, changes the one key and writes the result to a new file beside it, which then
// replaces the old one by a rename: a failure or a crash at any point leaves either the old
// file or the new one, never a part of either. Injectable failures: "WriteProfileFile" (the
// new file breaks off half written) and "ReplaceProfileFile" (the step between writing the
// new file and renaming it over the old one fails).
class HeadlessProfiles final : public ProfileStore {
 public:
  explicit HeadlessProfiles(FailureInjector& failures) : failures_(failures) {}

  int32_t GetPrivateProfileInteger(const char* section, const char* key, int32_t defaultValue,
                                   const char* path) override;
  bool WritePrivateProfileValue(const char* section, const char* key, const char* value,
                                const char* path) override;

  // Where a write puts the new file before it replaces the one at path. A file left there by
  // a crash is never read, and the next write replaces it.
  static std::string NewFilePath(const std::string& path) { return path + ".new"; }

 private:
  bool ReplaceFile(const std::string& path, const std::string& text);

  FailureInjector& failures_;
};

}  // namespace corvex::platform::headless
