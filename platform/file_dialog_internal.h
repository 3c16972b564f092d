// The file dialogs' hooks for the seams (test_seams.h: FileDialogScript).
#pragma once

#include "platform/file_dialog.h"

class QFileDialog;

namespace platform::detail {

struct FileDialogAnswer {
  bool scripted = false;  // false: show the real dialog
  FileDialogResult result = FileDialogResult::kCancelled;
};
// Answers a file dialog instead of the user, when set.
extern FileDialogAnswer (*gScriptedFileDialog)(bool save, const FileDialogRequest& request, ChosenFile& chosen);
// Called with the real dialog once it is shown, when set.
extern void (*gFileDialogSeam)(QFileDialog& dialog);

}  // namespace platform::detail
