#include "design/model/project.h"

#include "design/model/design_tables.h"
#include "design/model/loudspeaker.h"
#include "design/model/materials.h"
#include "framework/core/state_reset.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"
#include "framework/model/plot_header.h"

ProjectState gProject;

DesignTables ProjectTables() { return {&gObjects.model, &gSpeakerModel.types, &gMaterials.project}; }

void ResetProjectState() { gProject = ProjectState{}; }

namespace {
const StateReset kReset(ResetProjectState);
}  // namespace

void ClearProjectModel() {
  ResetObjectStore();
  ResetLayers(gLayers);
  gLayers.SetVisible(kShapeLayer, false);
  ResetPlotHeader();
  gProject.view = ProjectViewSettings{};
  gProject.calcOptions = CalcOptions{};
  ResetSpeakerModel();
  ResetProjectMaterials();
  gProject.path = kDefaultProjectPath;
}
