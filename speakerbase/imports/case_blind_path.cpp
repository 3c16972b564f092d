#include "speakerbase/imports/case_blind_path.h"

#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

// The entry of `folder` named `name` in any case, exact spelling first; empty
// when there is none. Stepped with an error code: a folder that vanishes
// midway ends the search.
fs::path FindEntry(const fs::path& folder, std::string_view name) {
  std::error_code error;
  const fs::path exact = folder / fs::path(std::string(name));
  if (fs::exists(exact, error)) return exact;
  const fs::path listed = folder.empty() ? fs::path(".") : folder;
  for (fs::directory_iterator it(listed, error); !error && it != fs::directory_iterator(); it.increment(error))
    if (EqualIgnoringAsciiCase(it->path().filename().string(), name)) return folder / it->path().filename();
  return {};
}

}  // namespace

std::pair<std::string, std::string> SplitFolderAndName(std::string_view path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {std::string(), std::string(path)};
  return {std::string(path.substr(0, slash + 1)), std::string(path.substr(slash + 1))};
}

std::string FindPathIgnoringCase(const std::string& folder, std::string_view relative) {
  fs::path found(folder);
  while (!relative.empty()) {
    const size_t slash = relative.find('/');
    const std::string_view name = relative.substr(0, slash);
    if (name.empty()) return {};
    found = FindEntry(found, name);
    if (found.empty()) return {};
    relative = slash == std::string_view::npos ? std::string_view() : relative.substr(slash + 1);
  }
  std::error_code error;
  if (!fs::is_regular_file(found, error)) return {};
  return found.string();
}
