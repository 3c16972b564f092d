// The stroke font of the TEXT command, loaded from the program's RCDATA
// resource "STANDARDFONT" (kdn only).
//
// The block, little-endian: u16 words 0 and 1 (6850, not read), word 2 = 2,
// word 3 = the number of stroke words; from byte 8, 256 i16 first-stroke
// indexes, one per character code (-1 = no glyph); at byte 520 a 32-bit
// slot that the old loaders pointed at the strokes; from byte 524 the stroke
// words. A stroke word holds the operation in bits 0-1 (0 move to, 1 line
// to, 2 line to and close the outline, 3 end of glyph), x in bits 2-8 and y
// in bits 9-15, each a signed 7-bit number of font units; a glyph runs from
// its first index to its operation-3 word, whose x is the advance. Capital
// letters are 8 units high.
//
// The block is kept exactly as loaded: the stroke offset lives beside it (a
// 32-bit slot cannot hold a pointer here). A block whose counts or indexes
// do not fit its size is refused like a missing one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t kFontIndexOffset = 8;
constexpr size_t kFontStrokesOffset = 524;
constexpr int kFontCharacterCodes = 256;
constexpr int kFontCapitalHeight = 8;

enum FontStrokeOp : uint16_t { kStrokeMove = 0, kStrokeLine = 1, kStrokeClose = 2, kStrokeEndGlyph = 3 };

struct FontStroke {
  uint16_t op = 0;
  int x = 0, y = 0;
};
FontStroke DecodeFontStroke(uint16_t word);

struct VectorFont {
  std::vector<uint8_t> block;  // the resource as loaded; empty: no font
  size_t strokeOffset = 0;     // where the stroke words start in the block
  size_t strokeCount = 0;
};
extern VectorFont gFont;

// No font first; then the named RCDATA resource, when present and sound,
// becomes the current font. 1 when a font is loaded.
int LoadVectorFont(const char* resourceName);
// Makes the block the current font when it is sound; 1 when it is.
int UseVectorFontBlock(std::vector<uint8_t> block);
void FreeVectorFont();
bool HasVectorFont();

// The strokes of a character's glyph up to and including its operation-3
// word; empty when the code has no glyph (or no font is loaded).
std::vector<FontStroke> GlyphStrokes(unsigned char code);
