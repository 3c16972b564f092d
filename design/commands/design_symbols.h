// The symbols of the design programs, from their resources: the default
// loudspeaker symbol "LSTMPL" and the axis cross "XYZ_CROSS" (drawn without
// its two reference points), and the hooks through which a loudspeaker's
// symbol, rebuilt in place, is taken off the screen and drawn again.
#pragma once

// Loads both symbols (one missing from the resources stays none) and sets
// the hooks; FreeDesignSymbols undoes it at the end of the program.
void LoadDesignSymbols();
void FreeDesignSymbols();
