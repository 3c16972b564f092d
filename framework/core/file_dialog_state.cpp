#include "framework/core/file_dialog_state.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

FileDialogState gFileDialog;

void ResetFileDialogState() { gFileDialog = FileDialogState{}; }
std::string GetDialogDirectory() { return gFileDialog.directory; }
void SetDialogDirectory(const std::string& directory) { gFileDialog.directory = directory; }
std::string GetDialogFileName() { return gFileDialog.fileName; }
void SetDialogFileName(const std::string& fileName) { gFileDialog.fileName = fileName; }

std::string ForceExtension(const std::string& path, std::string_view extension) {
  auto same = [](char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
  };
  const bool ends = path.size() >= extension.size() &&
                    std::equal(extension.begin(), extension.end(), path.end() - std::ptrdiff_t(extension.size()), same);
  return ends ? path : path + std::string(extension);
}
