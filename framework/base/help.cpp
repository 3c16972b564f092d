#include "framework/base/help.h"

#include <string>

#include "framework/base/framework_windows.h"
#include "framework/core/services.h"
#include "framework/core/text_encoding.h"
#include "platform/help.h"

void ShowHelp(int contextId, const char* fileName) {
  std::string path = GetStartDirectory() + "/" + (fileName ? fileName : "");
  if (platform::OpenHelpFile(path, contextId)) return;
  std::string text = "Can\xB4t locate file\n" + Utf8ToCp1252(path);
  ShowMessage(text.c_str(), nullptr, kMsgOk);
}
