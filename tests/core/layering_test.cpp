#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

// The portable core includes nothing of a platform: no platform layer header, no system
// user-interface or display header. (Its CMake target also links nothing.)
TEST(Layering, TheCoreIncludesNoPlatformHeader) {
  const std::filesystem::path root = std::filesystem::path(CORVEX_SOURCE_DIR) / "src";
  const std::regex forbidden(
      R"(#\s*include\s*[<"](platform/|plugin/|dialogs/|video/video|windows\.h|ddraw\.h|SDL|ft2build|X11/|sndfile))");
  int files = 0;
  for (const char* folder : {"scene", "renderers", "transforms", "video/portable", "simd"}) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
      std::ifstream in(entry.path());
      std::string line;
      for (int number = 1; std::getline(in, line); ++number) {
        EXPECT_FALSE(std::regex_search(line, forbidden)) << entry.path() << ":" << number;
      }
      files += entry.is_regular_file();
    }
  }
  EXPECT_GT(files, 10);
}
