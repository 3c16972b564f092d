#include "framework/model/undo_ring.h"
#include "framework/core/state_reset.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/model/layers.h"
#include "framework/model/packed_object.h"
#include "tests/support/fake_services.h"
#include "tests/support/message_recorder.h"

namespace {

// A table of one i16 value, standing in for a program's table.
class ValueSection final : public UndoSection {
 public:
  explicit ValueSection(int16_t& live) : live_(live) {}
  size_t StoredSize() const override { return 2; }
  bool Write(ByteWriter& w, const ObjectList&) override { return w.I16(live_); }
  bool Read(ByteReader& r, const ObjectList&) override { return !failRead && r.I16(pending_); }
  void Commit() override { live_ = pending_; }
  void Discard() override { ++discards; }

  bool failRead = false;
  int discards = 0;

 private:
  int16_t& live_;
  int16_t pending_ = 0;
};

class UndoRingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAllState();
    SetUndoSections(&types_, &materials_);
  }
  void TearDown() override { ResetAllState(); }

  // A command: snapshot, then one more object whose kind names the state.
  static void Command(uint32_t state) {
    TakeUndoSnapshot();
    GraphicObject* o = CreateObject(0, 1, 1);
    o->vertices[0] = {float(state), 0, 0};
    o->kind = state;
    AppendObject(o);
  }
  // The model's object kinds in list order.
  static std::vector<uint32_t> Kinds() {
    std::vector<uint32_t> kinds;
    for (const GraphicObject* o = gObjects.model.first; o; o = o->next) kinds.push_back(o->kind);
    return kinds;
  }
  static void ExpectRing(int32_t position, int32_t top) {
    EXPECT_EQ(gUndo.position, position);
    EXPECT_EQ(gUndo.top, top);
  }

  int16_t typeValue_ = 0;
  int16_t materialValue_ = 0;
  ValueSection types_{typeValue_};
  ValueSection materials_{materialValue_};
};

TEST_F(UndoRingTest, BlockSizeIsTheComputedSizeRoundedUpTo256) {
  struct Case {
    uint32_t dataSize;  // of one object; ~0u for an empty model
    size_t computed;
    size_t block;
  };
  // 384 layers + 4 + objects + 2 + 2 + 6.
  for (const Case& c : {Case{~0u, 398, 512}, Case{66, 512, 512}, Case{67, 513, 768}}) {
    ResetObjectStore();
    ClearUndoRing();
    if (c.dataSize != ~0u) AppendObject(CreateObject(c.dataSize, 0, 0));
    EXPECT_EQ(UndoSnapshotSize(), c.computed) << c.computed;
    ASSERT_EQ(TakeUndoSnapshot(), 1);
    EXPECT_EQ(gUndo.slots[0].size, c.block) << c.computed;
  }
}

TEST_F(UndoRingTest, EmptyModelIsStoredAsFourZeroBytesAndRestoresEmpty) {
  typeValue_ = 5;
  ASSERT_EQ(TakeUndoSnapshot(), 1);
  const uint8_t* block = gUndo.slots[0].block.get();
  EXPECT_EQ(LoadU32(block + kStoredLayersSize), 0u);
  EXPECT_EQ(LoadI16(block + kStoredLayersSize + 4), 5);

  AppendObject(CreateObject(0, 2, 0));
  typeValue_ = 9;
  Undo();
  EXPECT_EQ(gObjects.model.first, nullptr);
  EXPECT_EQ(typeValue_, 5);
}

TEST_F(UndoRingTest, SnapshotStoresObjectsPackedWithTheirLinkWords) {
  Command(1);
  Command(2);  // the snapshot of S1: one object
  Command(3);  // the snapshot of S2: two objects
  const uint8_t* block = gUndo.slots[2].block.get();
  const uint8_t* first = block + kStoredLayersSize;
  EXPECT_EQ(LoadU32(first), 0xFFFFFFFFu);
  EXPECT_NE(LoadU32(first + 4), 0u);
  EXPECT_EQ(LoadU32(first + 20), 1u);  // kind
  const uint8_t* second = first + kPackedHeaderSize + 12 + 4;
  EXPECT_EQ(LoadU32(second + 4), 0u);
  EXPECT_EQ(LoadU32(second + 20), 2u);
}

