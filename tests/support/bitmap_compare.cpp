#include "tests/support/bitmap_compare.h"

#include <cstdlib>
#include <filesystem>

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

int InteriorMismatches(platform::Bitmap expected, platform::Bitmap actual, int offsetX, int offsetY, int* compared) {
  Reader want(expected), got(actual);
  int mismatches = 0, inside = 0;
  for (int y = 1; y + 1 < want.size().height; ++y)
    for (int x = 1; x + 1 < want.size().width; ++x) {
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

platform::Bitmap PdfPageImage(const std::string& pdf, int page, int dotsPerInch) {
  std::string png = pdf + ".page";
  std::string command = "pdftoppm -r " + std::to_string(dotsPerInch) + " -f " + std::to_string(page) + " -l " +
                        std::to_string(page) + " -singlefile -png '" + pdf + "' '" + png + "'";
  if (std::system(command.c_str()) != 0) return platform::Bitmap::kNone;
  platform::Bitmap image = platform::test::LoadImageFile(png + ".png");
  std::filesystem::remove(png + ".png");
  return image;
}
