// The open and save dialogs of the system, as the programs ask for files.
//
// Filters match file names without regard to case ("*.kpr" lists
// "HALL.KPR" and "hall.kpr"), because files come from other systems with
// upper-case extensions. Paths use '/'. The dialog is modal over its owner
// and runs the layer's queue meanwhile; a quit posted meanwhile cancels it
// and stays posted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace platform {

struct FileFilter {
  std::string description;  // "Korvane Project"
  std::string patterns;     // "*.kpr", or several: "*.kpr;*.kab"
};

struct FileDialogRequest {
  Window owner = Window::kNone;
  std::string title;                // empty: "Open" or "Save As"
  std::vector<FileFilter> filters;  // none: every file
  int filterIndex = 1;              // the filter shown first, from 1
  std::string folder;               // where it starts; empty: the current folder
  std::string fileName;             // the name field's first content
};

// The file chosen: its full path, and where its name starts in it, so that
// path.substr(0, nameOffset) is the folder with its trailing '/'.
struct ChosenFile {
  std::string path;
  std::size_t nameOffset = 0;
};

// Cancelled is the user's No; failed is a dialog that could not be shown
// or gave no usable path.
enum class FileDialogResult { kChosen, kCancelled, kFailed };

// Open: the file must exist. Save: an existing file is only taken after the
// user agreed to replace it; no extension is added.
FileDialogResult ShowOpenDialog(const FileDialogRequest& request, ChosenFile& chosen);
FileDialogResult ShowSaveDialog(const FileDialogRequest& request, ChosenFile& chosen);

// True when `name` matches one of the ';'-separated patterns ('*' any run
// of characters, '?' one character) without regard to case.
bool MatchesFileFilter(std::string_view patterns, std::string_view name);

}  // namespace platform
