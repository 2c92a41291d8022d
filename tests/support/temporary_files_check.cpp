#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

// Kept apart from the player itself, which the fuzz targets and the soak use without
// GoogleTest.
namespace corvex::testing {

namespace {

// Every test process gets a temporary folder of its own (TMPDIR, which programs it starts
// inherit); whatever a test or a program leaves in it fails the run, and is then removed.
class TemporaryFilesLeftBehind : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvex-tests-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return;
    folder_ = pattern;
    const char* before = std::getenv("TMPDIR");
    if (before != nullptr) saved_ = before;
    ::setenv("TMPDIR", folder_.c_str(), 1);
  }
  void TearDown() override {
    if (folder_.empty()) return;
    std::string left;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) left += " " + entry.path().filename().string();
    EXPECT_EQ(left, "") << "left in the temporary folder";
    if (saved_) ::setenv("TMPDIR", saved_->c_str(), 1); else ::unsetenv("TMPDIR");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

 private:
  std::filesystem::path folder_;
  std::optional<std::string> saved_;
};

[[maybe_unused]] const auto* const kTemporaryFilesCheck =
    ::testing::AddGlobalTestEnvironment(new TemporaryFilesLeftBehind);

}  // namespace

}  // namespace corvex::testing
