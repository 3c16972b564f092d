// The clipboard: a bitmap put there for other programs.
#pragma once

#include "platform/types.h"

namespace platform {

// Empties the clipboard and puts a copy of the bitmap on it; true when the
// clipboard took it (the caller keeps the bitmap).
bool CopyBitmapToClipboard(Bitmap bitmap);

}  // namespace platform
