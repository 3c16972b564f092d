// The path records of the reflection search, turned into RayPath objects in
// front of a model. The records read are written again to the bytes they
// were read from, and every object made agrees with its record.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "design/acoustics/ray_paths.h"
#include "fuzz/fuzz_check.h"

namespace {

bool SameVertex(const ObjectVertex& a, const ObjectVertex& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The object made of `record`.
void CheckRayPath(const GraphicObject* path, const PathRecord& record) {
  const int n = record.reflections;
  FuzzRequire(path && IsRayPath(path) && path->kind == kRayPathKind, "a path is a RayPath");
  FuzzRequire(RayPathReflectionCount(path) == n, "a path's data, vertices and items agree with its reflections");
  FuzzRequire(
      path->dataSize == RayPathDataSize(n) && path->itemCount == uint32_t(n + 2) && ItemsNameTheirVertices(*path),
      "a path's items name its vertices");
  FuzzRequire(path->colour == uint32_t(std::max(25 - (n + 2), 0)), "a path's colour follows its nodes");
  for (int k = 0; k < n + 2; ++k) {
    FuzzRequire(SameVertex(path->vertices[k], record.nodes[size_t(k)].point), "a path's vertices are its nodes");
    FuzzRequire(RayPathTag(path, k) == record.nodes[size_t(k)].tag, "a path's tags are its nodes'");
  }
  FuzzRequire(RayPathTime(path) == 0, "a path starts without a time");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  const FuzzInput input(data, size);
  std::vector<PathRecord> records;
  size_t offset = 0;
  for (PathRecord record; ReadPathRecord(input, offset, record);) records.push_back(record);
  std::vector<uint8_t> written;
  for (const PathRecord& record : records) AppendPathRecord(written, record);
  FuzzRequire(written.size() == offset && std::equal(written.begin(), written.end(), data),
              "the records read are written to the same bytes");

  // A model holding one object, which the paths go in front of.
  ObjectList model;
  GraphicObject* held = CreateObject(0, 2, 2);
  if (!held) std::abort();
  AppendObjectToList(held, model);
  const FuzzBytes before = PackedObjects(model);
  FuzzRequire(LoadPathObjects(model, input) == records.size(), "every record read becomes a path");
  const GraphicObject* path = model.first;
  for (auto record = records.rbegin(); record != records.rend(); ++record, path = path->next)
    CheckRayPath(path, *record);
  FuzzRequire(path == held && !held->next, "the paths stand in front of the model");
  ObjectList heldAlone;
  heldAlone.first = heldAlone.last = held;
  FuzzRequire(PackedObjects(heldAlone) == before, "the model's own object is left alone");
  FreeObjectList(model);
  return 0;
}
