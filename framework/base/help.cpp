#include "framework/base/help.h"

#include <string>

#include "framework/base/framework_windows.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/core/text_encoding.h"
#include "platform/help.h"

void ShowHelp(int contextId, const char* fileName) {
  std::string path = GetStartDirectory() + "/" + (fileName ? fileName : "");
  const std::string found = FindFileIgnoringCase(path);
  const char* fault = found.empty()                               ? "Can\xB4t locate file\n"
                      : !platform::OpenHelpFile(found, contextId) ? "Can\xB4t show help file\n"
                                                                  : nullptr;
  if (!fault) return;
  std::string text = fault + Utf8ToCp1252(path);
  ShowMessage(text.c_str(), nullptr, kMsgOk);
}
