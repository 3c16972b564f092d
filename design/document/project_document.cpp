#include "design/document/project_document.h"

#include "design/acoustics/calc_faces.h"
#include "design/acoustics/level_map.h"
#include "design/acoustics/map_file.h"
#include "design/acoustics/receiver_engine.h"
#include "design/model/design_tables.h"
#include "design/model/project.h"
#include "design/model/project_file.h"

namespace {

void ClearCalculations() {
  ClearMapResult();
  ResetReceiverEngine();
  ResetCalcFaceTable();
}

// The held result's block behind the model, when there is one.
bool WriteResultTrailer(ByteWriter& writer) { return gLevelMap.resultPresent != 1 || WriteMapFileBlock(writer); }

}  // namespace

void CommitProjectDocument(ProjectModel& model, const std::string& path) {
  ClearCalculations();
  CommitProjectModel(model, path);
  if (!model.resultBlock.empty()) {
    MemoryReader block(model.resultBlock);
    ReadMapFileBlock(block, ProjectTables());
  }
}

int NewProject() {
  ClearProjectModel();
  ClearCalculations();
  return 1;
}

int ReadProjectFile(const std::string& path) {
  ProjectModel model;
  if (!ParseProjectFile(path, model)) return 0;
  CommitProjectDocument(model, path);
  return 1;
}

int ReadOldProjectFile(const std::string& path) {
  ProjectModel model;
  if (!ParseOldProjectFile(path, model)) return 0;
  CommitProjectDocument(model, path);
  return 1;
}

bool WriteProjectDocument(ByteWriter& writer) { return WriteProjectFile(writer) && WriteResultTrailer(writer); }

int SaveProjectAs(const std::string& path) { return SaveProjectFile(path, WriteResultTrailer); }
