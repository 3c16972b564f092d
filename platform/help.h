// The programs' help: an HTML document shown by the desktop's browser.
//
// The help file is named as the program names it (its documents call them
// .HLP files); its topics are anchors "context-<id>", and the index is the
// top of the document.
#pragma once

#include <string_view>

namespace platform {

// Opens the help file at the topic `contextId`, or at its index for a
// context below 2; false when the file is missing or cannot be shown.
bool OpenHelpFile(std::string_view path, int contextId);

}  // namespace platform
