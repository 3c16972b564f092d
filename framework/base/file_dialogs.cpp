#include "framework/base/file_dialogs.h"

#include <string>

#include "framework/base/framework_windows.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/core/text_encoding.h"
#include "platform/file_dialog.h"

namespace {

constexpr std::size_t kLongestTitle = 19;  // what a 20-character title buffer holds

platform::FileDialogRequest Request(const char* filter, std::string fileName) {
  platform::FileDialogRequest request;
  request.owner = ActiveOrMainWindow();
  for (const FilterPair& pair : SplitFilter(filter ? filter : ""))
    request.filters.push_back({Cp1252ToUtf8(pair.description), Cp1252ToUtf8(pair.patterns)});
  request.filterIndex = 1;
  request.folder = gFileDialog.directory;
  request.fileName = std::move(fileName);
  return request;
}

void Remember(const platform::ChosenFile& chosen) {
  SetDialogDirectory(chosen.path.substr(0, chosen.nameOffset));
  SetDialogFileName(chosen.path.substr(chosen.nameOffset));
}

}  // namespace

int OpenFileDialog(const char* filter, const char* defaultName) {
  platform::ChosenFile chosen;
  switch (platform::ShowOpenDialog(Request(filter, defaultName ? defaultName : ""), chosen)) {
    case platform::FileDialogResult::kChosen: Remember(chosen); return 1;
    case platform::FileDialogResult::kCancelled: return 0;
    case platform::FileDialogResult::kFailed: break;
  }
  ShowMessage("File Selection Error", nullptr, kMsgIconStop);
  return 0;
}

int SaveFileDialog(const char* filter, const char* defaultName) {
  std::string title = defaultName ? defaultName : "";
  title.erase(0, title.rfind('/') == std::string::npos ? 0 : title.rfind('/') + 1);
  if (title.size() > kLongestTitle) title.clear();
  platform::ChosenFile chosen;
  if (platform::ShowSaveDialog(Request(filter, title), chosen) != platform::FileDialogResult::kChosen) return 0;
  Remember(chosen);
  return 1;
}
