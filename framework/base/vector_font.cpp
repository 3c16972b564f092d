#include "framework/base/vector_font.h"

#include <optional>
#include <utility>

#include "framework/base/bitmaps.h"
#include "framework/core/byte_codec.h"
#include "framework/core/state_reset.h"

VectorFont gFont;

namespace {

constexpr size_t kCountWord = 6;

int SignedSeven(unsigned bits) { return bits & 0x40 ? int(bits) - 0x80 : int(bits); }

int16_t FirstStroke(const std::vector<uint8_t>& block, int code) {
  return LoadI16(&block[kFontIndexOffset + 2 * size_t(code)]);
}

uint16_t StrokeWord(const VectorFont& font, size_t i) { return LoadU16(&font.block[font.strokeOffset + 2 * i]); }

// Every glyph's first index lies among the strokes and its run reaches an
// operation-3 word before they end.
bool IsSound(const VectorFont& font) {
  for (int code = 0; code < kFontCharacterCodes; ++code) {
    const int16_t first = FirstStroke(font.block, code);
    if (first < 0) continue;
    size_t i = size_t(first);
    while (i < font.strokeCount && DecodeFontStroke(StrokeWord(font, i)).op != kStrokeEndGlyph) ++i;
    if (i >= font.strokeCount) return false;
  }
  return true;
}

}  // namespace

FontStroke DecodeFontStroke(uint16_t word) {
  return {uint16_t(word & 3), SignedSeven((word >> 2) & 0x7F), SignedSeven((word >> 9) & 0x7F)};
}

int UseVectorFontBlock(std::vector<uint8_t> block) {
  FreeVectorFont();
  if (block.size() < kFontStrokesOffset) return 0;
  VectorFont font;
  font.strokeCount = LoadU16(&block[kCountWord]);
  font.strokeOffset = kFontStrokesOffset;
  if (!InBounds(block.size(), kFontStrokesOffset, 2 * font.strokeCount)) return 0;
  font.block = std::move(block);
  if (!IsSound(font)) return 0;
  gFont = std::move(font);
  return 1;
}

int LoadVectorFont(const char* resourceName) {
  FreeVectorFont();
  std::optional<std::vector<uint8_t>> block = LoadRcDataResource(resourceName);
  return block ? UseVectorFontBlock(std::move(*block)) : 0;
}

void FreeVectorFont() { gFont = VectorFont{}; }

namespace {
const StateReset kReset(FreeVectorFont);
}  // namespace

bool HasVectorFont() { return !gFont.block.empty(); }

std::vector<FontStroke> GlyphStrokes(unsigned char code) {
  std::vector<FontStroke> strokes;
  if (!HasVectorFont()) return strokes;
  const int16_t first = FirstStroke(gFont.block, code);
  if (first < 0) return strokes;
  for (size_t i = size_t(first); i < gFont.strokeCount; ++i) {
    strokes.push_back(DecodeFontStroke(StrokeWord(gFont, i)));
    if (strokes.back().op == kStrokeEndGlyph) break;
  }
  return strokes;
}
