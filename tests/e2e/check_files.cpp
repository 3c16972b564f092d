// Reads what a program of the end-to-end suite wrote with the suite's own
// readers and prints what it holds, one fact a line, for the scenario to
// check:
//
//   korvane_e2e_check project <FILE.KPR>
//     loudspeaker <name> <x> <y> <z>      each placed loudspeaker, in m
//     result none | result <points> points
//     result is the model's calculation   (or: result differs ...), when one
//                                         is held: the level and time map
//                                         computed anew from the read model
//   korvane_e2e_check absorbers <FILE.KAB>
//     material <name>|<c125> ... <c8000>  each record
//   korvane_e2e_check speakers <FILE.KSB>
//     record <brand>|<type>               each record
//
// Exit status 0 when the file read, 1 when its reader refused it (with the
// reader's message on the standard error), 2 for a wrong command line.
#include <cstdio>
#include <string>
#include <vector>

#include "design/acoustics/level_map.h"
#include "design/acoustics/map_file.h"
#include "design/document/project_document.h"
#include "design/model/absorber_database.h"
#include "design/model/design_tables.h"
#include "design/model/loudspeaker.h"
#include "design/model/project.h"
#include "design/model/shape_file.h"
#include "design/model/speaker_database.h"
#include "framework/core/byte_codec.h"
#include "framework/model/graphic_object.h"

namespace {

// The first grid point and band at which `computed` differs from `stored`
// in what the file keeps of them (the level and time codes); empty when
// they agree.
std::string FirstDifference(const MapGrid& stored, const MapGrid& computed) {
  if (stored.PointCount() != computed.PointCount())
    return std::to_string(stored.PointCount()) + " points stored, " + std::to_string(computed.PointCount()) +
           " computed";
  for (uint32_t i = 0; i < stored.PointCount(); ++i)
    for (size_t b = 0; b < size_t(kBandCount); ++b) {
      const GridPoint &s = stored.points[i], &c = computed.points[i];
      if (LevelCode(s.level[b]) != LevelCode(c.level[b]) || TimeCode(s.time[b]) != TimeCode(c.time[b]))
        return "point " + std::to_string(i) + " band " + std::to_string(b) + ": " + std::to_string(s.level[b]) +
               " at " + std::to_string(s.time[b]) + " ms stored, " + std::to_string(c.level[b]) + " at " +
               std::to_string(c.time[b]) + " ms computed";
    }
  return "";
}

int CheckProject(const char* path) {
  // The programs' default loudspeaker symbol, which the reader rebuilds the
  // symbols of the loudspeakers from.
  const std::string symbolPath = KORVANE_SHAPE_TEMPLATE_DIR "/LSTMPL.bin";
  std::vector<uint8_t> symbol;
  if (!ReadWholeFile(symbolPath, symbol) || !(gSpeakerModel.defaultSymbol = ReadShapeResource(symbol))) {
    std::fprintf(stderr, "cannot read the loudspeaker symbol %s\n", symbolPath.c_str());
    return 1;
  }
  if (ReadProjectFile(path) != 1) return 1;
  for (GraphicObject* object = gObjects.model.first; object; object = object->next) {
    Loudspeaker speaker;
    if (IsLoudspeakerObject(object) && ReadLoudspeaker(object, speaker))
      std::printf("loudspeaker %s %.3f %.3f %.3f\n", speaker.name.c_str(), speaker.position[0], speaker.position[1],
                  speaker.position[2]);
  }
  if (!gLevelMap.resultPresent) {
    std::printf("result none\n");
    return 0;
  }
  std::printf("result %u points\n", gLevelMap.result.grid.PointCount());
  const MapGrid stored = gLevelMap.result.grid;
  CalcOptions options = gProject.calcOptions;
  if (RunLevelTimeCalculation(options, ProjectTables()) != LevelMapRun::kDone) {
    std::printf("result differs from the model's calculation: none computed\n");
    return 0;
  }
  const std::string difference = FirstDifference(stored, gLevelMap.result.grid);
  if (difference.empty()) std::printf("result is the model's calculation\n");
  else std::printf("result differs from the model's calculation: %s\n", difference.c_str());
  return 0;
}

int CheckAbsorbers(const char* path) {
  AbsorberDatabase database;
  if (ReadAbsorberDatabaseFile(path, database, kInvalidFileFormatMessage) != 1) return 1;
  for (int i = 0; i < database.count; ++i) {
    const AbsorberRecord& record = database.records[size_t(i)];
    std::printf("material %s|", record.name.c_str());
    for (float coefficient : record.absorption) std::printf(" %s", FormatAbsorption(coefficient).c_str());
    std::printf("\n");
  }
  return 0;
}

int CheckSpeakers(const char* path) {
  SpeakerDatabase database;
  if (ReadSpeakerDatabaseFile(database, path, DatabaseLoad::kOpen) != DatabaseReadResult::kLoaded) return 1;
  for (const SpeakerDatabaseRecord& record : database.records)
    std::printf("record %s|%s\n", record.type->Brand().c_str(), record.type->TypeName().c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc == 3 ? argv[1] : "";
  if (what == "project") return CheckProject(argv[2]);
  if (what == "absorbers") return CheckAbsorbers(argv[2]);
  if (what == "speakers") return CheckSpeakers(argv[2]);
  std::fprintf(stderr, "usage: %s project|absorbers|speakers <FILE>\n", argv[0]);
  return 2;
}
