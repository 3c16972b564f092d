// The file dialogs over the toolkit's own dialog (the same on every
// desktop, so that its filters match without regard to case everywhere).
#include "platform/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <cctype>

#include "platform/file_dialog_internal.h"
#include "platform/internal.h"
#include "platform/queue_internal.h"
#include "platform/window_internal.h"

namespace platform {
namespace detail {
namespace {

// The toolkit's filter text: "Korvane Project (*.kpr *.kab)".
QStringList NameFilters(const std::vector<FileFilter>& filters) {
  QStringList out;
  for (const FileFilter& f : filters) {
    QString patterns = ToQt(f.patterns).split(u';', Qt::SkipEmptyParts).join(u' ');
    out << QStringLiteral("%1 (%2)").arg(ToQt(f.description), patterns);
  }
  return out;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip)
      if (WildcardMatch(pattern.substr(1), name.substr(skip))) return true;
    return false;
  }
  if (name.empty()) return false;
  bool same = pattern[0] == '?' ||
              std::tolower(static_cast<unsigned char>(pattern[0])) == std::tolower(static_cast<unsigned char>(name[0]));
  return same && WildcardMatch(pattern.substr(1), name.substr(1));
}

}  // namespace

void (*gFileDialogSeam)(QFileDialog& dialog) = nullptr;
FileDialogAnswer (*gScriptedFileDialog)(bool save, const FileDialogRequest& request, ChosenFile& chosen) = nullptr;

FileDialogResult RunFileDialog(bool save, const FileDialogRequest& request, ChosenFile& chosen) {
  if (gScriptedFileDialog) {
    FileDialogAnswer answer = gScriptedFileDialog(save, request, chosen);
    if (answer.scripted) return answer.result;
  }
  // The keys go back where they went before, also where no window system
  // hands the focus back (declared before the dialog, so it runs after the
  // dialog is gone).
  struct FocusBack {
    Window focus, owner;
    ~FocusBack() {
      if (IsWindow(focus)) SetFocus(focus);
      else if (IsWindow(owner)) SetFocus(owner);
    }
  } focusBack{GetFocus(), request.owner};
  WindowObject* owner = FindWindow(request.owner);
  QFileDialog dialog(owner ? owner->frame->window() : nullptr);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  dialog.setWindowTitle(request.title.empty() ? (save ? QStringLiteral("Save As") : QStringLiteral("Open"))
                                              : ToQt(request.title));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  QStringList filters = NameFilters(request.filters);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    int index = std::clamp(request.filterIndex, 1, int(filters.size())) - 1;
    dialog.selectNameFilter(filters[index]);
  }
  dialog.setDirectory(request.folder.empty() ? QDir::currentPath() : ToQt(request.folder));
  if (!request.fileName.empty()) dialog.selectFile(ToQt(request.fileName));
  dialog.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
  dialog.show();
  if (gFileDialogSeam) gFileDialogSeam(dialog);
  if (!RunModalLoop([&] { return !dialog.isVisible(); })) {
    dialog.hide();
    return FileDialogResult::kCancelled;
  }
  if (dialog.result() != QDialog::Accepted) return FileDialogResult::kCancelled;
  QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files[0].isEmpty()) return FileDialogResult::kFailed;
  chosen.path = FromQt(QDir::fromNativeSeparators(files[0]));
  std::size_t slash = chosen.path.rfind('/');
  chosen.nameOffset = slash == std::string::npos ? 0 : slash + 1;
  return FileDialogResult::kChosen;
}

}  // namespace detail

FileDialogResult ShowOpenDialog(const FileDialogRequest& request, ChosenFile& chosen) {
  return detail::RunFileDialog(false, request, chosen);
}

FileDialogResult ShowSaveDialog(const FileDialogRequest& request, ChosenFile& chosen) {
  return detail::RunFileDialog(true, request, chosen);
}

bool MatchesFileFilter(std::string_view patterns, std::string_view name) {
  std::size_t start = 0;
  while (start <= patterns.size()) {
    std::size_t end = patterns.find(';', start);
    if (end == std::string_view::npos) end = patterns.size();
    std::string_view pattern = patterns.substr(start, end - start);
    if (!pattern.empty() && detail::WildcardMatch(pattern, name)) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace platform
