#include "design/model/undo_tables.h"

#include <gtest/gtest.h>

#include "design/model/loudspeaker.h"
#include "design/model/materials.h"
#include "framework/model/layers.h"
#include "speaker_fixtures.h"

namespace {

class ProjectUndoTest : public SpeakerModelTest {
 protected:
  void SetUp() override {
    SpeakerModelTest::SetUp();
    UseProjectTablesForUndo();
  }

  static GraphicObject* OnlyLoudspeaker() {
    GraphicObject* found = nullptr;
    for (GraphicObject* o = gObjects.model.first; o; o = o->next)
      if (IsLoudspeakerObject(o)) found = o;
    return found;
  }
  static const SpeakerType* TypeOfOnlyLoudspeaker() {
    Loudspeaker speaker;
    if (!ReadLoudspeaker(OnlyLoudspeaker(), speaker)) return nullptr;
    return SpeakerTypeOf(speaker);
  }
};

TEST_F(ProjectUndoTest, TypesKeepTheirShapesAndLoudspeakersTheirTypesThroughUndoAndRedo) {
  GraphicObject* ownShape = MakeShape();
  AppendObject(ownShape);
  AddType(ownShape);
  gSpeakerModel.types.At(0)->SetBrand("OWN");
  AddType(defaultSymbol_);
  gSpeakerModel.types.At(1)->SetBrand("PLAIN");
  Loudspeaker speaker;
  speaker.name = "L1";
  speaker.typeIndex = 1;
  ASSERT_EQ(BuildSpeakerSymbol(speaker, MakeSpeakerObject(), true), 1);
  AbsorberRecord wood;
  wood.name = "WOOD";
  gMaterials.project.records[1] = wood;
  gMaterials.project.count = 2;
  const int32_t shapePosition = GetObjectIndex(ownShape);

  ASSERT_EQ(TakeUndoSnapshot(), 1);
  EXPECT_EQ(gSpeakerModel.types.At(0)->ShapeField(), shapePosition);
  EXPECT_EQ(gSpeakerModel.types.At(1)->ShapeField(), -1);
  // The change: the unused type goes with its shape, the loudspeaker's index
  // follows, and the materials change.
  PurgeUnusedSpeakerTypes();
  gMaterials.project.count = 1;
  ASSERT_EQ(gSpeakerModel.types.count, 1);

  auto expectBefore = [&] {
    const SpeakerTypeTable& types = gSpeakerModel.types;
    ASSERT_EQ(types.count, 2);
    EXPECT_EQ(types.At(0)->Brand(), "OWN");
    const GraphicObject* shape = types.At(0)->shape;
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(GetObjectIndex(shape), shapePosition);
    EXPECT_EQ(shape->layer, kShapeLayer);
    EXPECT_EQ(types.At(1)->shape, defaultSymbol_);
    EXPECT_EQ(TypeOfOnlyLoudspeaker(), types.At(1));
    EXPECT_EQ(gMaterials.project.count, 2);
    EXPECT_EQ(gMaterials.project.records[1].name, "WOOD");
  };
  Undo();
  expectBefore();

  Redo();
  ASSERT_EQ(gSpeakerModel.types.count, 1);
  EXPECT_EQ(gSpeakerModel.types.At(0)->Brand(), "PLAIN");
  EXPECT_EQ(gSpeakerModel.types.At(0)->shape, defaultSymbol_);
  EXPECT_EQ(TypeOfOnlyLoudspeaker(), gSpeakerModel.types.At(0));
  EXPECT_EQ(gMaterials.project.count, 1);

  Undo();
  expectBefore();
}

TEST_F(ProjectUndoTest, EmptyTablesAddOnlyTheirCounts) {
  gMaterials.project.count = 0;
  EXPECT_EQ(UndoSnapshotSize(), 398u);
  gMaterials.project.count = 1;
  AddType(defaultSymbol_);
  EXPECT_EQ(UndoSnapshotSize(), 398u + kAbsorberRecordSize + kSpeakerTypeSize);
}

}  // namespace
