#include "design/shell/menu_state.h"

#include "design/document/history_file.h"
#include "design/shell/core/command_table.h"

namespace {

bool InRange(int id, int first, int last) { return id >= first && id <= last; }

// Whether the model allows command `id`, apart from whether it is built.
bool Allowed(int id, const MenuStateInput& in) {
  const bool anyObjects = in.roomObjects + in.audienceObjects + in.loudspeakers + in.auxiliaryObjects > 0;
  const bool roomFaces = in.roomFacesOrSolids > 0;
  const bool audience = in.audienceObjects > 0;
  const bool speakers = in.loudspeakers > 0;
  switch (id) {
    case kCmdUndo: return in.canUndo;
    case kCmdRedo: return in.canRedo;
    case kCmdSaveProjectAs:
    case kCmdPrintRegion:
    case kCmdZoomAll:
    case kCmdZoomWindow: return anyObjects;
    case 121:
    case 123:
    case 2501:
    case kCmdFaceList:
    case 2601: return roomFaces;
    case 125:
    case 127: return speakers;
    case kCmdNewLoudspeaker: return in.speakerDatabase;
    case kCmdLevelAndTime: return audience && speakers;
    case kCmdCalculateRays:
    case kCmdLoadRayFile: return roomFaces && speakers;
    case kCmdShowLastCalculation:
    case kCmdSaveCalculation: return in.resultPresent && (roomFaces || audience);
    case kCmdLoadCalculation: return audience;
    default: break;
  }
  if (InRange(id, kCmdRecentProject, kCmdRecentProject + kRecentProjectCount - 1))
    return id - kCmdRecentProject < in.recentProjects;
  if (InRange(id, 1003, 1018)) return speakers;
  if (InRange(id, 2301, 2315)) return in.roomObjects > 0;
  if (InRange(id, 3301, 3311)) return audience;
  if (InRange(id, 4301, 4315)) return in.auxiliaryObjects > 0;
  if (InRange(id, 5010, 5013)) return roomFaces;
  if (InRange(id, kCmdProcessAndPlay, kCmdPlayOutputFile)) return in.audioReady;
  return true;
}

}  // namespace

std::map<int, MenuItemState> ComputeMenuState(const MenuStateInput& input, const CommandRegistry& registry) {
  return ComputeMenuItemStates(
      registry, [&input](int id) { return Allowed(id, input); }, [&input](int id) { return ViewCheckMark(id, input); });
}
