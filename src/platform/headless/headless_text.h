#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/failure_injector.h"
#include "platform/headless/headless_pixels.h"
#include "platform/text.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace corvex::platform::headless {

// Fonts on the headless backend: every face is drawn with Liberation Sans (metrically the same
// as the face the plug-in asks for) through FreeType, so offline frames carry the same text as
// live ones. Each TextOutAt is also logged, so tests can read what was written where.
class HeadlessGraphics final : public GraphicsSystem {
 public:
  HeadlessGraphics();
  ~HeadlessGraphics() override;
  HeadlessGraphics(const HeadlessGraphics&) = delete;
  HeadlessGraphics& operator=(const HeadlessGraphics&) = delete;

  FontHandle CreateFontObject(const FontRequest& request) override;  // can fail: "CreateFont"
  bool DeleteObject(FontHandle object) override;

  struct Font {
    FontRequest request;  // faceName points into face
    std::string face;
    int32_t pixelHeight;  // the em height the glyphs are drawn at
  };
  const Font* FontOf(FontHandle font) const;  // null for a handle that is not a live font
  FontHandle StockFont() const { return stockFont_.get(); }  // a context's first font
  size_t LiveFonts() const { return fonts_.size(); }

  struct TextRecord {
    int32_t x;
    int32_t y;
    std::string text;
    uint32_t color;  // 0x00BBGGRR
    int32_t backgroundMode;
    int32_t pixelHeight;
  };
  std::deque<TextRecord> textLog;  // the latest TextOutAt calls, oldest first
  static constexpr size_t kTextLogLength = 256;

  std::string fontFile;  // Liberation Sans from fonts-liberation2, unless changed
  FailureInjector failures;

  // For device contexts: one rendered glyph (coverage 0-255) and the font's cell metrics.
  struct Glyph {
    int32_t left = 0;  // from the pen to the bitmap's first column
    int32_t top = 0;   // from the baseline up to the bitmap's first row
    int32_t width = 0;
    int32_t rows = 0;
    int32_t advance = 0;
    std::vector<uint8_t> coverage;
  };
  const Glyph* GlyphFor(int32_t pixelHeight, uint32_t codePoint);
  bool CellMetrics(int32_t pixelHeight, int32_t* ascent, int32_t* cellHeight);

 private:
  bool LoadFace();

  std::map<const void*, std::unique_ptr<Font>> fonts_;
  std::unique_ptr<Font> stockFont_;
  FT_LibraryRec_* library_ = nullptr;
  FT_FaceRec_* face_ = nullptr;
  bool faceTried_ = false;
  std::map<uint64_t, Glyph> glyphs_;
};

// Where a device context draws: a surface's memory in its own pixel format.
struct DrawTarget {
  uint8_t* memory;
  int32_t width;
  int32_t height;
  int32_t pitch;
  PixelLayout layout;
};

class HeadlessDeviceContext final : public DeviceContext {
 public:
  HeadlessDeviceContext(HeadlessGraphics& graphics, const DrawTarget& target);
  ~HeadlessDeviceContext() override;

  int32_t SetBkMode(int32_t mode) override;
  uint32_t SetTextColor(uint32_t color) override;
  FontHandle SelectObject(FontHandle font) override;
  bool TextOutAt(int32_t x, int32_t y, const char* text, int32_t length) override;

 private:
  void Blend(int32_t x, int32_t y, uint32_t rgb, uint32_t coverage);

  HeadlessGraphics& graphics_;
  DrawTarget target_;
  int32_t backgroundMode_ = bk::Opaque;
  uint32_t textColor_ = 0x000000;
  uint32_t backgroundColor_ = 0xFFFFFF;
  FontHandle font_;
};

// The characters of a text: UTF-8 where the bytes form it, otherwise one byte each (Latin-1).
std::vector<uint32_t> DecodeText(const char* text, int32_t length);

}  // namespace corvex::platform::headless
