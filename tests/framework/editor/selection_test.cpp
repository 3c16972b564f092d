// The pickers driven by clicks and keys through the toolkit: objects by
// pick box and window (inside or touching by the drag's direction, groups
// whole, other layers, hidden and selected objects never caught), nodes
// (each once, a cancel taking them back) and faces (stepping through
// overlapping faces); and the run of a group.
#include "framework/editor/selection.h"

#include <gtest/gtest.h>

#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/model/layers.h"
#include "tests/framework/editor/editor_fixture.h"

namespace {

class SelectionTest : public EditorTest {
 protected:
  int Select(std::vector<Step> steps) {
    int count = -1;
    RunSteps([&] { count = SelectObjects(); }, std::move(steps));
    return count;
  }
  static bool IsSelected(const GraphicObject* o) { return (o->state & kStateSelected) != 0; }
  GraphicObject* AddMarker(uint32_t kind) {
    GraphicObject* marker = CreateObject(0, 0, 0);
    marker->kind = kind;
    AppendObject(marker);
    return marker;
  }
};

TEST_F(SelectionTest, AClickCatchesTheFirstObjectItsBoxTouches) {
  GraphicObject* a = AddObject({RectangleXY(1, 1, 2, 2)});
  GraphicObject* b = AddObject({RectangleXY(1, 1, 2, 2)});  // on top of a
  GraphicObject* c = AddObject({RectangleXY(3, 1, 4, 2)});
  RedrawAllObjects();
  // On a's edge: a alone, then b under the same spot, then c.
  EXPECT_EQ(Select({ClickOn({1.5f, 1, 0}), ClickOn({1.5f, 1, 0}), ClickOn({4, 1.5f, 0}), Key(platform::kKeyEnter)}), 3);
  EXPECT_TRUE(IsSelected(a) && IsSelected(b) && IsSelected(c));
  EXPECT_EQ(gInput.inputMode, kInputCrosshair);
  EXPECT_EQ(ShownStatusText(), "Select Objects");
  ExpectCleanRedraw();
  // Already selected objects are not caught again: the click opens a window.
  EXPECT_EQ(Select({ClickOn({1.5f, 1, 0}), RightClickIn(draw_)}), 0);
  EXPECT_EQ(gInput.done, 1);
}

TEST_F(SelectionTest, AWindowCatchesInsideOrTouchingByTheWayItIsDrawn) {
  // a lies in the window below, b only reaches into it.
  struct Case {
    const char* name;
    ObjectVertex first, second;
    bool a, b;
  };
  const Case cases[] = {
      {"to the right and down", {0.5f, 2.5f, 0}, {3.5f, 0.5f, 0}, true, true},
      {"to the left and up", {3.5f, 0.5f, 0}, {0.5f, 2.5f, 0}, true, false},
      {"to the right and up", {0.5f, 0.5f, 0}, {3.5f, 2.5f, 0}, true, false},
  };
  GraphicObject* a = AddObject({RectangleXY(1, 1, 2, 2)});
  GraphicObject* b = AddObject({RectangleXY(3, 1, 4, 2)});
  // Never caught: another layer, hidden, selected before.
  GraphicObject* other = AddObject({RectangleXY(1.2f, 1.2f, 1.8f, 1.8f)}, 0, kKindFace, kAudienceLayer);
  GraphicObject* hidden = AddObject({RectangleXY(1.2f, 1.2f, 1.8f, 1.8f)});
  hidden->state = kStateLayerOff;
  GraphicObject* before = AddObject({RectangleXY(0.6f, 0.6f, 0.9f, 0.9f)});
  before->state = kStateSelected;
  RedrawAllObjects();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int count = Select({ClickOn(c.first), ClickOn(c.second), Key(platform::kKeySpace)});
    EXPECT_EQ(count, int(c.a) + int(c.b));
    EXPECT_EQ(IsSelected(a), c.a);
    EXPECT_EQ(IsSelected(b), c.b);
    EXPECT_FALSE(IsSelected(other) || IsSelected(hidden));
    EXPECT_TRUE(IsSelected(before));
    // The window's first corner is the point the command sees last.
    EXPECT_FLOAT_EQ(gInput.acceptedPoint.x, c.first.x);
    ExpectCleanRedraw();
    a->state = b->state = 0;
    RedrawAllObjects();
  }
  // A window that caught nothing closes; the next click picks again.
  EXPECT_EQ(Select({ClickOn({5, 5, 0}), ClickOn({6, 6, 0}), ClickOn({2, 1.5f, 0}), Key(platform::kKeyEnter)}), 1);
  EXPECT_TRUE(IsSelected(a));
}

