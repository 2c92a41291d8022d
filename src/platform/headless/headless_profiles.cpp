#include "platform/headless/headless_profiles.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#if !defined(_WIN32)
#include <unistd.h>
#endif

#include "platform/headless/profile_text.h"

namespace corvex::platform::headless {

namespace {

// The whole file at path; an empty text when it does not exist. False when it exists but
// cannot be read, so a write never replaces a file it could not see. Only a regular file is
// read: a pipe or a device would block or never end.
bool ReadWholeFile(const std::string& path, std::string* text) {
  text->clear();
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) return true;
  if (error || status.type() != std::filesystem::file_type::regular) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return errno == ENOENT;
  char chunk[4096];
  size_t count;
  while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) text->append(chunk, count);
  const bool readError = std::ferror(file) != 0;
  std::fclose(file);
  return !readError;
}

// The value as GetPrivateProfileInteger reads it (see profile_store.h).
int32_t ProfileInteger(const char* value) {
  const char* p = value;
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  uint32_t magnitude = 0;  // wraps past 32 bits, as the Windows call does
  for (; *p >= '0' && *p <= '9'; ++p) magnitude = magnitude * 10u + static_cast<uint32_t>(*p - '0');
  return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

}  // namespace

int32_t HeadlessProfiles::GetPrivateProfileInteger(const char* section, const char* key,
                                                   int32_t defaultValue, const char* path) {
  if (section == nullptr || key == nullptr || path == nullptr) return defaultValue;
  std::string text;
  if (!ReadWholeFile(path, &text)) return defaultValue;
  const std::optional<std::string> value = ProfileText(text).Value(section, key);
  if (!value || value->empty()) return defaultValue;
  return ProfileInteger(value->c_str());
}

bool HeadlessProfiles::WritePrivateProfileValue(const char* section, const char* key,
                                                const char* value, const char* path) {
  if (section == nullptr || key == nullptr || value == nullptr || path == nullptr) return false;
  std::string original;
  if (!ReadWholeFile(path, &original)) return false;
  ProfileText file(original);
  file.Set(section, key, value);
  return ReplaceFile(path, file.Text());
}

bool HeadlessProfiles::ReplaceFile(const std::string& path, const std::string& text) {
  const std::string fresh = NewFilePath(path);
  std::FILE* file = std::fopen(fresh.c_str(), "wb");
  if (file == nullptr) return false;
  size_t length = text.size();
  const bool breakOff = failures_.Take("WriteProfileFile").has_value();
  if (breakOff) length /= 2;
  bool written = std::fwrite(text.data(), 1, length, file) == length && !breakOff;
  written = std::fflush(file) == 0 && written;
#if !defined(_WIN32)
  // The bytes reach the disk before the rename makes them the file.
  written = ::fsync(::fileno(file)) == 0 && written;
#endif
  written = std::fclose(file) == 0 && written;
  if (!written || failures_.Take("ReplaceProfileFile").has_value()) {
    std::remove(fresh.c_str());
    return false;
  }
  std::error_code error;
  std::filesystem::rename(fresh, path, error);
  if (error) {
    std::remove(fresh.c_str());
    return false;
  }
  return true;
}

}  // namespace corvex::platform::headless
