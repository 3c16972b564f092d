#include <QFile>
#include <QImage>

#include "platform/drawing_internal.h"
#include "platform/internal.h"
#include "platform/resources.h"

namespace platform {
namespace detail {

QString ResourcePath(Instance instance, const char* folder, std::string_view name, const char* extension) {
  QString program = ToQt(ProgramOf(instance));
  return QStringLiteral(":/%1/%2/%3%4").arg(program, folder, ToQt(name), extension);
}

}  // namespace detail

using namespace detail;

Bitmap LoadBitmap(Instance instance, std::string_view name) {
  QImage image;
  for (const char* extension : {".png", ".bmp"})
    if (image.load(ResourcePath(instance, "bitmaps", name, extension))) break;
  if (image.isNull()) return Bitmap::kNone;
  return AddBitmap(image);
}

bool LoadRcData(Instance instance, std::string_view name, std::vector<std::uint8_t>& bytes) {
  for (const char* extension : {"", ".bin"}) {
    QFile file(ResourcePath(instance, "rcdata", name, extension));
    if (!file.open(QIODevice::ReadOnly)) continue;
    QByteArray data = file.readAll();
    bytes.assign(data.begin(), data.end());
    return true;
  }
  return false;
}

bool HasIcon(Instance instance, std::string_view name) {
  return QFile::exists(ResourcePath(instance, "icons", name, ".png"));
}

}  // namespace platform
