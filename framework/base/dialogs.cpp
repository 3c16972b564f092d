#include "framework/base/dialogs.h"

#include "framework/base/framework_windows.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"
#include "framework/core/text_encoding.h"

void ShowDialogError() { ShowMessage("Unable to display dialog", "System Error", kMsgIconStop | kMsgSystemModal); }

int RunModalDialog(const char* name, platform::Window owner, platform::WindowProc proc, platform::LParam param) {
  int result = platform::DialogBox(gFramework.instance, name ? name : "", owner, proc, param);
  if (result == -1) ShowDialogError();
  return result;
}

platform::Window OpenModelessDialog(const char* name, platform::Window owner, platform::WindowProc proc,
                                    platform::LParam param) {
  platform::Window dialog = platform::CreateDialog(gFramework.instance, name ? name : "", owner, proc, param);
  if (dialog == platform::Window::kNone) ShowDialogError();
  return dialog;
}

void SetDialogText(platform::Window dialog, int id, const char* text) {
  platform::SetDialogItemText(dialog, id, Cp1252ToUtf8(text ? text : ""));
}

std::string GetDialogText(platform::Window dialog, int id, std::size_t maxCount) {
  std::string text = Utf8ToCp1252(platform::GetDialogItemText(dialog, id));
  if (maxCount == 0) return {};
  if (text.size() > maxCount - 1) text.resize(maxCount - 1);
  return text;
}

int AddDialogListText(platform::Window dialog, int id, const char* text) {
  return platform::AddListItem(dialog, id, Cp1252ToUtf8(text ? text : ""));
}

int InsertDialogListText(platform::Window dialog, int id, int index, const char* text) {
  return platform::InsertListItem(dialog, id, index, Cp1252ToUtf8(text ? text : ""));
}

std::string GetDialogListText(platform::Window dialog, int id, int index) {
  return Utf8ToCp1252(platform::GetListItemText(dialog, id, index));
}

void FixDecimalComma(platform::Window dialog, int id) {
  if (!platform::IsEditModified(dialog, id)) return;
  std::string text = GetDialogText(dialog, id, 257);
  if (!FixDecimalCommaText(text)) return;
  SetDialogText(dialog, id, text.c_str());
  platform::SetEditModified(dialog, id, false);
  platform::SetEditSelection(dialog, id, -1, -1);
}
