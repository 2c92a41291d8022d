#include "platform/headless/headless_text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

namespace corvex::platform::headless {

namespace {
constexpr int32_t kStockFontHeight = 16;  // the system font's character height

uint32_t ColorRefToRgb(uint32_t color) {
  return (color & 0xFF) << 16 | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

int32_t PixelHeightOf(const FontRequest& request, FT_Face face) {
  if (request.height < 0) return -request.height;
  if (request.height == 0) return kStockFontHeight;
  // A positive height is the whole cell; the character height is the em's share of it.
  if (face == nullptr || face->ascender - face->descender <= 0) return request.height;
  const double em = static_cast<double>(request.height) * face->units_per_EM /
                    (face->ascender - face->descender);
  return std::max(1, static_cast<int32_t>(std::lround(em)));
}
}  // namespace

std::vector<uint32_t> DecodeText(const char* text, int32_t length) {
  std::vector<uint32_t> codes;
  if (text == nullptr) return codes;
  const auto* bytes = reinterpret_cast<const uint8_t*>(text);
  for (int32_t i = 0; i < length;) {
    const uint8_t lead = bytes[i];
    const int32_t extra = lead >= 0xF0 && lead < 0xF5   ? 3
                          : lead >= 0xE0 && lead < 0xF0 ? 2
                          : lead >= 0xC2 && lead < 0xE0 ? 1
                                                        : 0;
    uint32_t code = lead & (0x3Fu >> extra);
    bool valid = extra > 0 && i + extra < length;
    for (int32_t k = 1; valid && k <= extra; ++k) {
      valid = (bytes[i + k] & 0xC0) == 0x80;
      code = (code << 6) | (bytes[i + k] & 0x3F);
    }
    codes.push_back(valid ? code : lead);
    i += valid ? extra + 1 : 1;
  }
  return codes;
}

HeadlessGraphics::HeadlessGraphics()
    : fontFile(CORVEX_FONT_FILE),
      stockFont_(std::make_unique<Font>(
          Font{FontRequest{-kStockFontHeight}, "System", kStockFontHeight})) {
  stockFont_->request.faceName = stockFont_->face.c_str();
}

HeadlessGraphics::~HeadlessGraphics() {
  if (face_ != nullptr) FT_Done_Face(face_);
  if (library_ != nullptr) FT_Done_FreeType(library_);
}

bool HeadlessGraphics::LoadFace() {
  if (face_ != nullptr) return true;
  if (faceTried_) return false;
  faceTried_ = true;
  if (FT_Init_FreeType(&library_) != 0) {
    library_ = nullptr;
    return false;
  }
  if (FT_New_Face(library_, fontFile.c_str(), 0, &face_) != 0) {
    face_ = nullptr;
    return false;
  }
  return true;
}

FontHandle HeadlessGraphics::CreateFontObject(const FontRequest& request) {
  if (failures.Take("CreateFont")) return nullptr;
  auto font = std::make_unique<Font>();
  font->request = request;
  font->face = request.faceName ? request.faceName : "";
  font->request.faceName = font->face.c_str();
  font->pixelHeight = PixelHeightOf(request, LoadFace() ? face_ : nullptr);
  Font* handle = font.get();
  fonts_[handle] = std::move(font);
  return handle;
}

bool HeadlessGraphics::DeleteObject(FontHandle object) { return fonts_.erase(object) != 0; }

const HeadlessGraphics::Font* HeadlessGraphics::FontOf(FontHandle font) const {
  if (font == stockFont_.get()) return stockFont_.get();
  auto found = fonts_.find(font);
  return found == fonts_.end() ? nullptr : found->second.get();
}

bool HeadlessGraphics::CellMetrics(int32_t pixelHeight, int32_t* ascent, int32_t* cellHeight) {
  if (!LoadFace() || FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixelHeight)) != 0) {
    return false;
  }
  *ascent = static_cast<int32_t>((face_->size->metrics.ascender + 32) >> 6);
  *cellHeight = static_cast<int32_t>(
      (face_->size->metrics.ascender - face_->size->metrics.descender + 32) >> 6);
  return true;
}

