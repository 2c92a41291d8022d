// The plug-in's files: private-profile settings and the readme, on the system's own calls.
#include "platform/file_system.h"
#include "platform/profile_store.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_api.h"

namespace corvex::platform::win32 {

namespace {

class SystemProfiles final : public ProfileStore {
 public:
  int32_t GetPrivateProfileInteger(const char* section, const char* key, int32_t defaultValue,
                               const char* path) override {
    return static_cast<int32_t>(GetPrivateProfileIntA(section, key, defaultValue, path));
  }
  bool WritePrivateProfileValue(const char* section, const char* key, const char* value,
                                 const char* path) override {
    return WritePrivateProfileStringA(section, key, value, path) != 0;
  }
};

class SystemFiles final : public FileSystem {
 public:
  std::optional<size_t> ReadFileStart(const char* path, char* buffer, size_t capacity) override {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    size_t total = 0;
    bool failed = false;
    while (total < capacity) {
      DWORD got = 0;
      const DWORD ask = static_cast<DWORD>(capacity - total > 65536 ? 65536 : capacity - total);
      if (!ReadFile(file, buffer + total, ask, &got, nullptr)) {
        failed = true;
        break;
      }
      if (got == 0) break;
      total += got;
    }
    CloseHandle(file);
    if (failed) return std::nullopt;
    return total;
  }
};

}  // namespace

std::unique_ptr<ProfileStore> MakeProfileStore() { return std::make_unique<SystemProfiles>(); }
std::unique_ptr<FileSystem> MakeFileSystem() { return std::make_unique<SystemFiles>(); }

}  // namespace corvex::platform::win32
