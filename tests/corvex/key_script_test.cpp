#include "key_script.h"

#include <gtest/gtest.h>

#include "host_error.h"
#include "platform/messages.h"

namespace corvex::host {
namespace {

TEST(KeyScript, TimesAndNamesBecomeKeyMessagesInTimeOrder) {
  const auto keys = ParseKeyScript(" 12.5:F5, 30:space,3:Alt+Enter,12.5:x , 0:f12,1e1:Tab,4:esc,5:7");
  ASSERT_EQ(keys.size(), 8u);
  struct Expected {
    double seconds;
    uint32_t message, key;
  };
  const Expected expected[] = {
      {0, platform::WM_KEYDOWN, platform::VK_F12},     {3, platform::WM_SYSKEYDOWN, platform::VK_RETURN},
      {4, platform::WM_KEYDOWN, platform::VK_ESCAPE},  {5, platform::WM_KEYDOWN, '7'},
      {10, platform::WM_KEYDOWN, platform::VK_TAB},    {12.5, platform::WM_KEYDOWN, platform::VK_F5},
      {12.5, platform::WM_KEYDOWN, 'X'},  // same moment: kept in the order written
      {30, platform::WM_KEYDOWN, platform::VK_SPACE},
  };
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_DOUBLE_EQ(keys[i].seconds, expected[i].seconds) << i;
    EXPECT_EQ(keys[i].message, expected[i].message) << i;
    EXPECT_EQ(keys[i].virtualKey, expected[i].key) << i;
  }
  EXPECT_TRUE(ParseKeyScript("").empty());
  EXPECT_TRUE(ParseKeyScript(" , ").empty());
}

TEST(KeyScript, AFaultyEntryIsNamedInTheMessage) {
  for (const char* script : {"12.5", "x:F5", "-1:F5", "nan:F5", "1:F13", "1:F0", "1:Shift", "1:",
                             "2:F5,3:Alt+", "1:F99999999999", "1..5:F5"}) {
    try {
      ParseKeyScript(script);
      ADD_FAILURE() << script << " was accepted";
    } catch (const HostError& error) {
      EXPECT_EQ(error.status, ExitStatus::kUsage);
      EXPECT_EQ(std::string(error.what()).rfind("--keys: \"", 0), 0u) << error.what();
    }
  }
}

}  // namespace
}  // namespace corvex::host