TEST_F(SelectionTest, AGroupIsCaughtWhole) {
  GraphicObject* start = AddMarker(kKindGroupStart);
  GraphicObject* g1 = AddObject({RectangleXY(1, 1, 2, 2)});
  GraphicObject* g2 = AddObject({RectangleXY(5, 1, 6, 2)});
  GraphicObject* end = AddMarker(kKindGroupEnd);
  RedrawAllObjects();
  // Touching one member takes the group with its markers.
  EXPECT_EQ(Select({ClickOn({1, 1.5f, 0}), Key(platform::kKeyEnter)}), 4);
  EXPECT_TRUE(IsSelected(start) && IsSelected(g1) && IsSelected(g2) && IsSelected(end));
  DeselectAllObjects();
  // An inside window needs every member inside.
  EXPECT_EQ(Select({ClickOn({2.5f, 0.5f, 0}), ClickOn({0.5f, 2.5f, 0}), Key(platform::kKeyEnter)}), 0);
  EXPECT_FALSE(IsSelected(g1));
  EXPECT_EQ(Select({ClickOn({6.5f, 0.5f, 0}), ClickOn({0.5f, 2.5f, 0}), Key(platform::kKeyEnter)}), 4);
  EXPECT_TRUE(IsSelected(g2));
}

TEST_F(SelectionTest, CancelTakesTheSelectionBackAndAnEmptyModelAsksNothing) {
  EXPECT_EQ(SelectObjects(), 0);  // no wait: nothing is in the list
  GraphicObject* a = AddObject({RectangleXY(1, 1, 2, 2)});
  RedrawAllObjects();
  EXPECT_EQ(Select({ClickOn({1, 1.5f, 0}), Key(platform::kKeyEscape)}), 0);
  EXPECT_FALSE(IsSelected(a));
  EXPECT_EQ(gInput.inputMode, kInputCrosshair);
  ExpectCleanRedraw();
}

TEST_F(SelectionTest, GroupRunsNestAndAnUnmatchedStartStandsAlone) {
  GraphicObject* outer = AddMarker(kKindGroupStart);
  GraphicObject* inner = AddMarker(kKindGroupStart);
  AddObject({RectangleXY(0, 0, 1, 1)});
  GraphicObject* innerEnd = AddMarker(kKindGroupEnd);
  GraphicObject* outerEnd = AddMarker(kKindGroupEnd);
  GraphicObject* dangling = AddMarker(kKindGroupStart);
  GraphicObject* face = AddObject({RectangleXY(3, 0, 4, 1)});
  EXPECT_EQ(FindGroupEnd(outer), outerEnd);
  EXPECT_EQ(FindGroupEnd(inner), innerEnd);
  EXPECT_EQ(FindGroupEnd(face), face);
  EXPECT_EQ(FindGroupEnd(dangling), nullptr);
  // The picker takes the damaged marker for an object of its own.
  RedrawAllObjects();
  EXPECT_EQ(Select({ClickOn({3, 0.5f, 0}), Key(platform::kKeyEnter)}), 1);
  EXPECT_TRUE(IsSelected(face));
  EXPECT_FALSE(IsSelected(dangling));
}

