#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "platform/headless/headless_backend.h"
#include "scratch_folder.h"

namespace corvex::testing {
namespace {

using platform::headless::HeadlessBackend;
using platform::headless::HeadlessProfiles;

class ProfileFiles : public ::testing::Test {
 protected:
  int32_t Get(const char* section, const char* key, int32_t defaultValue = 77) {
    return backend.profiles.GetPrivateProfileInt(section, key, defaultValue, path.c_str());
  }
  bool Put(const char* section, const char* key, const char* value) {
    return backend.profiles.WritePrivateProfileString(section, key, value, path.c_str());
  }

  ScratchFolder folder;
  std::string path = folder.File("test.ini");
  HeadlessBackend backend;
};

TEST_F(ProfileFiles, IntegersReadAsWindowsReadsThem) {
  ScratchFolder::Write(path,
                       "[S]\nplain=42\nblank= \t 17\nplus=+7\nminus=-12abc\nword=abc\nempty=\n"
                       "wrapped=4294967295\nlowest=-2147483648\nhigh=2147483648\n");
  EXPECT_EQ(Get("S", "plain"), 42);
  EXPECT_EQ(Get("S", "blank"), 17);
  EXPECT_EQ(Get("S", "plus"), 7);
  EXPECT_EQ(Get("S", "minus"), -12);
  EXPECT_EQ(Get("S", "word"), 0);
  EXPECT_EQ(Get("S", "empty"), 77);
  EXPECT_EQ(Get("S", "wrapped"), -1);
  EXPECT_EQ(Get("S", "lowest"), INT_MIN);
  EXPECT_EQ(Get("S", "high"), INT_MIN);
  EXPECT_EQ(Get("S", "missing"), 77);
  EXPECT_EQ(Get("Other", "plain"), 77);
  std::filesystem::remove(path);
  EXPECT_EQ(Get("S", "plain", -3), -3);
}

TEST_F(ProfileFiles, SectionAndKeyNamesIgnoreCase) {
  ScratchFolder::Write(path, "[corvex V1.07]\nframes_PER_scene=750\n");
  EXPECT_EQ(Get("Corvex v1.07", "Frames_Per_Scene"), 750);
  ASSERT_TRUE(Put("CORVEX V1.07", "FRAMES_PER_SCENE", "800"));
  EXPECT_EQ(ScratchFolder::Read(path), "[corvex V1.07]\nframes_PER_scene=800\n");
}

TEST_F(ProfileFiles, TheFirstWriteCreatesTheFileAndLaterOnesAddToIt) {
  ASSERT_FALSE(std::filesystem::exists(path));
  ASSERT_TRUE(Put("One", "a", "1"));
  ASSERT_TRUE(Put("One", "b", "-2"));
  ASSERT_TRUE(Put("Two", "c", "3"));
  ASSERT_TRUE(Put("One", "a", "4"));
  EXPECT_EQ(Get("One", "a"), 4);
  EXPECT_EQ(Get("One", "b"), -2);
  EXPECT_EQ(Get("Two", "c"), 3);
  EXPECT_EQ(ScratchFolder::Read(path), "[One]\na=4\nb=-2\n\n\n[Two]\nc=3\n");
  EXPECT_FALSE(std::filesystem::exists(HeadlessProfiles::NewFilePath(path)));
}

TEST_F(ProfileFiles, AFailedWriteLeavesTheOldFileAsItWas) {
  const std::string before = "; mine\n[S]\nkey=1\n";
  for (const char* step : {"WriteProfileFile", "ReplaceProfileFile"}) {
    ScratchFolder::Write(path, before);
    backend.windows.failures.Inject(step, 0);
    EXPECT_FALSE(Put("S", "key", "2")) << step;
    EXPECT_EQ(ScratchFolder::Read(path), before) << step;
    EXPECT_FALSE(std::filesystem::exists(HeadlessProfiles::NewFilePath(path))) << step;
    EXPECT_EQ(Get("S", "key"), 1) << step;
    // The failure was one call's: the next write goes through.
    EXPECT_TRUE(Put("S", "key", "3")) << step;
    EXPECT_EQ(Get("S", "key"), 3) << step;
  }
  // With no file before, a failed first write leaves none.
  std::filesystem::remove(path);
  backend.windows.failures.Inject("ReplaceProfileFile", 0);
  EXPECT_FALSE(Put("S", "key", "2"));
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ProfileFiles, ANewFileLeftByACrashIsNeitherReadNorInTheWay) {
  ScratchFolder::Write(path, "[S]\nkey=1\n");
  ScratchFolder::Write(HeadlessProfiles::NewFilePath(path), "[S]\nkey=9\nhalf");
  EXPECT_EQ(Get("S", "key"), 1);
  ASSERT_TRUE(Put("S", "other", "5"));
  EXPECT_EQ(ScratchFolder::Read(path), "[S]\nkey=1\nother=5\n");
  EXPECT_FALSE(std::filesystem::exists(HeadlessProfiles::NewFilePath(path)));
}

TEST_F(ProfileFiles, AFileThatCannotBeReadIsNeverReplaced) {
  std::filesystem::create_directory(path);  // a folder where the file should be
  EXPECT_FALSE(Put("S", "key", "1"));
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_EQ(Get("S", "key"), 77);
  const std::string nowhere = folder.File("no such folder/test.ini");
  EXPECT_FALSE(backend.profiles.WritePrivateProfileString("S", "key", "1", nowhere.c_str()));
}

TEST_F(ProfileFiles, AHostCanKeepEveryProfileInAFileOfItsChoosing) {
  const std::string chosen = folder.File("elsewhere.ini");
  backend.profiles.redirectTo = chosen;
  ASSERT_TRUE(Put("S", "key", "5"));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(ScratchFolder::Read(chosen), "[S]\nkey=5\n");
  EXPECT_EQ(Get("S", "key"), 5);
  backend.profiles.redirectTo.clear();
  EXPECT_EQ(Get("S", "key"), 77);
}

TEST(HeadlessFileReading, ReadsAtMostTheCapacityAndRefusesWhatIsNoFile) {
  ScratchFolder folder;
  HeadlessBackend backend;
  char buffer[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
  const std::string path = folder.File("readme.txt");
  ScratchFolder::Write(path, "0123456789");
  EXPECT_EQ(backend.files.ReadFileStart(path.c_str(), buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 8), "0123####");
  ScratchFolder::Write(path, "");
  EXPECT_EQ(backend.files.ReadFileStart(path.c_str(), buffer, 4), 0u);
  EXPECT_FALSE(backend.files.ReadFileStart(folder.File("missing").c_str(), buffer, 4));
  std::filesystem::create_directory(folder.File("folder"));
  EXPECT_FALSE(backend.files.ReadFileStart(folder.File("folder").c_str(), buffer, 4));
}

}  // namespace
}  // namespace corvex::testing
