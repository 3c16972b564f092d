// Builds the RCDATA block of a shape template from its text description.
//
//   shape_template_tool <description.shape> <output.bin>
//
// The description, one statement a line ('#' starts a comment):
//   block                 starts the next block (the first starts by itself)
//   vertex <x> <y> <z>    a vertex of the current block, in metres
//   polygon <i> <j> ...   a closed outline over the block's vertices i, j, ...
//                         (items op 0 at i, op 1 at each inner one, op 2 at the last)
//   polyline <i> <j> ...  an open line (items op 0 at i, op 1 at each following)
//
// The block written: a 32-byte name field (the description's file name),
// 384 zero bytes, then per block an 18-byte header (u16 vertex count, u16
// item count, 10 zero bytes, u32 1 when another block follows, else 0), its
// vertices (3 x f32) and its items as u16 (index << 2 | op), little-endian.
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/core/byte_codec.h"

namespace {

constexpr size_t kNameFieldSize = 32;
constexpr size_t kSkippedSize = 384;
constexpr size_t kHeaderUnused = 10;
constexpr unsigned kMaxPackedIndex = 0x3FFF;

struct Block {
  std::vector<float> coordinates;  // x, y, z per vertex
  std::vector<uint16_t> items;     // packed
  size_t VertexCount() const { return coordinates.size() / 3; }
};

// A number that is the whole token.
template <typename T>
bool ParseNumber(const std::string& token, T& value) {
  const char* end = token.data() + token.size();
  auto [ptr, ec] = std::from_chars(token.data(), end, value);
  return ec == std::errc() && ptr == end;
}

// Appends the items of a polygon or polyline statement.
bool AddOutline(Block& block, const std::vector<std::string>& indexes, bool closed, std::string& error) {
  const size_t minimum = closed ? 3 : 2;
  if (indexes.size() < minimum) {
    error = closed ? "a polygon needs at least three vertices" : "a polyline needs at least two vertices";
    return false;
  }
  for (size_t i = 0; i < indexes.size(); ++i) {
    unsigned index = 0;
    if (!ParseNumber(indexes[i], index) || index >= block.VertexCount() || index > kMaxPackedIndex) {
      error = "no vertex " + indexes[i] + " in this block";
      return false;
    }
    const unsigned op = i == 0 ? 0 : (closed && i + 1 == indexes.size() ? 2 : 1);
    block.items.push_back(uint16_t(index << 2 | op));
  }
  return true;
}

bool Parse(std::istream& in, std::vector<Block>& blocks, std::string& error, int& lineNumber) {
  blocks.emplace_back();
  std::string line;
  lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string keyword;
    if (!(words >> keyword)) continue;
    std::vector<std::string> args;
    for (std::string word; words >> word;) args.push_back(word);
    Block& block = blocks.back();
    if (keyword == "block" && args.empty()) {
      blocks.emplace_back();
    } else if (keyword == "vertex" && args.size() == 3) {
      for (const std::string& arg : args) {
        float value = 0;
        if (!ParseNumber(arg, value)) {
          error = "not a number: " + arg;
          return false;
        }
        block.coordinates.push_back(value);
      }
    } else if (keyword == "polygon" || keyword == "polyline") {
      if (!AddOutline(block, args, keyword == "polygon", error)) return false;
    } else {
      error = "unknown statement: " + keyword;
      return false;
    }
  }
  return true;
}

std::string FileStem(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.substr(0, name.find('.'));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: shape_template_tool <description.shape> <output.bin>\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << argv[1] << ": cannot open\n";
    return 1;
  }
  std::vector<Block> blocks;
  std::string error;
  int lineNumber = 0;
  if (!Parse(in, blocks, error, lineNumber)) {
    std::cerr << argv[1] << ":" << lineNumber << ": " << error << "\n";
    return 1;
  }

  for (const Block& block : blocks)
    if (block.VertexCount() > UINT16_MAX || block.items.size() > UINT16_MAX) {
      std::cerr << argv[1] << ": a block holds more than 65535 vertices or items\n";
      return 1;
    }

  MemoryWriter w;
  w.Text(kNameFieldSize, FileStem(argv[1]));
  w.Zeros(kSkippedSize);
  for (size_t b = 0; b < blocks.size(); ++b) {
    const Block& block = blocks[b];
    w.U16(uint16_t(block.VertexCount()));
    w.U16(uint16_t(block.items.size()));
    w.Zeros(kHeaderUnused);
    w.U32(b + 1 < blocks.size() ? 1 : 0);
    for (float c : block.coordinates) w.F32(c);
    for (uint16_t item : block.items) w.U16(item);
  }

  SafeFileWriter out(argv[2]);
  if (!out.Bytes(w.bytes().data(), w.bytes().size()) || !out.Commit()) {
    std::cerr << argv[2] << ": cannot write\n";
    return 1;
  }
  return 0;
}
