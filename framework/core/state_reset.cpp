#include "framework/core/state_reset.h"

#include <vector>

namespace {

// Built on first use, so that registrations from any file's static
// initialisation find it.
std::vector<void (*)()>& Resets() {
  static std::vector<void (*)()> resets;
  return resets;
}

}  // namespace

StateReset::StateReset(void (*reset)()) { Resets().push_back(reset); }

void ResetAllState() {
  for (void (*reset)() : Resets()) reset();
}
