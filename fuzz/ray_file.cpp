// The ray file (.KRF) reader, ReadRayFileContents: only RayPath objects as
// the search makes them, all of them or nothing. What it reads is written
// again and reads back the same.
#include "design/acoustics/ray_file.h"
#include "design/acoustics/ray_paths.h"
#include "fuzz/fuzz_check.h"

namespace {

RayFileContents gContents;

bool ReadContents(FuzzInput bytes) {
  MemoryReader reader(bytes);
  return ReadRayFileContents(reader, gContents);
}

FuzzBytes WriteContents() {
  MemoryWriter writer;
  FuzzRequire(WriteRayFile(writer, gContents.paths.list(), gContents.description, gContents.meanFreePath),
              "the paths are written");
  return writer.Take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  // One path held before, for a failed read to keep.
  gContents = RayFileContents{};
  gContents.description = "held";
  gContents.meanFreePath = 2.5;
  PathRecord record;
  record.nodes[0] = {kSourceTag, {0, 0, 0}};
  record.nodes[1] = {kTargetTag, {1, 0, 0}};
  AppendObjectToList(CreateRayPath(record), gContents.paths.list());
  CheckReadWriteRead(FuzzInput(data, size), ReadContents, WriteContents);
  FuzzRequire(gContents.paths.empty() || HasRayPaths(gContents.paths.list()), "what is read is ray paths");
  return 0;
}
