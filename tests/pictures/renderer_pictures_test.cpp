// Pictures of every renderer, and of all 14 together, after 100 frames of the sweeping test
// tone: one with trails through a gentle zoom-and-turn map and one of the last frame's drawing
// alone. They are written as PNG files into the build directory (renderer_pictures/) for a
// person to look at; the test checks that each file reads back as the picture it was made from.
#include <gtest/gtest.h>
#include <png.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/renderer_harness.h"
#include "png_writer.h"

namespace corvex::testing {
namespace {

std::vector<uint32_t> ReadPng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_BGRA;
  std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
  for (uint32_t& p : pixels) p &= 0xFFFFFF;  // drop the opaque alpha
  return pixels;
}

std::string FileName(int32_t slot) {
  char file[64];
  std::snprintf(file, sizeof file, "%02d_", slot);
  std::string name = file;
  for (const char c : slot == kAllRenderers ? std::string("all") : SlotName(slot)) {
    if (std::isalnum(static_cast<unsigned char>(c))) name += static_cast<char>(std::tolower(c));
    else if (name.back() != '_') name += '_';
  }
  return name;
}

TEST(RendererPictures, AfterOneHundredFramesOfASweep) {
  const std::filesystem::path folder =
      std::filesystem::path(CORVEX_BINARY_DIR) / "renderer_pictures";
  std::filesystem::create_directories(folder);
  for (int32_t slot = 0; slot <= kAllRenderers; ++slot) {
    for (const bool trails : {true, false}) {
      const auto picture = RunFresh(+[](const RunSetup& setup) {
        std::vector<uint32_t> last;
        Play(setup, &last);
        return last;
      }, RunSetup{.slot = slot, .trails = trails, .frames = 100});
      ASSERT_EQ(picture.size(), 640u * 480u);
      const auto path = folder / (FileName(slot) + (trails ? "_trails.png" : "_last_frame.png"));
      host::WritePicturePng(path.string(), picture.data(), 640, 480);
      EXPECT_TRUE(ReadPng(path.string()) == picture) << path;
    }
  }
}

}  // namespace
}  // namespace corvex::testing
