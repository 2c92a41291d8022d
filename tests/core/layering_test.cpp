#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

// The portable core includes nothing of a platform: no platform layer header, no system
// user-interface or display header. (Its CMake target also links nothing.)
TEST(Layering, TheCoreIncludesNoPlatformHeader) {
  const std::filesystem::path root = std::filesystem::path(CORVEX_SOURCE_DIR) / "src";
  const std::regex forbidden(
      R"(#\s*include\s*[<"](platform/(?!direct_draw_results\.h)|plugin/|dialogs/|video/video|windows\.h|ddraw\.h|SDL|ft2build|X11/|sndfile))");
  int files = 0;
  for (const char* folder : {"scene", "renderers", "transforms", "video/portable", "simd"}) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
      std::ifstream in(entry.path());
      const std::string text{std::istreambuf_iterator<char>(in), {}};
      EXPECT_FALSE(std::regex_search(text, forbidden)) << entry.path();
      files += entry.is_regular_file();
    }
  }
  EXPECT_GT(files, 10);
}
