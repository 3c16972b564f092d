// Computes the level and time map of a project with the suite's own
// calculation and stores the project again with the result behind it, so
// that the viewer has a stored calculation to show.
//
//   example_calculation <PROJECT.KPR> <LSTMPL.bin> <RESULT.KPR>
//
// The map is computed with the project's own calculation options, as
// Calculate/Level + Time computes it after its dialog's "Start".
#include <cstdio>
#include <vector>

#include "design/acoustics/level_map.h"
#include "design/document/project_document.h"
#include "design/model/design_tables.h"
#include "design/model/loudspeaker.h"
#include "design/model/project.h"
#include "design/model/shape_file.h"
#include "framework/core/byte_codec.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <PROJECT.KPR> <LSTMPL.bin> <RESULT.KPR>\n", argv[0]);
    return 2;
  }
  std::vector<uint8_t> symbol;
  if (!ReadWholeFile(argv[2], symbol) || !(gSpeakerModel.defaultSymbol = ReadShapeResource(symbol))) {
    std::fprintf(stderr, "cannot read the loudspeaker symbol %s\n", argv[2]);
    return 1;
  }
  if (ReadProjectFile(argv[1]) != 1) {
    std::fprintf(stderr, "cannot read the project %s\n", argv[1]);
    return 1;
  }
  if (RunLevelTimeCalculation(gProject.calcOptions, ProjectTables()) != LevelMapRun::kDone) {
    std::fprintf(stderr, "the level and time map of %s was not computed\n", argv[1]);
    return 1;
  }
  if (SaveProjectAs(argv[3]) != 1) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
