#include "framework/model/graphic_object.h"
#include "framework/core/state_reset.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/message_recorder.h"

namespace {

class ObjectStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllState(); }
  void TearDown() override { ResetAllState(); }

  static GraphicObject* Make(uint32_t layer = 0, uint32_t kind = kKindLine) {
    GraphicObject* o = CreateObject(0, 0, 0);
    o->layer = layer;
    o->kind = kind;
    return o;
  }
  // The model list read forwards, checked against the backward links.
  static std::vector<GraphicObject*> Order(const ObjectList& list) {
    std::vector<GraphicObject*> forward, backward;
    for (GraphicObject* o = list.first; o; o = o->next) forward.push_back(o);
    for (GraphicObject* o = list.last; o; o = o->previous) backward.insert(backward.begin(), o);
    EXPECT_EQ(forward, backward);
    if (!forward.empty()) {
      EXPECT_EQ(forward.front()->previous, nullptr);
      EXPECT_EQ(forward.back()->next, nullptr);
    }
    return forward;
  }
};

TEST_F(ObjectStoreTest, InsertionCases) {
  ObjectList& model = gObjects.model;
  GraphicObject* a = Make();
  InsertObjectBefore(a, nullptr);  // empty list, NULL position: first and last
  EXPECT_EQ(Order(model), (std::vector<GraphicObject*>{a}));
  GraphicObject* b = Make();
  InsertObjectBefore(b, nullptr);  // NULL position appends after the old last
  EXPECT_EQ(a->next, b);
  GraphicObject* c = Make();
  InsertObjectBefore(c, a);  // before the first: new first
  GraphicObject* d = Make();
  InsertObjectBefore(d, b);  // in the middle
  EXPECT_EQ(Order(model), (std::vector<GraphicObject*>{c, a, d, b}));
  GraphicObject* e = Make();
  AppendObject(e);
  AppendObject(nullptr);
  EXPECT_EQ(Order(model), (std::vector<GraphicObject*>{c, a, d, b, e}));

  UnlinkObject(d);
  EXPECT_EQ(d->previous, nullptr);
  EXPECT_EQ(d->next, nullptr);
  EXPECT_EQ(GetObjectIndex(d), -1);
  UnlinkObject(d);  // in no list: the list is left alone
  EXPECT_EQ(Order(model), (std::vector<GraphicObject*>{c, a, b, e}));
  FreeObject(d);  // unlinked: the list is left alone
  FreeObject(c);  // the first
  FreeObject(e);  // the last
  EXPECT_EQ(Order(model), (std::vector<GraphicObject*>{a, b}));
  EXPECT_EQ(CountObjects(), 2u);
}

TEST_F(ObjectStoreTest, FreeingTheOnlyObjectEmptiesTheList) {
  ObjectList list;
  GraphicObject* only = Make();
  AppendObjectToList(only, list);
  FreeObjectInList(only, list);
  EXPECT_EQ(list.first, nullptr);
  EXPECT_EQ(list.last, nullptr);

  AppendObjectToList(Make(), list);
  AppendObjectToList(Make(), list);
  EXPECT_EQ(&FreeObjectList(list), &list);
  EXPECT_EQ(list.first, nullptr);
  EXPECT_EQ(list.last, nullptr);
}

TEST_F(ObjectStoreTest, IndexLookupAndCounts) {
  GraphicObject* face = Make(0, kKindFace);
  AppendObject(face);
  AppendObject(Make(0, kKindSolid));
  AppendObject(Make(0, kKindLine));
  AppendObject(Make(1, kKindFace));
  AppendObject(Make(2));
  AppendObject(Make(2));
  AppendObject(Make(7));
  EXPECT_EQ(GetObjectByIndex(0), face);
  EXPECT_EQ(GetObjectByIndex(-1), nullptr);
  EXPECT_EQ(GetObjectByIndex(7), nullptr);
  EXPECT_EQ(GetObjectIndex(GetObjectByIndex(6)), 6);
  uint32_t faces = 99;
  EXPECT_EQ(CountObjectsOnLayer0(&faces), 3u);
  EXPECT_EQ(faces, 2u);
  EXPECT_EQ(CountObjectsOnLayer1(), 1u);
  EXPECT_EQ(CountObjectsOnLayer2(), 2u);
  EXPECT_EQ(CountObjectsOnLayer7(), 1u);
}

