// The stroke font: the block the build makes from resources/fonts, loaded
// from the program's resources, and blocks that do not hold together.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/base/vector_font.h"
#include "framework/core/byte_codec.h"
#include "tests/support/gui_fixture.h"

namespace {

std::vector<uint8_t> BuiltFont() {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(KORVANE_STROKE_FONT_FILE, bytes));
  return bytes;
}

// A stroke word written out by hand: op | x << 2 | y << 9, 7-bit two's complement.
constexpr uint16_t Word(unsigned op, int x, int y) {
  return uint16_t(op | (unsigned(x) & 0x7F) << 2 | (unsigned(y) & 0x7F) << 9);
}

class VectorFontTest : public FrameworkTest {
 protected:
};

TEST_F(VectorFontTest, TheProgramsFontHasEveryPrintableCharacterAndStaysAsLoaded) {
  ASSERT_EQ(LoadVectorFont("STANDARDFONT"), 1);
  const std::vector<uint8_t> built = BuiltFont();
  EXPECT_EQ(gFont.block, built);  // bytes 520-527 too: the stroke offset is kept beside the block
  EXPECT_EQ(gFont.strokeOffset, 524u);
  EXPECT_EQ(LoadU16(&built[0]), 6850);
  EXPECT_EQ(LoadU16(&built[2]), 6850);
  EXPECT_EQ(LoadU16(&built[4]), 2);
  EXPECT_EQ(LoadU32(&built[520]), 0u);
  EXPECT_EQ(gFont.strokeCount, LoadU16(&built[6]));
  EXPECT_EQ(built.size(), 524 + 2 * gFont.strokeCount);

  int glyphs = 0;
  for (int code = 0; code < 256; ++code) {
    const bool printable = code >= 33 && code <= 126;
    const std::vector<FontStroke> strokes = GlyphStrokes((unsigned char)code);
    EXPECT_EQ(!strokes.empty(), printable) << code;
    if (strokes.empty()) continue;
    ++glyphs;
    EXPECT_EQ(strokes.front().op, kStrokeMove) << code;
    EXPECT_EQ(strokes.back().op, kStrokeEndGlyph) << code;
    EXPECT_GT(strokes.back().x, 0) << code;  // the advance
  }
  EXPECT_EQ(glyphs, 94);
  // Capitals stand 8 units high on the baseline.
  int top = 0, bottom = 99;
  for (const FontStroke& s : GlyphStrokes('E'))
    if (s.op != kStrokeEndGlyph) top = std::max(top, s.y), bottom = std::min(bottom, s.y);
  EXPECT_EQ(top, kFontCapitalHeight);
  EXPECT_EQ(bottom, 0);
}

TEST_F(VectorFontTest, StrokeWordsDecodeOperationAndSignedCoordinates) {
  ASSERT_EQ(LoadVectorFont("STANDARDFONT"), 1);
  // '-' is "line 0,4 5,4" with advance 7; ',' ends at 0,-2.
  const std::vector<uint8_t>& block = gFont.block;
  const size_t minus = 524 + 2 * size_t(LoadI16(&block[8 + 2 * '-']));
  EXPECT_EQ(LoadU16(&block[minus]), Word(0, 0, 4));
  EXPECT_EQ(LoadU16(&block[minus + 2]), Word(1, 5, 4));
  EXPECT_EQ(LoadU16(&block[minus + 4]), Word(3, 7, 0));
  const std::vector<FontStroke> comma = GlyphStrokes(',');
  ASSERT_EQ(comma.size(), 4u);
  EXPECT_EQ(Word(1, 0, -2), 0xFC01);
  EXPECT_EQ(comma[2].op, kStrokeLine);
  EXPECT_EQ(comma[2].x, 0);
  EXPECT_EQ(comma[2].y, -2);
  const FontStroke lowest = DecodeFontStroke(Word(2, -64, 63));
  EXPECT_EQ(lowest.op, kStrokeClose);
  EXPECT_EQ(lowest.x, -64);
  EXPECT_EQ(lowest.y, 63);
  EXPECT_TRUE(GlyphStrokes(' ').empty());
}

TEST_F(VectorFontTest, AMissingOrBrokenFontLeavesNoFont) {
  ASSERT_EQ(LoadVectorFont("STANDARDFONT"), 1);
  EXPECT_EQ(LoadVectorFont("NOFONT"), 0);
  EXPECT_FALSE(HasVectorFont());
  EXPECT_TRUE(GlyphStrokes('A').empty());

  const std::vector<uint8_t> good = BuiltFont();
  std::vector<uint8_t> shortBlock(good.begin(), good.begin() + 523);
  std::vector<uint8_t> countBeyond = good;
  StoreU16(&countBeyond[6], uint16_t(LoadU16(&good[6]) + 1));
  std::vector<uint8_t> indexBeyond = good;
  StoreI16(&indexBeyond[8 + 2 * 'A'], int16_t(LoadU16(&good[6])));
  std::vector<uint8_t> unended = good;  // the last glyph's end word becomes a line
  StoreU16(&unended[unended.size() - 2], Word(1, 1, 1));
  for (const auto* bad : {&shortBlock, &countBeyond, &indexBeyond, &unended}) {
    EXPECT_EQ(UseVectorFontBlock(*bad), 0);
    EXPECT_FALSE(HasVectorFont());
  }
  EXPECT_EQ(UseVectorFontBlock(good), 1);
}

}  // namespace
