// Builds the RCDATA block of a stroke font from its text description.
//
//   stroke_font_tool <description.font> <output.bin>
//
// The description, one statement a line ('#' starts a comment, except as the
// quoted character of a glyph line):
//   glyph '<c>' <advance>   starts the glyph of the printable character <c>
//   line x,y x,y ...        an open stroke: op 0 at the first point, op 1 at each following
//   loop x,y x,y ...        a closed outline: op 0, op 1 ..., op 2 at the last point
// Coordinates and advances are whole font units from -64 to 63.
//
// The block written, little-endian: u16 6850, u16 6850, u16 2, u16 the number
// of stroke words; 256 i16 first-stroke indexes by character code (-1 for
// none); four zero bytes (the old pointer slot); then the stroke words, each
// op | x << 2 | y << 9 with x and y as 7-bit two's complement, every glyph
// ended by an op-3 word whose x is its advance.
#include <array>
#include <charconv>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/core/byte_codec.h"

namespace {

constexpr uint16_t kHeaderWord = 6850;
constexpr uint16_t kFontVersion = 2;
constexpr int kCodes = 256;
constexpr int kMinUnit = -64, kMaxUnit = 63;
constexpr uint16_t kOpMove = 0, kOpLine = 1, kOpClose = 2, kOpEndGlyph = 3;

struct Glyph {
  int advance = 0;
  std::vector<uint16_t> strokes;  // without the op-3 word
};

uint16_t StrokeWord(uint16_t op, int x, int y) {
  return uint16_t(op | (unsigned(x) & 0x7F) << 2 | (unsigned(y) & 0x7F) << 9);
}

bool ParseUnit(const std::string& token, int& value) {
  const char* end = token.data() + token.size();
  auto [ptr, ec] = std::from_chars(token.data(), end, value);
  return ec == std::errc() && ptr == end && value >= kMinUnit && value <= kMaxUnit;
}

// Appends the strokes of a line or loop statement over "x,y" tokens.
bool AddStroke(Glyph& glyph, const std::vector<std::string>& points, bool closed, std::string& error) {
  if (points.size() < (closed ? 3u : 2u)) {
    error = closed ? "a loop needs at least three points" : "a line needs at least two points";
    return false;
  }
  for (size_t i = 0; i < points.size(); ++i) {
    const size_t comma = points[i].find(',');
    int x = 0, y = 0;
    if (comma == std::string::npos || !ParseUnit(points[i].substr(0, comma), x) ||
        !ParseUnit(points[i].substr(comma + 1), y)) {
      error = "not a point of -64 .. 63: " + points[i];
      return false;
    }
    const uint16_t op = i == 0 ? kOpMove : closed && i + 1 == points.size() ? kOpClose : kOpLine;
    glyph.strokes.push_back(StrokeWord(op, x, y));
  }
  return true;
}

bool Parse(std::istream& in, std::array<Glyph*, kCodes>& glyphs, std::vector<Glyph>& store, std::string& error,
           int& lineNumber) {
  store.reserve(kCodes);
  Glyph* current = nullptr;
  std::string line;
  lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    std::istringstream words(line);
    std::string keyword;
    words >> keyword;
    if (keyword == "glyph") {
      // glyph '<c>' <advance>, the character read before any comment is cut.
      const size_t quote = line.find('\'');
      if (quote == std::string::npos || quote + 2 >= line.size() || line[quote + 2] != '\'') {
        error = "a glyph line names its character as '<c>'";
        return false;
      }
      const unsigned char code = static_cast<unsigned char>(line[quote + 1]);
      std::string rest = line.substr(quote + 3);
      if (const size_t hash = rest.find('#'); hash != std::string::npos) rest.erase(hash);
      std::istringstream tail(rest);
      std::string advanceToken, extra;
      int advance = 0;
      if (!(tail >> advanceToken) || !ParseUnit(advanceToken, advance) || (tail >> extra)) {
        error = "a glyph line gives one advance of -64 .. 63";
        return false;
      }
      if (code <= ' ' || code >= 127) {
        error = "only printable characters have glyphs";
        return false;
      }
      if (glyphs[code]) {
        error = std::string("a second glyph for '") + char(code) + "'";
        return false;
      }
      store.push_back({advance, {}});
      current = glyphs[code] = &store.back();
      continue;
    }
    if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream statement(line);
    if (!(statement >> keyword)) continue;
    std::vector<std::string> points;
    for (std::string point; statement >> point;) points.push_back(point);
    if (keyword != "line" && keyword != "loop") {
      error = "unknown statement: " + keyword;
      return false;
    }
    if (!current) {
      error = "a stroke outside a glyph";
      return false;
    }
    if (!AddStroke(*current, points, keyword == "loop", error)) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: stroke_font_tool <description.font> <output.bin>\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << argv[1] << ": cannot open\n";
    return 1;
  }
  std::array<Glyph*, kCodes> glyphs{};
  std::vector<Glyph> store;
  std::string error;
  int lineNumber = 0;
  if (!Parse(in, glyphs, store, error, lineNumber)) {
    std::cerr << argv[1] << ":" << lineNumber << ": " << error << "\n";
    return 1;
  }

  std::array<int16_t, kCodes> first;
  first.fill(-1);
  std::vector<uint16_t> strokes;
  for (int code = 0; code < kCodes; ++code) {
    if (!glyphs[code]) continue;
    if (strokes.size() > INT16_MAX) {
      std::cerr << argv[1] << ": more strokes than a 16-bit index reaches\n";
      return 1;
    }
    first[code] = int16_t(strokes.size());
    strokes.insert(strokes.end(), glyphs[code]->strokes.begin(), glyphs[code]->strokes.end());
    strokes.push_back(StrokeWord(kOpEndGlyph, glyphs[code]->advance, 0));
  }

  if (strokes.size() > UINT16_MAX) {
    std::cerr << argv[1] << ": more strokes than the 16-bit count holds\n";
    return 1;
  }

  MemoryWriter w;
  w.U16(kHeaderWord);
  w.U16(kHeaderWord);
  w.U16(kFontVersion);
  w.U16(uint16_t(strokes.size()));
  for (int16_t index : first) w.U16(uint16_t(index));
  w.Zeros(4);
  for (uint16_t word : strokes) w.U16(word);

  SafeFileWriter out(argv[2]);
  if (!out.Bytes(w.bytes().data(), w.bytes().size()) || !out.Commit()) {
    std::cerr << argv[2] << ": cannot write\n";
    return 1;
  }
  return 0;
}
