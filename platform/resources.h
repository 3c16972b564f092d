// Named resources of a program (resources/<program>/, see resources/README.md).
// A missing resource gives none, silently.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace platform {

Bitmap LoadBitmap(Instance instance, std::string_view name);
// An RCDATA block's bytes, copied; false when missing.
bool LoadRcData(Instance instance, std::string_view name, std::vector<std::uint8_t>& bytes);
bool HasIcon(Instance instance, std::string_view name);

}  // namespace platform
