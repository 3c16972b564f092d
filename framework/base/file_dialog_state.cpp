#include "framework/base/file_dialog_state.h"

FileDialogState gFileDialog;

namespace {
constexpr size_t kMaxPathText = 256;
}

void ResetFileDialogState() { gFileDialog = FileDialogState{}; }
std::string GetDialogDirectory() { return gFileDialog.directory; }
void SetDialogDirectory(const std::string& directory) { gFileDialog.directory = directory.substr(0, kMaxPathText); }
std::string GetDialogFileName() { return gFileDialog.fileName; }
void SetDialogFileName(const std::string& fileName) { gFileDialog.fileName = fileName.substr(0, kMaxPathText); }
