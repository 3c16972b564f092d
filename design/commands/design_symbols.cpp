#include "design/commands/design_symbols.h"

#include "design/model/loudspeaker.h"
#include "design/model/shape_file.h"
#include "framework/base/bitmaps.h"
#include "framework/base/view_state.h"
#include "framework/view/rendering.h"

namespace {

// The shape template `name` of the resources; none when it is missing.
GraphicObject* LoadShapeTemplate(const char* name) {
  const auto block = LoadRcDataResource(name);
  return block ? ReadShapeResource(*block) : nullptr;
}

// A symbol rebuilt in place is first taken off the screen: drawn in the
// background colour, unselected so that the selection pen does not draw it
// instead (the rebuild sets its state and colour anew).
void EraseSpeakerSymbol(GraphicObject* object) {
  object->state &= ~uint32_t(kStateSelected);
  object->colour = uint32_t(gDrawing.backgroundColour);
  DrawObjects(object, object, 0);
}

void DrawSpeakerSymbol(GraphicObject* object) { DrawObjects(object, object, 0); }

}  // namespace

void LoadDesignSymbols() {
  gSpeakerModel.defaultSymbol = LoadShapeTemplate("LSTMPL");
  gRender.axisCross = LoadShapeTemplate("XYZ_CROSS");
  if (gRender.axisCross && gRender.axisCross->vertexCount >= 2) gRender.axisCross->vertexCount -= 2;
  gSpeakerSymbolHooks = {EraseSpeakerSymbol, DrawSpeakerSymbol};
}

void FreeDesignSymbols() {
  gSpeakerSymbolHooks = {};
  FreeObject(gSpeakerModel.defaultSymbol);
  gSpeakerModel.defaultSymbol = nullptr;
  if (gRender.axisCross) gRender.axisCross->vertexCount += 2;
  FreeObject(gRender.axisCross);
  gRender.axisCross = nullptr;
}
