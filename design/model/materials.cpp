#include "design/model/materials.h"

#include <vector>

#include "design/model/project.h"
#include "framework/core/state_reset.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"

MaterialState gMaterials;

void ResetMaterials() {
  gMaterials.databasePath.clear();
  gMaterials.partlyReadFile.clear();
  ResetProjectMaterials();
}

namespace {
const StateReset kReset(ResetMaterials);
}  // namespace

void ResetProjectMaterials() {
  gMaterials.project = MaterialTable{};
  if (gMaterials.databasePath.empty()) gMaterials.database = AbsorberDatabase{};
  SetDefaultMaterial();
}

AbsorberRecord DefaultMaterial() {
  AbsorberRecord record;
  record.name = "100%";
  record.description = "Absorber 100%";
  record.absorption.fill(1.0f);
  return record;
}

void SetDefaultMaterial() {
  gMaterials.project.records[0] = DefaultMaterial();
  gMaterials.project.count = 1;
  gProject.measuredRt.fill(0.0);
}

void TakeProjectMaterials(const MaterialTable& stored) {
  MaterialTable& project = gMaterials.project;
  project = stored;
  if (project.count > 0) return;
  project.records[0] = DefaultMaterial();
  project.count = 1;
}

int AddMaterialFromDatabase(int dbIndex) {
  const AbsorberDatabase& database = gMaterials.database;
  if (dbIndex < 0 || dbIndex >= database.count) return -1;
  const AbsorberRecord& record = database.records[dbIndex];
  if (record.name.empty()) return -1;

  MaterialTable& project = gMaterials.project;
  int freeEntry = -1;
  for (int i = 0; i < project.count; ++i) {
    if (project.records[i].name == record.name) return i;
    if (i > 0 && project.records[i].name.empty()) freeEntry = i;
  }
  if (freeEntry < 0) {
    if (project.count >= kMaxAbsorberRecords) return -1;
    freeEntry = project.count++;
  }
  project.records[freeEntry] = record;
  return freeEntry;
}

void PurgeUnusedMaterials() {
  MaterialTable& project = gMaterials.project;
  if (project.count < 1) return;
  std::vector<bool> used(project.count, false);
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) {
    if (o->layer != kRoomLayer || !(o->kind & kKindFaceOrSolid)) continue;
    for (uint32_t i = 0; i < o->itemCount; ++i)
      if (o->items[i].op == kOpAttribute && o->items[i].index < project.count) used[o->items[i].index] = true;
  }
  for (int i = 1; i < project.count; ++i)
    if (!used[i]) project.records[i].name.clear();
}

void FinishMaterialAssignment(const MaterialTable& before, bool assigned) {
  if (assigned) PurgeUnusedMaterials();
  else gMaterials.project = before;
}

int LoadAbsorberDatabase(const std::string& path) {
  bool partlyRead = false;
  const int result = ReadAbsorberDatabaseFile(path, gMaterials.database, "Invalid file format", &partlyRead);
  if (result == 1) {
    gMaterials.databasePath = path;
    gMaterials.partlyReadFile = partlyRead ? path : std::string();
  }
  return result;
}
