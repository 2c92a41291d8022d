#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "platform/headless/headless_backend.h"
#include "video/error_reporting.h"
#include "video/portable/direct_draw_errors.h"
#include "video/portable/direct_draw_results.h"

namespace corvex::testing {
namespace {

std::string Formatted(const char* text, int32_t result) {
  char message[kErrorTextSize];
  EXPECT_TRUE(FormatDirectDrawError(text, result, message));
  return message;
}

TEST(DirectDrawResults, CodesCarryTheirPublishedValues) {
  EXPECT_EQ(static_cast<uint32_t>(DDERR_SURFACELOST), 0x887601C2u);
  EXPECT_EQ(static_cast<uint32_t>(DDERR_SURFACEBUSY), 0x887601AEu);
  EXPECT_EQ(static_cast<uint32_t>(DDERR_NOFLIPHW), 0x887600E6u);
  EXPECT_EQ(static_cast<uint32_t>(DDERR_HWNDALREADYSET), 0x8876023Bu);
  EXPECT_EQ(static_cast<uint32_t>(DDERR_DEVICEDOESNTOWNSURFACE), 0x887602BBu);
  EXPECT_EQ(static_cast<uint32_t>(DDERR_GENERIC), 0x80004005u);
  EXPECT_EQ(static_cast<uint32_t>(DDERR_INVALIDPARAMS), 0x80070057u);
  EXPECT_EQ(static_cast<uint32_t>(DDERR_OUTOFMEMORY), 0x8007000Eu);
  EXPECT_EQ(static_cast<uint32_t>(DDERR_UNSUPPORTED), 0x80004001u);
  EXPECT_EQ(static_cast<uint32_t>(DDERR_NOTINITIALIZED), 0x800401F0u);
}

TEST(DirectDrawResults, TheTableNamesOneHundredAndNineCodes) {
  std::set<std::string> names;
  auto visit = [&](int32_t code) {
    if (const char* text = DirectDrawResultText(code)) {
      EXPECT_EQ(std::string(text).rfind(" - DDERR_", 0), 0u) << text;
      names.insert(text);
    }
  };
  for (uint32_t code = 0; code < 0x1000; ++code) visit(MakeDirectDrawResult(code));
  for (int32_t code : {DDERR_GENERIC, DDERR_INVALIDPARAMS, DDERR_OUTOFMEMORY, DDERR_UNSUPPORTED,
                       DDERR_NOTINITIALIZED}) {
    visit(code);
  }
  EXPECT_EQ(names.size(), kNamedResultCount);
  EXPECT_STREQ(DirectDrawResultText(DDERR_SURFACELOST), " - DDERR_SURFACELOST");
  EXPECT_STREQ(DirectDrawResultText(DDERR_OUTOFMEMORY), " - DDERR_OUTOFMEMORY");
  EXPECT_STREQ(DirectDrawResultText(DDERR_NOTINITIALIZED), " - DDERR_NOTINITIALIZED");
  EXPECT_STREQ(DirectDrawResultText(DDERR_NOFLIPHW), " - DDERR_NOFLIPHW ");
  EXPECT_EQ(DirectDrawResultText(DDERR_SURFACEBUSY), nullptr);
  EXPECT_EQ(DirectDrawResultText(DD_OK), nullptr);
}

TEST(DirectDrawResults, MessagesJoinTextAndNameOrTheHexadecimalFallback) {
  EXPECT_EQ(Formatted("Video::Compose, failed to lock compose surface", DDERR_SURFACELOST),
            "Video::Compose, failed to lock compose surface - DDERR_SURFACELOST");
  EXPECT_EQ(Formatted("Flip", DDERR_NOFLIPHW), "Flip - DDERR_NOFLIPHW ");
  EXPECT_EQ(Formatted("Video::Flip(), Error blitting backbuffer",
                      static_cast<int32_t>(0x88760099u)),
            "Video::Flip(), Error blitting backbuffer - Result: 88760099\n");
  EXPECT_EQ(Formatted("ok?", DD_OK), "ok? - Result: 00000000\n");
  char untouched[kErrorTextSize] = "before";
  EXPECT_FALSE(FormatDirectDrawError("busy", DDERR_SURFACEBUSY, untouched));
  EXPECT_STREQ(untouched, "before");
}

TEST(DirectDrawResults, LongTextsAreCutToTheBuffer) {
  const std::string long300(300, 'x');
  EXPECT_EQ(Formatted(long300.c_str(), DDERR_SURFACELOST), std::string(255, 'x'));
  const std::string long250(250, 'y');
  EXPECT_EQ(Formatted(long250.c_str(), DDERR_SURFACELOST),
            long250 + std::string(" - DDERR_SURFACELOST").substr(0, 5));
}

class ErrorBox : public ::testing::Test {
 protected:
  platform::headless::HeadlessBackend backend;
  platform::headless::HeadlessWindows& windows = backend.windows;
};

TEST_F(ErrorBox, ShowsTheJoinedTextWithCaptionErrorThenEndsWithStatusZero) {
  EXPECT_THROW(ShowDirectDrawError(windows, "Error creating window", DDERR_INVALIDPARAMS, 1),
               platform::headless::ProcessExit);
  ASSERT_EQ(windows.messageBoxes.size(), 1u);
  EXPECT_EQ(windows.messageBoxes[0].text, "Error creating window - DDERR_INVALIDPARAMS");
  EXPECT_EQ(windows.messageBoxes[0].caption, "Error");
  EXPECT_EQ(windows.messageBoxes[0].owner, nullptr);
  EXPECT_EQ(windows.messageBoxes[0].type, 0u);
  EXPECT_EQ(windows.exits, std::vector<int32_t>{0});
}

TEST_F(ErrorBox, TheBusySurfaceIsNeverShown) {
  EXPECT_NO_THROW(ShowDirectDrawError(windows, "Video::Compose, failed to lock compose surface",
                                      DDERR_SURFACEBUSY, 1));
  EXPECT_TRUE(windows.messageBoxes.empty());
  EXPECT_TRUE(windows.exits.empty());
}

TEST_F(ErrorBox, WithoutExitTheBoxIsShownAndTheCallReturns) {
  EXPECT_NO_THROW(ShowError(windows, "No available resolutions", 0));
  EXPECT_NO_THROW(ShowDirectDrawError(windows, "Lock", DDERR_SURFACELOST, 0));
  ASSERT_EQ(windows.messageBoxes.size(), 2u);
  EXPECT_EQ(windows.messageBoxes[0].text, "No available resolutions");
  EXPECT_EQ(windows.messageBoxes[1].text, "Lock - DDERR_SURFACELOST");
  EXPECT_TRUE(windows.exits.empty());
}

}  // namespace
}  // namespace corvex::testing
