#pragma once
#include <cstdint>

namespace corvex::platform {

// Private-profile (INI) files, shaped after the Windows calls of the same names: a file of
// [sections] holding key=value lines. Section and key names compare without regard to case;
// the first key of a name is the one read and written; other lines are never touched.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;

  // The integer at key in section of the file at path. defaultValue when the file, the section
  // or the key is missing or the value is empty. Otherwise the value is read as Windows reads
  // it: one pair of quotes around it dropped, leading blanks skipped, an optional sign, decimal digits up to the first other
  // character (none gives 0), kept to 32 bits.
  virtual int32_t GetPrivateProfileInteger(const char* section, const char* key,
                                           int32_t defaultValue, const char* path) = 0;

  // Sets key=value in section, creating the file and the section when they are missing and
  // keeping every other section, key and comment. Returns false when the file could not be
  // written; it is then left as it was, never truncated or half written.
  virtual bool WritePrivateProfileValue(const char* section, const char* key, const char* value,
                                        const char* path) = 0;
};

}  // namespace corvex::platform