TEST_F(SelectionTest, NodesAreTakenOnceAndACancelTakesThemBack) {
  // Two faces of one object sharing the edge from vertex 1 to vertex 2.
  GraphicObject* o = CreateObject(0, 6, 8);
  const ObjectVertex v[6] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}, {2, 1, 0}};
  const ObjectItem items[8] = {{kOpStart, 0}, {kOpLineTo, 1}, {kOpLineTo, 2}, {kOpClose, 3},
                               {kOpStart, 1}, {kOpLineTo, 4}, {kOpLineTo, 5}, {kOpClose, 2}};
  std::copy(v, v + 6, o->vertices);
  std::copy(items, items + 8, o->items);
  o->kind = kKindFace;
  AppendObject(o);
  RedrawAllObjects();
  EXPECT_EQ(SelectNodes(), 0);  // no PickBuffer
  ASSERT_EQ(AllocPickBuffer(16), 1);
  int count = -1;
  RunSteps([&] { count = SelectNodes(); },
           {ClickOn({1, 0, 0}), ClickOn({1, 0, 0}), ClickOn({1, 1, 0}), Key(platform::kKeyEnter)});
  EXPECT_EQ(count, 2);
  ASSERT_EQ(gPicks.nodes.size(), 2u);
  EXPECT_EQ(gPicks.nodes[0], &o->vertices[1]);
  EXPECT_EQ(gPicks.nodes[1], &o->vertices[2]);
  EXPECT_TRUE(IsSelected(o));
  FreePickBuffer();
  DeselectAllObjects();
  AllocPickBuffer(16);
  RunSteps([&] { count = SelectNodes(); }, {ClickOn({0, 0, 0}), Key(platform::kKeyEscape)});
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(gPicks.nodes.empty());
  EXPECT_FALSE(IsSelected(o));
}

TEST_F(SelectionTest, ClicksOnOverlappingFacesStepThroughThem) {
  // One object, two faces over the same spot, and one more; in the plan
  // all three face away from the viewer (as a floor does).
  GraphicObject* o = AddObject({RectangleXY(0, 0, 2, 2), RectangleXY(1, 1, 3, 3), RectangleXY(4, 0, 5, 1)});
  const uint32_t first = 0, second = 5;  // their start items (each with a material item)
  RedrawAllObjects();
  ASSERT_EQ(AllocPickBuffer(2), 1);
  SeedFaceShuffle(7);
  int result = -1;
  uint32_t held = 99;
  const Step overlap = ClickOn({1.5f, 1.5f, 0});
  RunSteps([&] { result = SelectFace(); }, {overlap,
                                            [&] {
                                              held = gPicks.faceItem;
                                              overlap();
                                            },
                                            Key(platform::kKeyEnter)});
  EXPECT_EQ(result, 1);
  EXPECT_EQ(gPicks.faceObject, o);
  EXPECT_TRUE(held == first || held == second);
  EXPECT_NE(gPicks.faceItem, held);
  EXPECT_TRUE(gPicks.faceItem == first || gPicks.faceItem == second);
  // With hidden faces on the face turned away is not offered; a cancel
  // holds nothing.
  gDrawing.hiddenFaces = 1;
  RedrawAllObjects();
  FreePickBuffer();
  AllocPickBuffer(2);
  RunSteps([&] { result = SelectFace(); }, {ClickOn({4.5f, 0.5f, 0}), Key(platform::kKeyEnter)});
  EXPECT_EQ(result, 0);
  EXPECT_EQ(gPicks.faceObject, nullptr);
  gDrawing.hiddenFaces = 0;
  RunSteps([&] { result = SelectFace(); }, {ClickOn({4.5f, 0.5f, 0}), Key(platform::kKeyEscape)});
  EXPECT_EQ(result, 0);
  EXPECT_EQ(gPicks.faceObject, nullptr);
}

}  // namespace
