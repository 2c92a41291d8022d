// The reviewed frame hashes of every renderer alone and of all 14 together: a change to any
// renderer's drawing, its random draws or their order shows here. To write the file anew after
// a reviewed change, run this test with CORVEX_WRITE_RENDERER_HASHES=1.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "renderer_harness.h"

namespace corvex::testing {
namespace {

const char* const kHashFile = CORVEX_TEST_DATA "/renderer_frame_hashes.csv";
const char* const kHeader =
    "# Frame hashes of the renderers: FNV-1a (64 bits, one 32-bit pixel value at a time) of the\n"
    "# 640x480 picture after frames 1, 10 and 100, each renderer alone (its scene starting in\n"
    "# frame 1) and all 14 together (mode 666). Seed 1, the sweeping test tone with bursts, a\n"
    "# fixed map zooming out by 0.985 and turning by 0.015 about the centre, sustain 0,\n"
    "# sustainOptional 1, centerDetail 1. The renderers whose scene start draws a mode (one or\n"
    "# three traces, a white ring or not, feedback and corner count, OR and a second colour) run\n"
    "# once more with a new scene every 4 frames, so that each of their modes is drawn; frame\n"
    "# 'all 60' is FNV-1a over the 60 frame hashes of that run. The random numbers come from the\n"
    "# C library's rand(): these hashes hold for glibc.\n"
    "renderer,frame,hash\n";

TEST(RendererHashes, FramesMatchTheReviewedHashes) {
  std::string actual = kHeader;
  for (int32_t slot = 0; slot <= kAllRenderers; ++slot) {
    const auto reports = RunFresh(&RunFrames, RunSetup{.slot = slot, .frames = 100});
    ASSERT_EQ(reports.size(), 100u) << SlotName(slot);
    for (const int32_t frame : {1, 10, 100}) {
      char row[96];
      std::snprintf(row, sizeof row, "%s,%d,0x%016" PRIx64 "\n", SlotName(slot).c_str(), frame,
                    reports[frame - 1].hash);
      actual += row;
    }
  }
  for (const int32_t slot : {0, 1, 3, 6}) {
    const auto reports =
        RunFresh(&RunFrames, RunSetup{.slot = slot, .frames = 60, .sceneEvery = 4});
    ASSERT_EQ(reports.size(), 60u) << SlotName(slot);
    uint64_t folded = 14695981039346656037ull;
    for (const FrameReport& report : reports) folded = (folded ^ report.hash) * 1099511628211ull;
    char row[128];
    std::snprintf(row, sizeof row, "%s (a scene every 4 frames),all 60,0x%016" PRIx64 "\n",
                  SlotName(slot).c_str(), folded);
    actual += row;
  }
  if (std::getenv("CORVEX_WRITE_RENDERER_HASHES") != nullptr) {
    std::ofstream(kHashFile) << actual;
    GTEST_SKIP() << "wrote " << kHashFile;
  }
  std::ifstream file(kHashFile);
  ASSERT_TRUE(file.good()) << "missing " << kHashFile;
  std::stringstream expected;
  expected << file.rdbuf();
  EXPECT_EQ(actual, expected.str()) << "frames differ from the reviewed hashes";
}

}  // namespace
}  // namespace corvex::testing
