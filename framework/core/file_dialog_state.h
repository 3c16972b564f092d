// The folder and file name the last file dialog chose. The folder ends with
// its '/' so that callers build a path by joining the two directly; programs
// preset the folder to start the next dialog in a remembered place.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Both are kept whole: a path cut to a fixed length would name another place.
struct FileDialogState {
  std::string directory;  // with its trailing '/'
  std::string fileName;   // without a folder
};
extern FileDialogState gFileDialog;

void ResetFileDialogState();
std::string GetDialogDirectory();
void SetDialogDirectory(const std::string& directory);
std::string GetDialogFileName();
void SetDialogFileName(const std::string& fileName);

// The folder of a path with its trailing '/', empty for a bare file name.
std::string FolderOfPath(std::string_view path);
// The path of the file in `path`'s folder whose name equals `path`'s name
// without regard to case (the exact name first); empty when there is none.
std::string FindFileIgnoringCase(std::string_view path);
// The same for a folder (`path` without a trailing '/'); the path found ends
// with its '/'.
std::string FindFolderIgnoringCase(std::string_view path);
// Whether two paths name one file: the same existing file, or the same
// path once made absolute and normal. False when either is empty.
bool IsSameFile(const std::string& a, const std::string& b);

// One pair of a file-dialog filter: what the user reads and the patterns
// (';'-separated) it stands for.
struct FilterPair {
  std::string description;
  std::string patterns;
};
// The programs' filter strings, '|' between the parts ("Korvane
// Project|*.kpr|"), as their pairs; a description without patterns is
// dropped. The caller's text is left as it is.
std::vector<FilterPair> SplitFilter(std::string_view filter);

// The path a save dialog returned, with `extension` (".KPR") appended
// unless the path ends with it in any case.
std::string ForceExtension(const std::string& path, std::string_view extension);