TEST_F(UndoRingTest, WorkedSequenceOfTwoCommandsThenUndoAndRedo) {
  FakeServices services;
  Command(1);  // S0 -> S1
  ExpectRing(1, 1);
  Command(2);  // S1 -> S2
  ExpectRing(2, 2);

  Undo();  // stores S2, restores S1
  ExpectRing(1, 3);
  EXPECT_EQ(Kinds(), (std::vector<uint32_t>{1}));
  Undo();
  ExpectRing(0, 3);
  EXPECT_TRUE(Kinds().empty());
  EXPECT_EQ(CanUndo(), 0);
  EXPECT_EQ(CanRedo(), 1);

  Redo();
  EXPECT_EQ(Kinds(), (std::vector<uint32_t>{1}));
  Redo();
  ExpectRing(2, 3);
  EXPECT_EQ(Kinds(), (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(CanRedo(), 0);
  EXPECT_EQ(services.redraws, 4);

  // A new command after an undo drops the states beyond it.
  Undo();
  Command(7);
  ExpectRing(2, 2);
  EXPECT_EQ(CanRedo(), 0);
  EXPECT_EQ(Kinds(), (std::vector<uint32_t>{1, 7}));
}

TEST_F(UndoRingTest, UndoOnAnEmptyRingStoresTheStateAndChangesNothing) {
  EXPECT_EQ(CanUndo(), 0);
  EXPECT_EQ(CanRedo(), 0);
  AppendObject(CreateObject(0, 1, 0));
  Undo();
  ExpectRing(0, 1);
  EXPECT_NE(gObjects.model.first, nullptr);
}

TEST_F(UndoRingTest, EightCommandsThenEightUndosRestoreSevenStates) {
  for (uint32_t state = 1; state <= 8; ++state) Command(state);
  ExpectRing(8, 8);
  for (int undo = 1; undo <= 8; ++undo) {
    Undo();
    EXPECT_EQ(Kinds().size(), size_t(8 - std::min(undo, 7))) << undo;
  }
  // Position 1 still has its snapshot; position 0's slot holds position 8.
  EXPECT_EQ(gUndo.position, 1);
  EXPECT_EQ(CanUndo(), 0);
  for (int redo = 0; redo < 7; ++redo) Redo();
  EXPECT_EQ(Kinds().size(), 8u);
}

TEST_F(UndoRingTest, LayersAndTablesComeBack) {
  gLayers.records[2].name = "SPEAKERS";
  materialValue_ = 3;
  TakeUndoSnapshot();
  gLayers.records[2].name = "CHANGED";
  gLayers.records[16].name = "NOT STORED";
  materialValue_ = 4;
  Undo();
  EXPECT_EQ(gLayers.records[2].name, "SPEAKERS");
  EXPECT_EQ(gLayers.records[16].name, "NOT STORED");
  EXPECT_EQ(materialValue_, 3);
}

bool NoMemory(size_t) { return false; }

TEST_F(UndoRingTest, FailedSnapshotWarnsKeepsTheCountersAndLeavesTheSlotEmpty) {
  Command(1);
  MessageRecorder messages;
  gUndo.mayAllocateBlock = NoMemory;
  EXPECT_EQ(TakeUndoSnapshot(), 0);
  ExpectRing(1, 1);
  EXPECT_EQ(gUndo.slots[1].block, nullptr);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, kUndoMemoryMessage);
  EXPECT_EQ(messages.messages()[0].caption, kUndoMemoryCaption);

  // Undo needs a snapshot of the current state first: without one it does
  // not step.
  Undo();
  ExpectRing(1, 1);
  EXPECT_EQ(Kinds(), (std::vector<uint32_t>{1}));
}

TEST_F(UndoRingTest, ASlotWhoseSnapshotFailedIsNeverRestored) {
  Command(1);
  Command(2);
  Undo();  // position 1, top 3: S1
  {
    MessageRecorder messages;
    gUndo.mayAllocateBlock = NoMemory;
    Command(3);  // its snapshot of position 1 fails, and frees S1
    gUndo.mayAllocateBlock = nullptr;
  }
  Redo();  // S2
  ExpectRing(2, 3);
  EXPECT_EQ(CanUndo(), 0);
  Undo();
  EXPECT_EQ(gUndo.position, 2);
  EXPECT_EQ(Kinds(), (std::vector<uint32_t>{1, 2}));
}

TEST_F(UndoRingTest, ARestoreThatCannotReadATableChangesNothing) {
  Command(1);
  Command(2);
  types_.failRead = true;
  EXPECT_EQ(RestoreUndoSnapshot(-1), 0);
  ExpectRing(2, 2);
  EXPECT_EQ(Kinds(), (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(types_.discards, 1);
  EXPECT_EQ(materials_.discards, 1);
}

// A block that ends with its layers holds no objects part: the restore
// reads nothing behind it and changes nothing.
TEST_F(UndoRingTest, ABlockEndingWithItsLayersIsNotRestored) {
  Command(1);
  Command(2);
  UndoSnapshot& slot = gUndo.slots[1];
  slot.size = kStoredLayersSize;
  EXPECT_EQ(RestoreUndoSnapshot(-1), 0);
  ExpectRing(2, 2);
  EXPECT_EQ(Kinds(), (std::vector<uint32_t>{1, 2}));
}

TEST_F(UndoRingTest, ClearEmptiesEverySlot) {
  Command(1);
  Command(2);
  ClearUndoRing();
  ExpectRing(0, 0);
  for (const UndoSnapshot& slot : gUndo.slots) EXPECT_EQ(slot.block, nullptr);
  EXPECT_EQ(CanRedo(), 0);
}

}  // namespace
