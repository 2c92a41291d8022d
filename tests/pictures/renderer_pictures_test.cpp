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

#include "core/fresh_process.h"
#include "core/renderer_harness.h"

namespace corvex::testing {
namespace {

bool WritePng(const std::string& path, const std::vector<uint32_t>& pixels, int32_t width,
              int32_t height) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool written = false;
  if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<size_t>(width) * 3);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
        row[3 * x] = static_cast<png_byte>(p >> 16);
        row[3 * x + 1] = static_cast<png_byte>(p >> 8);
        row[3 * x + 2] = static_cast<png_byte>(p);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    written = true;
  }
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
  return written;
}

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
  std::string name = slot == kAllRenderers ? "all" : kRendererSlots[slot].name;
  std::string file;
  for (const char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c))) file += static_cast<char>(std::tolower(c));
    else if (!file.empty() && file.back() != '_') file += '_';
  }
  char prefix[8];
  std::snprintf(prefix, sizeof prefix, "%02d_", slot == kAllRenderers ? 14 : slot);
  return prefix + file;
}

TEST(RendererPictures, AfterOneHundredFramesOfASweep) {
  const std::filesystem::path folder =
      std::filesystem::path(CORVEX_BINARY_DIR) / "renderer_pictures";
  std::filesystem::create_directories(folder);
  std::vector<int32_t> slots;
  for (int32_t slot = 0; slot < kRendererCount; ++slot) slots.push_back(slot);
  slots.push_back(kAllRenderers);
  for (const int32_t slot : slots) {
    for (const Feedback feedback : {Feedback::kGentleTurn, Feedback::kBlack}) {
      RunSetup setup;
      setup.slot = slot;
      setup.frames = 100;
      setup.feedback = feedback;
      const auto picture = RunFresh(&LastPicture, setup);
      ASSERT_EQ(picture.size(), 640u * 480u);
      const std::string path =
          (folder / (FileName(slot) + (feedback == Feedback::kBlack ? "_last_frame" : "_trails") +
                     ".png"))
              .string();
      ASSERT_TRUE(WritePng(path, picture, 640, 480)) << path;
      EXPECT_TRUE(ReadPng(path) == picture) << path;
    }
  }
}

}  // namespace
}  // namespace corvex::testing
