#include "platform/headless/headless_profiles.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#if !defined(_WIN32)
#include <unistd.h>
#endif

// Values are kept as the bytes they are, as the Windows calls keep them; no conversion, so the
// library needs no converter linked in. Its implementation is compiled in this file alone.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace corvex::platform::headless {

namespace {

// Case-insensitive section and key names.
using IniFile = CSimpleIniA;

// The whole file at path; an empty text when it does not exist. False when it exists but
// cannot be read, so a write never replaces a file it could not see.
bool ReadWholeFile(const std::string& path, std::string* text) {
  text->clear();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return errno == ENOENT;
  char chunk[4096];
  size_t count;
  while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) text->append(chunk, count);
  const bool readError = std::ferror(file) != 0;
  std::fclose(file);
  return !readError;
}

bool IsCommentOrBlank(const std::string& line) {
  const size_t first = line.find_first_not_of(" \t\r");
  return first == std::string::npos || line[first] == ';' || line[first] == '#';
}

// The comment lines after the last section or key of text, each ending with a newline.
std::string TrailingComments(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  size_t first = lines.size();
  while (first > 0 && IsCommentOrBlank(lines[first - 1])) --first;
  std::string comments;
  for (size_t i = first; i < lines.size(); ++i) {
    if (lines[i].find_first_not_of(" \t\r") != std::string::npos) comments += lines[i] + "\n";
  }
  return comments;
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
  IniFile file;
  if (file.LoadData(text) < 0) return defaultValue;
  const char* value = file.GetValue(section, key, nullptr);
  if (value == nullptr || *value == '\0') return defaultValue;
  return ProfileInteger(value);
}

bool HeadlessProfiles::WritePrivateProfileValue(const char* section, const char* key,
                                                const char* value, const char* path) {
  if (section == nullptr || key == nullptr || value == nullptr || path == nullptr) return false;
  std::string original;
  if (!ReadWholeFile(path, &original)) return false;
  IniFile file;
  file.SetSpaces(false);  // key=value, as the Windows calls write it
  if (file.LoadData(original) < 0) return false;
  if (file.SetValue(section, key, value, nullptr, true) < 0) return false;
  std::string text;
  if (file.Save(text) < 0) return false;
  // SimpleIni keeps each comment with the section or key after it; the comments after the
  // last entry have none and would be lost, so they go back at the end.
  const std::string lostComments = TrailingComments(original);
  if (!lostComments.empty() && TrailingComments(text).empty()) text += "\n" + lostComments;
  return ReplaceFile(path, text);
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
