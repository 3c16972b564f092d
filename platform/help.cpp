#include "platform/help.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/internal.h"
#include "platform/system.h"
#include "platform/test_seams.h"

namespace platform {
namespace {
test::HelpRecorder* gRecorder = nullptr;  // takes the help instead of the browser while it lives
}

bool OpenHelpFile(std::string_view path, int contextId) {
  if (!FileExists(path)) return false;
  QUrl url = QUrl::fromLocalFile(detail::ToQt(path));
  if (contextId >= 2) url.setFragment(QStringLiteral("context-%1").arg(contextId));
  if (gRecorder) {
    gRecorder->opened_.push_back(detail::FromQt(url.toString()));
    return true;
  }
  return QDesktopServices::openUrl(url);
}

namespace test {

HelpRecorder::HelpRecorder() { gRecorder = this; }
HelpRecorder::~HelpRecorder() {
  if (gRecorder == this) gRecorder = nullptr;
}

}  // namespace test
}  // namespace platform
