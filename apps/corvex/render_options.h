#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvex::host {

// Everything `corvex render` is asked to do, as given on the command line.
struct RenderOptions {
  std::vector<std::string> inputs;      // none: the built-in demo track
  std::string output;                   // video file; empty: named after the input
  std::string pngFolder;                // PNG frames instead of a video
  std::string size = "640x480";
  std::string preset = "veryfast";      // the encoder's speed against size
  int32_t crf = 18;                     // the encoder's quality
  double fps = 30.0;
  std::optional<uint32_t> seed;
  double start = 0.0;
  std::optional<double> duration;
  std::optional<int32_t> framesPerScene;
  std::string lockRenderer;
  std::string lockTransform;
  std::string keys;
  std::string settingsFile;
  bool info = false;
  bool quiet = false;
};

}  // namespace corvex::host
