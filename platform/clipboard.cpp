#include "platform/clipboard.h"

#include <QApplication>
#include <QClipboard>

#include "platform/drawing_internal.h"
#include "platform/test_seams.h"

namespace platform {

bool CopyBitmapToClipboard(Bitmap bitmap) {
  auto it = detail::Objects().bitmaps.find(std::uintptr_t(bitmap));
  QClipboard* clipboard = QApplication::instance() ? QApplication::clipboard() : nullptr;
  if (it == detail::Objects().bitmaps.end() || !clipboard) return false;
  clipboard->clear();
  clipboard->setImage(it->second);
  return !clipboard->image().isNull();
}

namespace test {

Bitmap ClipboardBitmap() {
  QImage image = QApplication::clipboard()->image();
  return image.isNull() ? Bitmap::kNone : detail::AddBitmap(image);
}

}  // namespace test
}  // namespace platform
