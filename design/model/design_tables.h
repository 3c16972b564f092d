// What a calculation reads of a design: its object list and its tables of
// loudspeaker types and materials. The calculations take these as a
// parameter instead of reaching for the program's own, so that kv, ksb, the
// tests and the benchmarks hand in whatever design they hold, and two
// calculations can read one design side by side.
#pragma once

#include "design/model/absorber_database.h"
#include "design/model/speaker_type.h"
#include "framework/model/graphic_object.h"

struct DesignTables {
  // Not const: building the calculation faces sets a material item that
  // names no material to material 0.
  ObjectList* model = nullptr;
  const SpeakerTypeTable* types = nullptr;
  const MaterialTable* materials = nullptr;
};

// The program's own design: the model list, the project's loudspeaker types
// and the project's materials.
DesignTables ProjectTables();
