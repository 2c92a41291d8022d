#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "simd/cpu_features.h"

namespace corvex::testing {
namespace {

// The largest data or unified cache that Linux lists for the first processor (it reads the same
// CPUID leaves, with code of its own), or 0 where it lists none.
size_t LargestCacheLinuxLists() {
  namespace fs = std::filesystem;
  const fs::path caches = "/sys/devices/system/cpu/cpu0/cache";
  std::error_code error;
  if (!fs::is_directory(caches, error)) return 0;
  size_t largest = 0;
  for (const auto& entry : fs::directory_iterator(caches, error)) {
    std::string type, size;
    std::ifstream(entry.path() / "type") >> type;
    std::ifstream(entry.path() / "size") >> size;
    if (type == "Instruction" || size.empty()) continue;
    size_t bytes = std::stoull(size);
    if (size.back() == 'K') bytes <<= 10;
    if (size.back() == 'M') bytes <<= 20;
    largest = std::max(largest, bytes);
  }
  return largest;
}

TEST(CpuFeatures, TheLastLevelCacheIsTheSizeLinuxReports) {
  const size_t listed = LargestCacheLinuxLists();
  if (listed == 0) GTEST_SKIP() << "this system lists no caches";
  EXPECT_EQ(LastLevelCacheBytes(), listed);
}

}  // namespace
}  // namespace corvex::testing
