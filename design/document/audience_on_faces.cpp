#include "design/document/audience_on_faces.h"

#include <vector>

#include "framework/model/layers.h"

GraphicObject* CreateAudienceOnFace(const GraphicObject& object, uint32_t first, float height) {
  if (first >= object.itemCount || object.items[first].op != kOpStart) return nullptr;
  std::vector<ObjectItem> items;
  std::vector<ObjectVertex> vertices;
  for (uint32_t i = first; i < object.itemCount; ++i) {
    const ObjectItem item = object.items[i];
    if (i != first && item.op == kOpStart) return nullptr;
    if (item.op == kOpAttribute) {
      items.push_back({kOpAttribute, 0});
      continue;
    }
    if (item.index >= object.vertexCount) return nullptr;
    ObjectVertex raised = object.vertices[item.index];
    raised.z += height;
    items.push_back({item.op, uint16_t(vertices.size())});
    vertices.push_back(raised);
    if (item.op != kOpClose) continue;
    GraphicObject* area = CreateObject(0, uint32_t(vertices.size()), uint32_t(items.size()));
    if (!area) return nullptr;
    std::copy(vertices.begin(), vertices.end(), area->vertices);
    std::copy(items.begin(), items.end(), area->items);
    area->state = kAudienceOnFaceState;
    area->layer = kAudienceLayer;
    area->kind = kAudienceOnFaceKind;
    area->colour = kAudienceOnFaceColour;
    return area;
  }
  return nullptr;
}
