#include "framework/core/file_dialog_state.h"

#include <filesystem>
#include <system_error>

#include "framework/core/state_reset.h"
#include "framework/core/text_encoding.h"

FileDialogState gFileDialog;

void ResetFileDialogState() { gFileDialog = FileDialogState{}; }

namespace {
const StateReset kReset(ResetFileDialogState);
}  // namespace
std::string GetDialogDirectory() { return gFileDialog.directory; }
void SetDialogDirectory(const std::string& directory) { gFileDialog.directory = directory; }
std::string GetDialogFileName() { return gFileDialog.fileName; }
void SetDialogFileName(const std::string& fileName) { gFileDialog.fileName = fileName; }

std::string FolderOfPath(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

namespace {

namespace fs = std::filesystem;

enum class EntryKind { kFile, kFolder };

bool IsEntryOfKind(const fs::path& path, EntryKind kind, std::error_code& error) {
  return kind == EntryKind::kFile ? fs::is_regular_file(path, error) : fs::is_directory(path, error);
}

// The entry of `path`'s folder whose name equals `path`'s name without regard
// to case (the exact name first) and that is of `kind`; empty when none is.
std::string FindEntryIgnoringCase(std::string_view path, EntryKind kind) {
  std::error_code error;
  if (IsEntryOfKind(fs::path(path), kind, error)) return std::string(path);
  const std::string folder = FolderOfPath(path);
  const std::string_view name = path.substr(folder.size());
  // Stepped with an error code: a folder that vanishes midway ends the search.
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), error);
       !error && it != fs::directory_iterator(); it.increment(error)) {
    const std::string entryName = it->path().filename().string();
    if (EqualIgnoringCase(entryName, name) && IsEntryOfKind(it->path(), kind, error)) return folder + entryName;
  }
  return {};
}

}  // namespace

std::string FindFileIgnoringCase(std::string_view path) { return FindEntryIgnoringCase(path, EntryKind::kFile); }

std::string FindFolderIgnoringCase(std::string_view path) {
  const std::string found = FindEntryIgnoringCase(path, EntryKind::kFolder);
  return found.empty() ? found : found + "/";
}

bool IsSameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  std::error_code error;
  if (fs::equivalent(a, b, error)) return true;
  const fs::path absoluteA = fs::absolute(a, error).lexically_normal();
  const fs::path absoluteB = fs::absolute(b, error).lexically_normal();
  return !error && absoluteA == absoluteB;
}

std::string ForceExtension(const std::string& path, std::string_view extension) {
  const bool ends = path.size() >= extension.size() &&
                    EqualIgnoringCase(std::string_view(path).substr(path.size() - extension.size()), extension);
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
