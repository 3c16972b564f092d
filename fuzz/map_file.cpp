// The map-file block of Calculate/Load Calculation and of a project that
// holds a result: its header, faces, grid and single points, read into the
// held result over the current design.
#include "design/acoustics/map_file.h"
#include "design/acoustics/level_map.h"
#include "design/model/design_tables.h"
#include "fuzz/fuzz_check.h"

namespace {

bool ReadBlock(FuzzInput bytes) {
  MemoryReader reader(bytes);
  return ReadMapFileBlock(reader, ProjectTables());
}

FuzzBytes WriteBlock() {
  MemoryWriter writer;
  FuzzRequire(WriteMapFileBlock(writer), "the block is written");
  return writer.Take();
}

// A held result of one face and one point, for a failed read to keep.
void HoldResult() {
  ClearMapResult();
  MapResult& result = gLevelMap.result;
  result.faces.faces.resize(1);
  result.faces.faces[0].normal = {0, 0, 2};
  result.grid.spacing = 1;
  result.grid.points.resize(1);
  result.grid.points[0].level.fill(100);
  gLevelMap.singlePoints = SinglePointList{.count = 1, .pointCount = 1};
  gLevelMap.description = "held";
  gLevelMap.resultPresent = 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  ResetFuzzProject();
  HoldResult();
  CheckReadWriteRead(FuzzInput(data, size), ReadBlock, WriteBlock);
  return 0;
}
