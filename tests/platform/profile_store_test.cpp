#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <utility>

#include <sys/stat.h>

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
                           "wrapped=4294967295\nlowest=-2147483648\nhigh=2147483648\n"
                           "quoted=\"-5\"\nsingle=' 6'\nunpaired=\"8\nnoEquals\n");
  const std::pair<const char*, int32_t> keys[] = {
      {"plain", 42},     {"blank", 17},     {"plus", 7},         {"minus", -12},
      {"word", 0},       {"empty", 77},     {"wrapped", -1},     {"lowest", INT_MIN},
      {"high", INT_MIN}, {"quoted", -5},    {"single", 6},       {"unpaired", 0},
      {"noEquals", 77},  {"missing", 77},
  };
  for (const auto& [key, value] : keys) EXPECT_EQ(Get("S", key), value) << key;
  EXPECT_EQ(Get("Other", "plain"), 77);
  std::filesystem::remove(path);
  EXPECT_EQ(Get("S", "plain", -3), -3);
}

TEST_F(ProfileFiles, AWriteChangesOnlyTheFirstKeyOfItsNameAndLeavesEveryOtherLineAlone) {
  // Comments, blank lines, a line without '=', spacing, line endings, a duplicate key and a
  // second section of the same name, and no line ending at the end.
  const std::string before =
      "; top\r\n[Main]\r\n  Key = \"11\" \r\nkey=two\r\njust words\r\n\r\n; about Other\r\n"
      "[Other]\r\nx=1\r\n[MAIN]\r\nLater=3\r\nkey=three";
  PluginHarness::WriteFile(path, before);
  EXPECT_EQ(Get("main", "KEY"), 11);  // the first key of the name, without its quotes
  EXPECT_EQ(Get("Main", "later"), 3);  // a later section of the name is read too
  ASSERT_TRUE(Put("MAIN", "key", "4"));
  ASSERT_TRUE(Put("Main", "Later", "5"));
  ASSERT_TRUE(Put("Main", "New", "6"));     // after the first section's last entry
  ASSERT_TRUE(Put("Fresh", "Value", "7"));  // a new section at the end
  EXPECT_EQ(PluginHarness::ReadFile(path),
            "; top\r\n[Main]\r\nKey=4\r\nkey=two\r\njust words\r\nNew=6\r\n\r\n; about Other\r\n"
            "[Other]\r\nx=1\r\n[MAIN]\r\nLater=5\r\nkey=three\r\n\r\n[Fresh]\r\nValue=7\r\n");
  EXPECT_EQ(Get("Main", "key"), 4);
}

TEST_F(ProfileFiles, SomethingOtherThanAFileIsNeitherReadNorReplaced) {
  // A pipe would block the reader, a device never end; a folder cannot be read.
  const std::string pipe = player.FileBesidePlugin("pipe.ini");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& other : {pipe, std::string("/dev/zero"), player.folder().string()}) {
    EXPECT_EQ(profiles().GetPrivateProfileInteger("S", "key", 3, other.c_str()), 3) << other;
    EXPECT_FALSE(profiles().WritePrivateProfileValue("S", "key", "1", other.c_str())) << other;
  }
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
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
  EXPECT_EQ(PluginHarness::ReadFile(path), "; mine\n[S]\nkey=1\nother=5\n");
  EXPECT_FALSE(NewFileExists());
  // With no file before, a failed first write leaves none.
  std::filesystem::remove(path);
  player.windows().failures.Inject("ReplaceProfileFile", 0);
  EXPECT_FALSE(Put("S", "key", "2"));
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace corvex::testing
