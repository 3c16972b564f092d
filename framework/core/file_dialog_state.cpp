#include "framework/core/file_dialog_state.h"

#include <filesystem>
#include <system_error>

#include "framework/core/text_encoding.h"

FileDialogState gFileDialog;

void ResetFileDialogState() { gFileDialog = FileDialogState{}; }
std::string GetDialogDirectory() { return gFileDialog.directory; }
void SetDialogDirectory(const std::string& directory) { gFileDialog.directory = directory; }
std::string GetDialogFileName() { return gFileDialog.fileName; }
void SetDialogFileName(const std::string& fileName) { gFileDialog.fileName = fileName; }

std::string FolderOfPath(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string FindFileIgnoringCase(std::string_view path) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::is_regular_file(fs::path(path), error)) return std::string(path);
  const std::string folder = FolderOfPath(path);
  const std::string_view name = path.substr(folder.size());
  // Stepped with an error code: a folder that vanishes midway ends the search.
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), error);
       !error && it != fs::directory_iterator(); it.increment(error)) {
    const std::string entryName = it->path().filename().string();
    if (EqualIgnoringCase(entryName, name) && it->is_regular_file(error)) return folder + entryName;
  }
  return {};
}

std::string ForceExtension(const std::string& path, std::string_view extension) {
  const bool ends = path.size() >= extension.size() &&
                    EqualIgnoringCase(std::string_view(path).substr(path.size() - extension.size()), extension);
  return ends ? path : path + std::string(extension);
}
