// The one registry of the resets of the global records. A record's source
// file registers the reset of its record once, at static initialisation:
//
//   const StateReset kReset(ResetLevelMap);
//
// and ResetAllState runs every reset registered in the program, so that a
// test fixture puts all state back with one call, before and after each
// test, whatever libraries its program links. A reset puts back only its
// own record (freeing what the record owns), so their order does not
// matter. What the platform layer holds goes with platform::EndApplication;
// the core services and the message handler stay as they are installed.
#pragma once

class StateReset {
 public:
  explicit StateReset(void (*reset)());
};

// Runs every registered reset, in the order they were registered.
void ResetAllState();
