#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

// Which folder of src may include which, lowest first: every include points down this table or
// stays in its own folder. The platform's result codes sit below everything that reports a
// display failure; the headless backend sees only the interface above it and the copy kernels
// its blits share, and the SDL backend only those.
const std::map<std::string, std::set<std::string>> kMayInclude = {
    {"base", {}},
    {"platform/results", {}},
    {"simd", {"base"}},
    {"renderers", {"base", "simd"}},
    {"transforms", {"base", "simd"}},
    {"scene", {"renderers", "transforms", "base", "simd"}},
    {"video/portable", {"scene", "renderers", "transforms", "base", "simd", "platform/results"}},
    {"platform", {"platform/results"}},
    {"platform/headless", {"platform", "platform/results", "base", "simd"}},
    // The live backend keeps the headless backend's windows, surfaces and text underneath.
    {"platform/sdl", {"platform/headless", "platform", "platform/results", "base"}},
    {"video",
     {"video/portable", "scene", "renderers", "transforms", "base", "simd", "platform",
      "platform/results"}},
    {"dialogs",
     {"video", "video/portable", "scene", "renderers", "transforms", "base", "simd", "platform",
      "platform/results", "resources"}},
    {"plugin",
     {"dialogs", "video", "video/portable", "scene", "renderers", "transforms", "base", "simd",
      "platform", "platform/results", "resources"}},
    {"resources", {}},
};

// The folder of the table a path of src belongs to: the longest one that starts it.
std::string FolderOf(const std::string& path) {
  if (path == "platform/direct_draw_results.h") return "platform/results";
  std::string best;
  for (const auto& [folder, below] : kMayInclude) {
    if (path.rfind(folder + "/", 0) == 0 && folder.size() > best.size()) best = folder;
  }
  return best;
}

std::string Read(const fs::path& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(Layering, EveryIncludeOfSrcPointsDownOrStaysInItsFolder) {
  const fs::path root = fs::path(CORVEX_SOURCE_DIR) / "src";
  const std::regex include(R"(#\s*include\s*"([^"]+)\")");
  int includes = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    const std::string file = entry.path().lexically_relative(root).generic_string();
    const std::string from = FolderOf(file);
    if (from.empty()) continue;  // top-level build files
    const std::string text = Read(entry.path());
    for (std::sregex_iterator m(text.begin(), text.end(), include), end; m != end; ++m) {
      const std::string target = (*m)[1];
      const std::string to = FolderOf(target);
      ++includes;
      EXPECT_TRUE(to.empty() || to == from || kMayInclude.at(from).count(to) != 0)
          << file << " (" << from << ") includes " << target << " (" << to << ")";
    }
  }
  EXPECT_GT(includes, 100);  // the walk found the sources
}

// The portable core includes nothing of a platform: no system user-interface or display header
// and no library of the outside world. (Its CMake target also links nothing.)
TEST(Layering, TheCoreIncludesNoSystemHeader) {
  const fs::path root = fs::path(CORVEX_SOURCE_DIR) / "src";
  const std::regex forbidden(
      R"(#\s*include\s*[<"](windows\.h|ddraw\.h|SDL|ft2build|X11/|sndfile))");
  int files = 0;
  for (const char* folder :
       {"base", "scene", "renderers", "transforms", "video/portable", "simd"}) {
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
      EXPECT_FALSE(std::regex_search(Read(entry.path()), forbidden)) << entry.path();
      files += entry.is_regular_file();
    }
  }
  EXPECT_GT(files, 10);
}
