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
      ASSERT_TRUE(WritePng(path.string(), picture, 640, 480)) << path;
      EXPECT_TRUE(ReadPng(path.string()) == picture) << path;
    }
  }
}

}  // namespace
}  // namespace corvex::testing
