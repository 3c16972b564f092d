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

std::vector<FilterPair> SplitFilter(std::string_view filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start < filter.size()) {
    std::size_t end = filter.find('|', start);
    if (end == std::string_view::npos) end = filter.size();
    parts.emplace_back(filter.substr(start, end - start));
    start = end + 1;
  }
  std::vector<FilterPair> pairs;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) pairs.push_back({parts[i], parts[i + 1]});
  return pairs;
}