const HeadlessGraphics::Glyph* HeadlessGraphics::GlyphFor(int32_t pixelHeight,
                                                          uint32_t codePoint) {
  const uint64_t key = static_cast<uint64_t>(pixelHeight) << 32 | codePoint;
  if (auto cached = glyphs_.find(key); cached != glyphs_.end()) return &cached->second;
  if (!LoadFace() || FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixelHeight)) != 0 ||
      FT_Load_Char(face_, codePoint, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) {
    return nullptr;
  }
  const FT_GlyphSlot slot = face_->glyph;
  Glyph glyph;
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.width = static_cast<int32_t>(slot->bitmap.width);
  glyph.rows = static_cast<int32_t>(slot->bitmap.rows);
  glyph.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
  glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.rows);
  const bool oneBit = slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
  for (int32_t row = 0; row < glyph.rows; ++row) {
    const uint8_t* line = slot->bitmap.buffer + row * slot->bitmap.pitch;
    for (int32_t column = 0; column < glyph.width; ++column) {
      const bool set = (line[column / 8] >> (7 - column % 8)) & 1;
      glyph.coverage[static_cast<size_t>(row) * glyph.width + column] =
          oneBit ? (set ? 255 : 0) : line[column];
    }
  }
  return &glyphs_.emplace(key, std::move(glyph)).first->second;
}

HeadlessDeviceContext::HeadlessDeviceContext(HeadlessGraphics& graphics,
                                             const DrawTarget& target)
    : graphics_(graphics), target_(target), font_(graphics.StockFont()) {}

HeadlessDeviceContext::~HeadlessDeviceContext() = default;

int32_t HeadlessDeviceContext::SetBkMode(int32_t mode) {
  const int32_t previous = backgroundMode_;
  if (mode == bk::Transparent || mode == bk::Opaque) backgroundMode_ = mode;
  return previous;
}

uint32_t HeadlessDeviceContext::SetTextColor(uint32_t color) {
  const uint32_t previous = textColor_;
  textColor_ = color & 0x00FFFFFF;
  return previous;
}

FontHandle HeadlessDeviceContext::SelectObject(FontHandle font) {
  if (graphics_.FontOf(font) == nullptr) return nullptr;
  const FontHandle previous = font_;
  font_ = font;
  return previous;
}

void HeadlessDeviceContext::Blend(int32_t x, int32_t y, uint32_t rgb, uint32_t coverage) {
  if (x < 0 || y < 0 || x >= target_.width || y >= target_.height || coverage == 0) return;
  uint8_t* row = target_.memory + static_cast<ptrdiff_t>(y) * target_.pitch;
  if (coverage >= 255) {
    WriteRgb(row, x, target_.layout, rgb);
    return;
  }
  const uint32_t under = ReadRgb(row, x, target_.layout);
  uint32_t mixed = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t a = (under >> shift) & 255, b = (rgb >> shift) & 255;
    mixed |= ((a * (255 - coverage) + b * coverage + 127) / 255) << shift;
  }
  WriteRgb(row, x, target_.layout, mixed);
}

bool HeadlessDeviceContext::TextOutAt(int32_t x, int32_t y, const char* text, int32_t length) {
  if (text == nullptr || length < 0) return false;
  const HeadlessGraphics::Font* font = graphics_.FontOf(font_);
  const int32_t pixelHeight = font ? font->pixelHeight : kStockFontHeight;
  auto& log = graphics_.textLog;
  log.push_back({x, y, std::string(text, static_cast<size_t>(length)), textColor_,
                 backgroundMode_, pixelHeight});
  if (log.size() > HeadlessGraphics::kTextLogLength) log.pop_front();

  int32_t ascent = 0, cellHeight = 0;
  if (!graphics_.CellMetrics(pixelHeight, &ascent, &cellHeight)) return false;
  const std::vector<uint32_t> codes = DecodeText(text, length);
  std::vector<const HeadlessGraphics::Glyph*> glyphs;
  int32_t advance = 0;
  for (uint32_t code : codes) {
    const HeadlessGraphics::Glyph* glyph = graphics_.GlyphFor(pixelHeight, code);
    glyphs.push_back(glyph);
    if (glyph != nullptr) advance += glyph->advance;
  }
  if (backgroundMode_ == bk::Opaque) {
    const uint32_t background = ColorRefToRgb(backgroundColor_);
    for (int32_t row = y; row < y + cellHeight; ++row) {
      for (int32_t column = x; column < x + advance; ++column) Blend(column, row, background, 255);
    }
  }
  const uint32_t color = ColorRefToRgb(textColor_);
  const int32_t baseline = y + ascent;
  int32_t pen = x;
  for (const HeadlessGraphics::Glyph* glyph : glyphs) {
    if (glyph == nullptr) continue;
    for (int32_t row = 0; row < glyph->rows; ++row) {
      for (int32_t column = 0; column < glyph->width; ++column) {
        Blend(pen + glyph->left + column, baseline - glyph->top + row, color,
              glyph->coverage[static_cast<size_t>(row) * glyph->width + column]);
      }
    }
    pen += glyph->advance;
  }
  return true;
}

}  // namespace corvex::platform::headless
