// Start and end of the platform for a program, and the state every
// subsystem shares: the programs' resource sets, the start folder and the
// handle numbers.
#include <QApplication>
#include <QFont>
#include <clocale>
#include <filesystem>
#include <map>

#include "platform/application.h"
#include "platform/drawing_internal.h"
#include "platform/internal.h"
#include "platform/menu_internal.h"
#include "platform/printer_internal.h"
#include "platform/queue_internal.h"
#include "platform/system.h"
#include "platform/test_seams.h"
#include "platform/window_internal.h"

namespace platform {
namespace detail {
namespace {

struct ApplicationState {
  std::map<std::uintptr_t, std::string> programs;  // instance -> resource folder
  std::string startDirectory;
  std::string startDirectoryForTests;  // set by test::SetStartDirectory
  std::uintptr_t nextHandle = 100;     // below are the stock objects
};
ApplicationState& App() {
  static ApplicationState state;
  return state;
}

// The offscreen platform warns about every top-level window and popup it
// cannot raise or grab for; nothing to fix.
QtMessageHandler gToolkitMessages = nullptr;
void FilterToolkitMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  for (const char* known : {"propagateSizeHints", "does not support raise()", "does not support grabbing"})
    if (text.contains(QLatin1String(known))) return;
  if (gToolkitMessages) gToolkitMessages(type, context, text);
}

}  // namespace

std::uintptr_t NewHandle() { return App().nextHandle++; }

std::string ProgramOf(Instance instance) {
  auto it = App().programs.find(std::uintptr_t(instance));
  return it == App().programs.end() ? std::string() : it->second;
}

}  // namespace detail

using namespace detail;

Instance StartApplication(std::string_view program) {
  if (!QApplication::instance()) {
    gToolkitMessages = qInstallMessageHandler(FilterToolkitMessage);
    static int argc = 1;
    static char name[] = "korvane";
    static char* argv[] = {name, nullptr};
    auto* app = new QApplication(argc, argv);  // lives for the rest of the process
    app->setQuitOnLastWindowClosed(false);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QFont ui(QStringLiteral("Liberation Sans"));
    ui.setPixelSize(12);
    QApplication::setFont(ui);
    std::error_code error;
    App().startDirectory = std::filesystem::current_path(error).string();
  }
  // The toolkit takes the user's locale at start; numbers are always read
  // and written with '.'.
  std::setlocale(LC_NUMERIC, "C");
  for (auto& [id, name] : App().programs)
    if (name == program) return Instance(id);
  Instance instance = Instance(NewHandle());
  App().programs.emplace(std::uintptr_t(instance), std::string(program));
  return instance;
}

void EndApplication(Instance) {
  ResetWindows();
  ResetQueue();
  ResetMenus();
  ResetDrawingObjects();
  ResetPrinters();
  SetWaitCursor(false);
  QCoreApplication::processEvents();
}

std::string StartDirectory() {
  return App().startDirectoryForTests.empty() ? App().startDirectory : App().startDirectoryForTests;
}

namespace test {

void SetStartDirectory(const std::string& path) { App().startDirectoryForTests = path; }

}  // namespace test

}  // namespace platform
