#include "work_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "host_error.h"

namespace corvex::host {

WorkFolder::WorkFolder() {
  std::error_code error;
  std::string base = std::filesystem::temp_directory_path(error).string();
  if (error) base = "/tmp";
  std::string pattern = base + "/corvex-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) == nullptr) {
    throw HostError(ExitStatus::kOutput,
                    base + ": cannot make a temporary folder: " + std::strerror(errno));
  }
  path_ = name.data();
}

WorkFolder::~WorkFolder() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

}  // namespace corvex::host