TEST_F(ObjectStoreTest, CloneCopiesGeometryButNotData) {
  GraphicObject* o = CreateObject(152, 2, 3);
  o->kind = 16;
  o->state = 5;
  o->colour = 27;
  o->layer = 2;
  o->data[0] = 0xAB;
  o->vertices[1] = {1, 2, 3};
  o->items[2] = {kOpClose, 1};
  AppendObject(o);
  GraphicObject* c = CloneObject(o);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->previous, nullptr);
  EXPECT_EQ(c->next, nullptr);
  EXPECT_EQ(c->dataSize, 152u);
  EXPECT_EQ(std::vector<uint8_t>(c->data, c->data + 152), std::vector<uint8_t>(152, 0));
  EXPECT_EQ(c->vertices[1].z, 3.0f);
  EXPECT_EQ(c->items[2].op, kOpClose);
  EXPECT_EQ((std::vector<uint32_t>{c->kind, c->state, c->colour, c->layer}), (std::vector<uint32_t>{16, 5, 27, 2}));
  EXPECT_EQ(PackedObjectSize(c), 48 + 152 + 24 + 12);
  EXPECT_EQ(CloneObject(nullptr), nullptr);
  ObjectList none;
  FreeObjectInList(c, none);
}

TEST_F(ObjectStoreTest, ResizedArraysKeepTheirEntriesAndZeroTheNewOnes) {
  ObjectVertex* vertices = AllocVertexArray(2);
  vertices[1] = {1, 2, 3};
  vertices = ResizeVertexArray(vertices, 2, 4);
  ASSERT_NE(vertices, nullptr);
  EXPECT_EQ(vertices[1].y, 2.0f);
  EXPECT_TRUE(vertices[3].x == 0 && vertices[3].y == 0 && vertices[3].z == 0);
  EXPECT_EQ(ResizeVertexArray(vertices, 4, 0), nullptr);  // freed

  ObjectItem* items = ResizeItemArray(nullptr, 0, 3);
  ASSERT_NE(items, nullptr);
  EXPECT_TRUE(items[2].op == 0 && items[2].index == 0);
  items[0] = {kOpClose, 7};
  items = ResizeItemArray(items, 3, 1);
  EXPECT_EQ(items[0].index, 7);
  ResizeItemArray(items, 1, 0);
  EXPECT_EQ(AllocItemArray(0), nullptr);
}

TEST_F(ObjectStoreTest, LargestSelectedPackedSize) {
  GraphicObject* small = CreateObject(0, 1, 0);
  GraphicObject* big = CreateObject(0, 10, 0);
  GraphicObject* bigger = CreateObject(0, 20, 0);
  small->state = kStateSelected;
  big->state = kStateSelected;
  AppendObject(small);
  AppendObject(big);
  AppendObject(bigger);  // not selected
  EXPECT_EQ(LargestSelectedPackedSize(), 48u + 120u);
}

TEST_F(ObjectStoreTest, ChainWalkAndAccessBlock) {
  GraphicObject* a = CreateObject(0, 3, 1);
  GraphicObject* b = Make();
  GraphicObject* c = Make();
  a->state = kStateChainMember;
  b->state = kStateChainMember;
  c->state = kStateChainMember | kStateChainEnd;
  AppendObject(a);
  AppendObject(b);
  AppendObject(c);

  EXPECT_EQ(AccessObject(kAccessFillBlock, a), a);  // no walk, block from a
  EXPECT_EQ(gObjects.access.object, a);
  EXPECT_EQ(gObjects.access.vertexCount, 3u);

  gObjects.access = ObjectAccessBlock{};
  EXPECT_EQ(AccessObject(kAccessWalkChain, a), c);  // walk, block untouched
  EXPECT_EQ(gObjects.access.object, nullptr);

  EXPECT_EQ(AccessObject(int8_t(kAccessWalkChain | kAccessFillBlock), a), c);
  EXPECT_EQ(gObjects.access.object, a);  // filled from the given object

  c->state = kStateChainMember;  // chain without an end stops at the last
  EXPECT_EQ(AccessObject(kAccessWalkChain, a), c);
  a->state = 0;  // not a chain member: no walk
  EXPECT_EQ(AccessObject(kAccessWalkChain, a), a);
}

TEST_F(ObjectStoreTest, CheckedAllocReportsExhaustedMemory) {
  MessageRecorder messages;
  void* p = CheckedAlloc(size_t(1) << 62);
  EXPECT_EQ(p, nullptr);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "Insufficient memory, operation cancelled");
  EXPECT_FALSE(messages.messages()[0].hasCaption);
  EXPECT_EQ(messages.messages()[0].flags, 0u);
}

// ---- Welding ----

struct WeldCase {
  const char* name;
  std::vector<ObjectVertex> vertices;
  std::vector<ObjectItem> items;
  std::vector<ObjectItem> weldedItems;
  size_t weldedVertexCount;
};

void PrintTo(const WeldCase& c, std::ostream* os) { *os << c.name; }

