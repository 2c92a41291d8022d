#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <utility>

#include "platform/headless/headless_backend.h"
#include "support/plugin_harness.h"

namespace corvex::testing {
namespace {

using platform::headless::HeadlessProfiles;

class ProfileFiles : public ::testing::Test {
 protected:
  int32_t Get(const char* section, const char* key, int32_t defaultValue = 77) {
    return profiles().GetPrivateProfileInteger(section, key, defaultValue, path.c_str());
  }
  bool Put(const char* section, const char* key, const char* value) {
    return profiles().WritePrivateProfileValue(section, key, value, path.c_str());
  }
  HeadlessProfiles& profiles() { return player.backend().profiles; }
  bool NewFileExists() const {
    return std::filesystem::exists(HeadlessProfiles::NewFilePath(path));
  }

  PluginHarness player;  // for its folder and its backend
  std::string path = player.FileBesidePlugin("test.ini");
};

TEST_F(ProfileFiles, IntegersReadAsWindowsReadsThem) {
  PluginHarness::WriteFile(path,
                           "[S]\nplain=42\nblank= \t 17\nplus=+7\nminus=-12abc\nword=abc\nempty=\n"
                           "wrapped=4294967295\nlowest=-2147483648\nhigh=2147483648\n");
  const std::pair<const char*, int32_t> keys[] = {
      {"plain", 42}, {"blank", 17},      {"plus", 7},         {"minus", -12},  {"word", 0},
      {"empty", 77}, {"wrapped", -1},    {"lowest", INT_MIN}, {"high", INT_MIN}, {"missing", 77},
  };
  for (const auto& [key, value] : keys) EXPECT_EQ(Get("S", key), value) << key;
  EXPECT_EQ(Get("Other", "plain"), 77);
  std::filesystem::remove(path);
  EXPECT_EQ(Get("S", "plain", -3), -3);
}

TEST_F(ProfileFiles, AFailedWriteOrACrashLeavesTheOldFileAsItWas) {
  const std::string before = "; mine\n[S]\nkey=1\n";
  // The new file breaking off half written, and a failure between writing it and the rename.
  for (const char* step : {"WriteProfileFile", "ReplaceProfileFile"}) {
    PluginHarness::WriteFile(path, before);
    player.windows().failures.Inject(step, 0);
    EXPECT_FALSE(Put("S", "key", "2")) << step;
    EXPECT_EQ(PluginHarness::ReadFile(path), before) << step;
    EXPECT_FALSE(NewFileExists()) << step;
  }
  // A new file a crash left behind is neither read nor in the way of the next write.
  PluginHarness::WriteFile(HeadlessProfiles::NewFilePath(path), "[S]\nkey=9\nhalf");
  EXPECT_EQ(Get("S", "key"), 1);
  ASSERT_TRUE(Put("S", "other", "5"));
  EXPECT_EQ(PluginHarness::ReadFile(path), "; mine\n\n\n[S]\nkey=1\nother=5\n");
  EXPECT_FALSE(NewFileExists());
  // With no file before, a failed first write leaves none.
  std::filesystem::remove(path);
  player.windows().failures.Inject("ReplaceProfileFile", 0);
  EXPECT_FALSE(Put("S", "key", "2"));
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace corvex::testing
