#include "tests/support/bitmap_compare.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/core/text_encoding.h"
#include "platform/drawing.h"
#include "platform/test_seams.h"

namespace {

// Reads the pixels of a bitmap through a memory context for its lifetime.
class Reader {
 public:
  explicit Reader(platform::Bitmap bitmap) : context_(platform::CreateMemoryContext()) {
    platform::SelectBitmap(context_, bitmap);
    size_ = platform::GetBitmapSize(bitmap);
  }
  ~Reader() {
    platform::SelectBitmap(context_, platform::Bitmap::kNone);
    platform::DeleteContext(context_);
  }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;
  platform::Colour At(int x, int y) const { return platform::GetPixel(context_, x, y); }
  platform::Size size() const { return size_; }

 private:
  platform::Context context_;
  platform::Size size_;
};

bool Near(platform::Colour a, platform::Colour b) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 16) return false;
  return true;
}

}  // namespace

int DifferingPixels(platform::Bitmap expected, platform::Bitmap actual, int offsetX, int offsetY) {
  Reader want(expected), got(actual);
  int differing = 0;
  for (int y = 0; y < want.size().height; ++y)
    for (int x = 0; x < want.size().width; ++x) differing += want.At(x, y) != got.At(x + offsetX, y + offsetY);
  return differing;
}

int InteriorMismatches(platform::Bitmap expected, platform::Bitmap actual, int offsetX, int offsetY, int* compared,
                       const std::vector<platform::Rect>& skip) {
  Reader want(expected), got(actual);
  int mismatches = 0, inside = 0;
  for (int y = 1; y + 1 < want.size().height; ++y)
    for (int x = 1; x + 1 < want.size().width; ++x) {
      if (std::any_of(skip.begin(), skip.end(), [&](const platform::Rect& r) {
            return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
          }))
        continue;
      platform::Colour c = want.At(x, y);
      bool uniform = true;
      for (int dy = -1; dy <= 1 && uniform; ++dy)
        for (int dx = -1; dx <= 1 && uniform; ++dx) uniform = want.At(x + dx, y + dy) == c;
      if (!uniform) continue;
      ++inside;
      mismatches += !Near(c, got.At(x + offsetX, y + offsetY));
    }
  if (compared) *compared = inside;
  return mismatches;
}

std::vector<platform::Rect> TextBoxes(const platform::test::RecordedPage& page) {
  std::vector<platform::Rect> boxes;
  for (const platform::test::RecordedPageOp& op : page.operations)
    if (op.kind == 'T') boxes.push_back(op.bounds);
  return boxes;
}

platform::Bitmap PdfPageImage(const std::string& pdf, int page, int dotsPerInch) {
  std::string png = pdf + ".page";
  std::string command = "pdftoppm -r " + std::to_string(dotsPerInch) + " -f " + std::to_string(page) + " -l " +
                        std::to_string(page) + " -singlefile -png '" + pdf + "' '" + png + "'";
  if (std::system(command.c_str()) != 0) return platform::Bitmap::kNone;
  platform::Bitmap image = platform::test::LoadImageFile(png + ".png");
  std::filesystem::remove(png + ".png");
  return image;
}

std::vector<std::string> PdfPageWords(const std::string& pdf, int page) {
  std::string words = pdf + ".words";
  std::string command =
      "pdftotext -bbox -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" + pdf + "' '" + words + "'";
  if (std::system(command.c_str()) != 0) return {};
  std::ifstream in(words);
  std::vector<std::string> found;
  for (std::string line; std::getline(in, line);) {
    const std::size_t open = line.find("<word "), start = line.find('>', open), end = line.find("</word>");
    if (open == std::string::npos || start == std::string::npos || end == std::string::npos) continue;
    std::string word = line.substr(start + 1, end - start - 1);
    for (auto [entity, character] :
         {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}})
      for (std::size_t at = 0; (at = word.find(entity, at)) != std::string::npos; at += std::strlen(character))
        word.replace(at, std::strlen(entity), character);
    found.push_back(word);
  }
  in.close();
  std::filesystem::remove(words);
  std::sort(found.begin(), found.end());
  return found;
}

std::vector<std::string> ListingWords(const ListingPage& page) {
  std::vector<std::string> words;
  for (const ListingText& t : page.texts) {
    std::istringstream in(Cp1252ToUtf8(t.text));
    for (std::string word; in >> word;) words.push_back(word);
  }
  std::sort(words.begin(), words.end());
  return words;
}
