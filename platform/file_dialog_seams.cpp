// The seams that answer file dialogs or act on the real one
// (test_seams.h: FileDialogScript).
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>

#include "platform/file_dialog_internal.h"
#include "platform/internal.h"
#include "platform/queue_internal.h"
#include "platform/test_seams.h"

namespace platform::test {

using namespace detail;

namespace {

FileDialogScript* gScript = nullptr;
std::function<void(FileDialogUser&)> gLook;  // the actions for the real dialog shown now

QFileDialog& DialogOf(void* dialog) { return *static_cast<QFileDialog*>(dialog); }

}  // namespace

struct FileDialogScriptAccess {
  static FileDialogAnswer Answer(bool save, const FileDialogRequest& request, ChosenFile& chosen) {
    gScript->dialogs_.push_back({save, request});
    if (gScript->next_ >= gScript->answers_.size()) return {true, FileDialogResult::kCancelled};
    const FileDialogScript::Answer& answer = gScript->answers_[gScript->next_++];
    if (answer.look) {
      gLook = answer.look;
      return {false, FileDialogResult::kCancelled};
    }
    if (answer.result == FileDialogResult::kChosen) {
      chosen.path = answer.path;
      std::size_t slash = answer.path.rfind('/');
      chosen.nameOffset = slash == std::string::npos ? 0 : slash + 1;
    }
    return {true, answer.result};
  }

  // Runs the actions on the real dialog once the loop waits; a dialog they
  // leave open is cancelled.
  static void Shown(QFileDialog& dialog) {
    if (!gLook) return;
    auto actions = std::move(gLook);
    gLook = nullptr;
    QFileDialog* shown = &dialog;
    Queue().idleTasks.push_back([shown, actions] {
      FileDialogUser user(shown);
      actions(user);
      if (shown->isVisible()) shown->reject();
    });
  }
};

FileDialogScript::FileDialogScript() {
  gScript = this;
  gScriptedFileDialog = FileDialogScriptAccess::Answer;
  gFileDialogSeam = FileDialogScriptAccess::Shown;
}

FileDialogScript::~FileDialogScript() {
  if (gScript != this) return;
  gScript = nullptr;
  gScriptedFileDialog = nullptr;
  gFileDialogSeam = nullptr;
}

void FileDialogScript::Choose(std::string path) {
  answers_.push_back({FileDialogResult::kChosen, std::move(path), {}});
}
void FileDialogScript::Cancel() { answers_.push_back({FileDialogResult::kCancelled, {}, {}}); }
void FileDialogScript::Fail() { answers_.push_back({FileDialogResult::kFailed, {}, {}}); }
void FileDialogScript::Look(std::function<void(FileDialogUser&)> actions) {
  answers_.push_back({FileDialogResult::kCancelled, {}, std::move(actions)});
}

std::vector<std::string> FileDialogUser::Shown() const {
  QFileDialog& dialog = DialogOf(dialog_);
  auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
  auto* files = dialog.findChild<QFileSystemModel*>();
  if (!view || !files) return {};
  // The toolkit reads the folder on a thread of its own.
  QElapsedTimer waited;
  waited.start();
  QString folder = dialog.directory().absolutePath();
  while (waited.elapsed() < 3000) {
    PumpToolkit(false);
    QModelIndex root = files->index(folder);
    if (root.isValid() && !files->canFetchMore(root) && files->rowCount(root) > 0) break;
  }
  PumpToolkit(false);
  std::vector<std::string> names;
  QAbstractItemModel* model = view->model();
  for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
    QModelIndex index = model->index(row, 0, view->rootIndex());
    if (!dialog.directory().exists(index.data().toString() + QStringLiteral("/.")))
      names.push_back(FromQt(index.data().toString()));
  }
  return names;
}

void FileDialogUser::ChooseFilter(int index) {
  QFileDialog& dialog = DialogOf(dialog_);
  QStringList filters = dialog.nameFilters();
  if (index >= 1 && index <= filters.size()) dialog.selectNameFilter(filters[index - 1]);
}

void FileDialogUser::Choose(std::string_view name) {
  QFileDialog& dialog = DialogOf(dialog_);
  if (auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) field->setText(ToQt(name));
  if (auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")))
    for (QAbstractButton* button : buttons->buttons())
      if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole) button->click();
}

void FileDialogUser::Cancel() { DialogOf(dialog_).reject(); }

}  // namespace platform::test