class WeldTest : public ::testing::TestWithParam<WeldCase> {};

TEST_P(WeldTest, Welds) {
  const WeldCase& c = GetParam();
  GraphicObject* o = CreateObject(0, uint32_t(c.vertices.size()), uint32_t(c.items.size()));
  std::copy(c.vertices.begin(), c.vertices.end(), o->vertices);
  std::copy(c.items.begin(), c.items.end(), o->items);
  ASSERT_EQ(WeldObjectVertices(o), o);
  std::vector<ObjectItem> items(o->items, o->items + o->itemCount);
  ASSERT_EQ(items.size(), c.weldedItems.size());
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].op, c.weldedItems[i].op) << "item " << i;
    EXPECT_EQ(items[i].index, c.weldedItems[i].index) << "item " << i;
  }
  EXPECT_EQ(o->vertexCount, c.weldedVertexCount);
  ObjectList none;
  FreeObjectInList(o, none);
}

const ObjectVertex V0{0, 0, 0}, V1{1, 0, 0}, V2{1, 1, 0}, V3{0, 1, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, WeldTest,
    ::testing::Values(
        WeldCase{"square_untouched",
                 {V0, V1, V2, V3},
                 {{0, 0}, {3, 5}, {1, 1}, {1, 2}, {2, 3}},
                 {{0, 0}, {3, 5}, {1, 1}, {1, 2}, {2, 3}},
                 4},
        // 0.0005 m apart merges (squared distance 2.5e-7)...
        WeldCase{"half_mm_merges",
                 {V0, V1, {1.0005f, 0, 0}, V2},
                 {{0, 0}, {1, 1}, {1, 2}, {2, 3}},
                 {{0, 0}, {1, 1}, {2, 2}},
                 3},
        // ...1 mm apart does not (squared distance 1e-6).
        WeldCase{"one_mm_stays",
                 {V0, V1, {1.001f, 0, 0}, V2},
                 {{0, 0}, {1, 1}, {1, 2}, {2, 3}},
                 {{0, 0}, {1, 1}, {1, 2}, {2, 3}},
                 4},
        // The last vertex repeats the start: the previous line-to closes.
        WeldCase{"repeated_start",
                 {V0, V1, V2, V3, V0},
                 {{0, 0}, {1, 1}, {1, 2}, {1, 3}, {2, 4}},
                 {{0, 0}, {1, 1}, {1, 2}, {2, 3}},
                 4},
        WeldCase{
            "stray_attribute_dropped", {V0, V1, V2}, {{0, 0}, {1, 1}, {3, 7}, {2, 2}}, {{0, 0}, {1, 1}, {2, 2}}, 3},
        WeldCase{"several_starts_keep_the_last",
                 {V0, V1, V2, V3},
                 {{0, 0}, {0, 1}, {1, 2}, {2, 3}},
                 {{0, 1}, {1, 2}, {2, 3}},
                 4},
        WeldCase{"unused_vertices_go", {V3, V0, V2, V1}, {{0, 1}, {1, 3}, {2, 2}}, {{0, 0}, {1, 1}, {2, 2}}, 3},
        WeldCase{"zero_length_first_edge_after_attribute",
                 {V0, V0, V1, V2},
                 {{0, 0}, {3, 4}, {1, 1}, {1, 2}, {2, 3}},
                 {{0, 0}, {3, 4}, {1, 1}, {2, 2}},
                 3},
        WeldCase{"unknown_ops_dropped", {V0, V1, V2}, {{0, 0}, {4, 1}, {1, 1}, {2, 2}}, {{0, 0}, {1, 1}, {2, 2}}, 3},
        // A polygon collapsing onto its start must never turn its material
        // attribute into a closing vertex item; it goes, attribute and all.
        WeldCase{"collapse_keeps_attribute_out_of_vertex_items",
                 {V0, V0, {0, 0, 0.0002f}},
                 {{0, 0}, {3, 9}, {1, 1}, {2, 2}},
                 {},
                 1},
        WeldCase{"collapse_without_attribute", {V0, V0, V0}, {{0, 0}, {1, 1}, {2, 2}}, {}, 1},
        WeldCase{"collapsed_polygon_beside_a_good_one",
                 {V0, V1, V2, V3, V3},
                 {{0, 3}, {3, 2}, {1, 4}, {2, 3}, {0, 0}, {3, 1}, {1, 1}, {2, 2}},
                 {{0, 1}, {3, 1}, {1, 2}, {2, 3}},
                 4},
        // A line back to its start vertex is an edge, not a repeat.
        WeldCase{"polyline_back_to_start", {V0, V1, V0}, {{0, 0}, {1, 1}, {1, 2}}, {{0, 0}, {1, 1}, {1, 0}}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
