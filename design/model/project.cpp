#include "design/model/project.h"

#include "design/model/loudspeaker.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"
#include "framework/model/plot_header.h"

ProjectState gProject;

void ResetProjectState() { gProject = ProjectState{}; }

int NewProject() {
  ResetObjectStore();
  ResetLayers(gLayers);
  ResetPlotHeader();
  gProject.view = ProjectViewSettings{};
  ResetSpeakerModel();
  gProject.path = kDefaultProjectPath;
  return 1;
}
