#include "framework/model/packed_object.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "tests/support/le_bytes.h"

namespace {

// A room face: a triangle with material 2, followed by another record.
std::vector<uint8_t> FaceFixture() {
  Bytes f;
  f.u32(0).u32(1).u32(0).u32(0).u32(0);               // previous, next (another follows), data, vertices, items
  f.u32(8).u32(0).u32(3).u32(0);                      // kind face, state, colour 3, layer 0
  f.u32(3).u32(4).u32(0);                             // 3 vertices, 4 items, no data
  f.raw({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});        // (0, 0, 0)
  f.raw({0, 0, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0});  // (1, 0, 0)
  f.raw({0, 0, 0x80, 0x3F, 0, 0, 0x80, 0x3F, 0, 0, 0x20, 0x40});  // (1, 1, 2.5)
  f.u16(0).u16(0).u16(3).u16(2).u16(1).u16(1).u16(2).u16(2);      // 0 0, 3 2, 1 1, 2 2
  return f.b;
}

// A layer-2 object with a 4-byte data block and one vertex, the last record.
std::vector<uint8_t> DataFixture() {
  Bytes f;
  f.u32(0).u32(0).u32(0).u32(0).u32(0);
  f.u32(1).u32(0x86).u32(27).u32(2);
  f.u32(1).u32(0).u32(4);
  f.raw({0xDE, 0xAD, 0xBE, 0xEF});
  f.raw({0, 0, 0xC0, 0xBF, 0, 0, 0, 0, 0, 0, 0, 0x3F});  // (-1.5, 0, 0.5)
  return f.b;
}

// The same triangle in the older layout: 40-byte header, 2-byte items.
std::vector<uint8_t> OldFaceFixture() {
  Bytes f;
  f.u32(0).u32(0).u32(0).u32(0).u32(0);
  f.u32(8).u32(0).u32(3);
  f.u16(1).u16(3).u16(4).u16(0);  // layer 1, 3 vertices, 4 items, no data
  f.raw({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  f.raw({0, 0, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0});
  f.raw({0, 0, 0x80, 0x3F, 0, 0, 0x80, 0x3F, 0, 0, 0x20, 0x40});
  f.u16(0 << 2 | 0).u16(2 << 2 | 3).u16(1 << 2 | 1).u16(2 << 2 | 2);
  return f.b;
}

struct Freed {
  GraphicObject* o;
  ~Freed() {
    ObjectList none;
    FreeObjectInList(o, none);
  }
};

GraphicObject* Decode(const std::vector<uint8_t>& bytes, PackedLayout layout, PackedReadResult* result = nullptr,
                      uint32_t extra = 0) {
  MemoryReader r(bytes);
  PackedObjectHeader h;
  GraphicObject* o = nullptr;
  PackedReadResult got = PackedReadResult::kBadFormat;
  if (ReadPackedHeader(r, layout, h)) got = ReadPackedBody(r, layout, h, extra, o);
  if (result) *result = got;
  return o;
}

void ExpectTriangle(const GraphicObject& o, uint32_t layer) {
  EXPECT_EQ(o.kind, 8u);
  EXPECT_EQ(o.colour, 3u);
  EXPECT_EQ(o.layer, layer);
  ASSERT_EQ(o.vertexCount, 3u);
  EXPECT_EQ(o.vertices[2].z, 2.5f);
  ASSERT_EQ(o.itemCount, 4u);
  EXPECT_EQ(o.items[1].op, kOpAttribute);
  EXPECT_EQ(o.items[1].index, 2);
  EXPECT_EQ(o.items[3].op, kOpClose);
}

TEST(PackedObject, FaceEncodesToTheStoredBytesAndBack) {
  GraphicObject* o = Decode(FaceFixture(), PackedLayout::kCurrent);
  ASSERT_NE(o, nullptr);
  Freed guard{o};
  ExpectTriangle(*o, 0);
  MemoryWriter w;
  ASSERT_TRUE(WritePackedObject(w, *o, 0, kPackedNextFollows));
  EXPECT_EQ(w.bytes(), FaceFixture());
  EXPECT_EQ(size_t(PackedObjectSize(o)), FaceFixture().size());
}

TEST(PackedObject, DataBlockEncodesToTheStoredBytesAndBack) {
  GraphicObject* o = Decode(DataFixture(), PackedLayout::kCurrent);
  ASSERT_NE(o, nullptr);
  Freed guard{o};
  EXPECT_EQ(o->state, 0x86u);
  ASSERT_EQ(o->dataSize, 4u);
  EXPECT_EQ(o->data[3], 0xEF);
  EXPECT_EQ(o->vertices[0].x, -1.5f);
  MemoryWriter w;
  ASSERT_TRUE(WritePackedObject(w, *o, 0, 0));
  EXPECT_EQ(w.bytes(), DataFixture());
}

TEST(PackedObject, BodyWritesWhatItsHeaderAnnounces) {
  GraphicObject* o = Decode(DataFixture(), PackedLayout::kCurrent);
  ASSERT_NE(o, nullptr);
  Freed guard{o};
  // A writer that stores no data announces none and writes none.
  PackedObjectHeader h = PackedHeaderOf(*o, 0, 0);
  h.dataSize = 0;
  MemoryWriter w;
  ASSERT_TRUE(WritePackedHeader(w, h) && WritePackedBody(w, *o, h));
  std::vector<uint8_t> expected = DataFixture();
  expected.erase(expected.begin() + 44, expected.begin() + 52);  // the data size word and the data
  expected.insert(expected.begin() + 44, {0, 0, 0, 0});
  EXPECT_EQ(w.bytes(), expected);
  // A header that announces more than the object holds writes nothing.
  h.vertexCount = 2;
  MemoryWriter refused;
  EXPECT_FALSE(WritePackedBody(refused, *o, h));
  EXPECT_TRUE(refused.bytes().empty());
}

TEST(PackedObject, OldLayoutDecodes) {
  GraphicObject* o = Decode(OldFaceFixture(), PackedLayout::kOld);
  ASSERT_NE(o, nullptr);
  Freed guard{o};
  ExpectTriangle(*o, 1);
}

TEST(PackedObject, OmittedAndExtraVertices) {
  // A shape stored two vertices short comes back with two zeroed slots.
  GraphicObject* o = Decode(FaceFixture(), PackedLayout::kCurrent, nullptr, 2);
  ASSERT_NE(o, nullptr);
  Freed guard{o};
  EXPECT_EQ(o->vertexCount, 5u);
  EXPECT_EQ(o->vertices[4].x, 0.0f);
  MemoryWriter w;
  ASSERT_TRUE(WritePackedObject(w, *o, 0, kPackedNextFollows, 2));
  EXPECT_EQ(w.bytes(), FaceFixture());
}

TEST(PackedObject, EveryTruncationIsRejected) {
  for (const auto& [fixture, layout] :
       {std::pair{FaceFixture(), PackedLayout::kCurrent}, std::pair{DataFixture(), PackedLayout::kCurrent},
        std::pair{OldFaceFixture(), PackedLayout::kOld}}) {
    for (size_t n = 0; n < fixture.size(); ++n) {
      std::vector<uint8_t> cut(fixture.begin(), fixture.begin() + n);
      PackedReadResult result;
      EXPECT_EQ(Decode(cut, layout, &result), nullptr) << n;
      EXPECT_EQ(result, PackedReadResult::kBadFormat) << n;
    }
  }
}

TEST(PackedObject, HostileCountsAndIndexesAreRejected) {
  struct Case {
    size_t offset;
    uint32_t value;
  } cases[] = {
      {36, 0xFFFFFFFF},  // vertex count far past the input
      {40, 0x10000000},  // item count
      {44, 0x7FFFFFFF},  // data size
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = FaceFixture();
    if (c.offset >= 48 + 36) StoreU16(bytes.data() + c.offset, uint16_t(c.value));
    else StoreU32(bytes.data() + c.offset, c.value);
    PackedReadResult result;
    EXPECT_EQ(Decode(bytes, PackedLayout::kCurrent, &result), nullptr) << c.offset;
    EXPECT_EQ(result, PackedReadResult::kBadFormat) << c.offset;
  }
  // An attribute's index is a material, not a vertex: it is not checked here.
  std::vector<uint8_t> bytes = FaceFixture();
  StoreU16(bytes.data() + 48 + 36 + 6, 150);
  GraphicObject* o = Decode(bytes, PackedLayout::kCurrent);
  ASSERT_NE(o, nullptr);
  Freed guard{o};
}

// An item naming a vertex the object lacks is dropped, as welding drops it;
// the rest of the object is read.
TEST(PackedObject, ItemsNamingMissingVerticesAreDropped) {
  for (const auto& [fixture, layout, itemsAt, itemSize] :
       {std::tuple{FaceFixture(), PackedLayout::kCurrent, size_t(48 + 36), size_t(4)},
        std::tuple{OldFaceFixture(), PackedLayout::kOld, size_t(40 + 36), size_t(2)}}) {
    std::vector<uint8_t> bytes = fixture;
    // The edge to vertex 1 now names vertex 3 of three.
    if (layout == PackedLayout::kCurrent) StoreU16(&bytes[itemsAt + 2 * itemSize + 2], 3);
    else StoreU16(&bytes[itemsAt + 2 * itemSize], uint16_t(3 << 2 | kOpLineTo));
    GraphicObject* o = Decode(bytes, layout);
    ASSERT_NE(o, nullptr);
    Freed guard{o};
    ASSERT_EQ(o->itemCount, 3u);
    EXPECT_EQ(o->items[1].op, kOpAttribute);
    EXPECT_EQ(o->items[2].op, kOpClose);
    EXPECT_EQ(o->items[2].index, 2);
    EXPECT_EQ(o->vertexCount, 3u);
  }
  // Extra vertices count as the object's own.
  std::vector<uint8_t> bytes = FaceFixture();
  StoreU16(&bytes[48 + 36 + 10], 4);
  GraphicObject* o = Decode(bytes, PackedLayout::kCurrent, nullptr, 2);
  ASSERT_NE(o, nullptr);
  Freed guard{o};
  EXPECT_EQ(o->itemCount, 4u);
}

TEST(PackedObject, AccessPackedObjectWalksRecordsInSequence) {
  ResetObjectStore();
  std::vector<uint8_t> packed = FaceFixture();
  StoreU32(packed.data() + 24, kStateChainMember);
  std::vector<uint8_t> second = DataFixture();
  StoreU32(second.data() + 24, kStateChainMember | kStateChainEnd);
  packed.insert(packed.end(), second.begin(), second.end());
  const size_t secondOffset = FaceFixture().size();

  EXPECT_EQ(AccessPackedObject(kAccessWalkChain, packed, 0), secondOffset);
  // A chain without an end stops at the last whole record, even with stray
  // bytes behind it.
  std::vector<uint8_t> endless = packed;
  StoreU32(endless.data() + secondOffset + 24, kStateChainMember);
  endless.resize(endless.size() + 20);
  EXPECT_EQ(AccessPackedObject(kAccessWalkChain, endless, 0), secondOffset);
  EXPECT_EQ(AccessPackedObject(kAccessFillBlock, packed, 0), 0u);
  const ObjectAccessBlock& block = gObjects.access;
  ASSERT_EQ(block.vertexCount, 3u);
  EXPECT_EQ(block.vertices[2].z, 2.5f);
  ASSERT_EQ(block.itemCount, 4u);
  EXPECT_EQ(block.items[1].index, 2);
  EXPECT_EQ(block.trailingData, nullptr);  // a face has none
  EXPECT_EQ(AccessPackedObject(kAccessFillBlock, packed, packed.size() - 3), SIZE_MAX);

  // A text record's trailing data lies behind its items; a live object has
  // none, so accessing one clears the pointer into the packed bytes.
  StoreU32(packed.data() + 20, kKindText);
  AccessPackedObject(kAccessFillBlock, packed, 0);
  EXPECT_EQ(block.trailingData, packed.data() + secondOffset);
  GraphicObject* live = CreateObject(0, 1, 0);
  AccessObject(kAccessFillBlock, live);
  EXPECT_EQ(block.trailingData, nullptr);
  ObjectList none;
  FreeObjectInList(live, none);
  ResetObjectStore();
}

}  // namespace
