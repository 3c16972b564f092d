// Start and end of the platform for one program.
#pragma once

#include <string_view>

#include "platform/types.h"

namespace platform {

// Starts the toolkit for `program` (once per process; later calls reuse it),
// forces the C numeric locale for printf/scanf, records the start folder and
// binds the program's resources (resources/<program>/, embedded as
// ":/<program>/..."). The instance names that resource set in the loaders.
Instance StartApplication(std::string_view program);

// Destroys every window left, empties the message queue and clears a posted
// quit, unregisters the window classes and frees menus and drawing objects.
// The toolkit itself stays up for the rest of the process.
void EndApplication(Instance instance);

}  // namespace platform
