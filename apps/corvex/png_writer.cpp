#include "png_writer.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "rgb_packing.h"
#include "staged_file.h"

namespace corvex::host {

namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

// libpng's own messages would land on the terminal in the middle of the progress line: an
// error is kept for corvex's message, a warning is dropped.
void KeepError(png_structp png, png_const_charp message) {
  auto* kept = static_cast<char*>(png_get_error_ptr(png));
  std::snprintf(kept, 128, "%s", message);
  png_longjmp(png, 1);
}
void DropWarning(png_structp, png_const_charp) {}

// Writes through stdio as libpng would, but keeps the system's reason for a short write (a
// full disk), where libpng's own writer says only "Write Error".
void WriteData(png_structp png, png_bytep data, size_t length) {
  if (std::fwrite(data, 1, length, static_cast<FILE*>(png_get_io_ptr(png))) != length) {
    png_error(png, std::strerror(errno));
  }
}
void FlushData(png_structp png) { std::fflush(static_cast<FILE*>(png_get_io_ptr(png))); }

// libpng reports errors by longjmp; everything in WriteRows is plain data, so jumping out of it
// skips no destructor.
bool WriteRows(FILE* file, const uint8_t* rgb, int32_t width, int32_t height, char* error) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, error, &KeepError, &DropWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, file, &WriteData, &FlushData);
  // Fast compression: frames are many and are usually encoded again afterwards.
  png_set_compression_level(png, 3);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t row = 0; row < height; ++row) {
    png_write_row(png, rgb + static_cast<size_t>(row) * static_cast<size_t>(width) * 3);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

void WritePng(const std::string& path, const uint8_t* rgb, int32_t width, int32_t height,
              const std::string& shownAs) {
  const std::string& name = shownAs.empty() ? path : shownAs;
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) FailOutput(name, std::strerror(errno));
  char error[128] = "libpng failed";
  if (!WriteRows(file.get(), rgb, width, height, error)) FailOutput(name, error);
  if (std::fflush(file.get()) != 0 || std::ferror(file.get())) {
    FailOutput(name, std::strerror(errno));
  }
}

void WritePicturePng(const std::string& path, const platform::headless::PictureRows& picture,
                     const std::string& shownAs) {
  std::vector<uint8_t> rgb(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 3);
  PackRgb(picture.first, picture.pitch, picture.width, picture.height, rgb.data());
  WritePng(path, rgb.data(), picture.width, picture.height, shownAs);
}

void WritePicturePng(const std::string& path, const uint32_t* pixels, int32_t width,
                     int32_t height) {
  WritePicturePng(path, platform::headless::ContiguousRows(pixels, width, height));
}

}  // namespace corvex::host
