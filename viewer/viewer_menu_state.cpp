#include "viewer/viewer_menu_state.h"

#include "design/commands/command_ids.h"

namespace {

bool Allowed(int id, const ViewerMenuStateInput& in) {
  const bool anyObjects = in.roomObjects + in.audienceObjects + in.loudspeakers > 0;
  const bool roomFaces = in.roomFacesOrSolids > 0;
  const bool audience = in.audienceObjects > 0;
  const bool speakers = in.loudspeakers > 0;
  switch (id) {
    case kCmdZoomAll:
    case kCmdZoomWindow: return anyObjects;
    case kCmdFaceList:
    case kCmdRt60Sabine:
    case kCmdRt60Eyring:
    case kCmdRt60Fitzroy:
    case kCmdRt60Measurement: return roomFaces;
    case kCmdLoadRayFile: return roomFaces && speakers;
    case kCmdShowLastCalculation:
    case kCmdSaveCalculation: return in.calculationHeld && (roomFaces || (audience && speakers));
    case kCmdLoadCalculation: return audience;
    case kCmdSpeakerListing: return speakers;
    default: return true;
  }
}

}  // namespace

std::map<int, MenuItemState> ComputeViewerMenuState(const ViewerMenuStateInput& input,
                                                    const CommandRegistry& registry) {
  return ComputeMenuItemStates(
      registry, [&input](int id) { return Allowed(id, input); }, [&input](int id) { return ViewCheckMark(id, input); });
}
