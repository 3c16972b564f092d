#include "design/model/loudspeaker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "framework/model/layers.h"
#include "speaker_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

constexpr double kPi = 3.141592654;
constexpr double kDeg = kPi / 180.0;

Loudspeaker SampleSpeaker() {
  Loudspeaker s;
  s.name = "FOH L";
  s.group = "MAIN";
  s.on = 0;
  s.polarity = -1;
  s.nominalPower = 200.0f;
  for (int b = 0; b < kBandCount; ++b) {
    s.eqGain[size_t(b)] = -1.5f * float(b);
    s.power[size_t(b)] = 10.0f + float(b);
    s.intensity[size_t(b)] = 1000.0f * float(b + 1);
  }
  s.delay = 12.5f;
  s.position = {1.0f, -2.0f, 3.5f};
  s.horizontal = 0.25f;
  s.vertical = -0.5f;
  s.rotation = 1.0f;
  s.typeIndex = 7;
  return s;
}

// ---- The block codec ----

TEST(LoudspeakerCodecTest, FieldsLieAtTheirOffsets) {
  std::vector<uint8_t> block(kLoudspeakerSize, 0xEE);
  Loudspeaker s = SampleSpeaker();
  GraphicObject anyObject{};
  s.object = &anyObject;
  EncodeLoudspeaker(s, std::span<uint8_t, kLoudspeakerSize>(block.data(), block.size()));

  EXPECT_EQ(ReadTextField(std::span(block).subspan(0, 11)), "FOH L");
  EXPECT_EQ(ReadTextField(std::span(block).subspan(11, 11)), "MAIN");
  EXPECT_EQ(LoadU16(&block[22]), 0);
  EXPECT_EQ(LoadI16(&block[24]), -1);
  EXPECT_EQ(LoadF32(&block[26]), 200.0f);
  EXPECT_EQ(LoadF32(&block[30 + 4 * 2]), -3.0f);
  EXPECT_EQ(LoadF32(&block[58 + 4 * 6]), 16.0f);
  EXPECT_EQ(LoadF32(&block[86]), 1000.0f);
  EXPECT_EQ(LoadF32(&block[114]), 12.5f);
  EXPECT_EQ(LoadF32(&block[118 + 4]), -2.0f);
  EXPECT_EQ(LoadF32(&block[130]), 0.25f);
  EXPECT_EQ(LoadF32(&block[134]), -0.5f);
  EXPECT_EQ(LoadF32(&block[138]), 1.0f);
  EXPECT_EQ(LoadI16(&block[142]), 7);
  EXPECT_EQ(LoadU32(&block[144]), 0u);  // never a native pointer
  EXPECT_EQ(LoadU32(&block[148]), 0u);

  Loudspeaker back;
  ASSERT_TRUE(DecodeLoudspeaker(block, back));
  EXPECT_EQ(back.name, s.name);
  EXPECT_EQ(back.group, s.group);
  EXPECT_EQ(back.polarity, s.polarity);
  EXPECT_EQ(back.eqGain, s.eqGain);
  EXPECT_EQ(back.power, s.power);
  EXPECT_EQ(back.intensity, s.intensity);
  EXPECT_EQ(back.position, s.position);
  EXPECT_EQ(back.typeIndex, s.typeIndex);
  EXPECT_EQ(back.object, nullptr);
  EXPECT_FALSE(DecodeLoudspeaker(std::span(block).first(151), back));
}

TEST(LoudspeakerCodecTest, ObjectAccessNeedsALoudspeakerObject) {
  ObjectList own;
  GraphicObject* object = MakeSpeakerObject();
  Loudspeaker s;
  EXPECT_FALSE(ReadLoudspeaker(object, s));  // not on the loudspeaker layer
  EXPECT_FALSE(WriteLoudspeaker(s, object));
  object->layer = kLoudspeakerLayer;
  s.delay = 4.0f;
  ASSERT_TRUE(WriteLoudspeaker(s, object));
  Loudspeaker back;
  ASSERT_TRUE(ReadLoudspeaker(object, back));
  EXPECT_EQ(back.delay, 4.0f);
  EXPECT_EQ(back.object, object);

  GraphicObject* wrongSize = CreateObject(140, 0, 0);
  wrongSize->layer = kLoudspeakerLayer;
  EXPECT_FALSE(ReadLoudspeaker(wrongSize, back));
  FreeObjectInList(object, own);
  FreeObjectInList(wrongSize, own);
}

// ---- Band power and intensity ----

TEST(BandPowerTest, GainsAreCappedAtTheRatedPower) {
  struct Case {
    float rated, gain, expected;
  } cases[] = {
      {100.0f, -50.0f, 0.0f},                                // at -50 dB the band is off
      {100.0f, -49.9f, float(100 * std::pow(10.0, -4.99))},  // just above, it carries power
      {100.0f, 3.0f, 100.0f},                                // +3 dB is capped
      {100.0f, -3.0f, float(100 * std::pow(10.0, -0.3))},    // 50.1 W
      {100.0f, 0.0f, 100.0f},
      {0.05f, 1.0f, 200.0f * 0.0001f},  // rated below 0.1 W: nominal x 0.0001
      {0.05f, -1.0f, float(0.05 * std::pow(10.0, -0.1))},
  };
  for (const Case& c : cases) {
    SpeakerType type;
    Loudspeaker s;
    s.nominalPower = 200.0f;
    s.polarity = -1;
    for (int b = 0; b < kBandCount; ++b) {
      type.SetRatedPower(b, c.rated);
      type.SetSensitivity(b, 90.0f + float(b));
      s.eqGain[size_t(b)] = c.gain;
    }
    UpdateSpeakerBandPower(s, type);
    for (int b = 0; b < kBandCount; ++b) {
      EXPECT_NEAR(s.power[size_t(b)], c.expected, 1e-4 * c.expected) << c.rated << " W at " << c.gain << " dB";
      // The intensity carries no polarity: the calculations apply it once.
      EXPECT_NEAR(s.intensity[size_t(b)], c.expected * std::pow(10.0, (90.0 + b) / 10.0),
                  1e-4 * s.intensity[size_t(b)]);
    }
  }
}

// ---- The symbol ----

TEST(SymbolGeometryTest, PassesTurnAboutXThenYThenZ) {
  struct Case {
    double h, v, r;
    ObjectVertex in, expected;  // relative to the position
  } cases[] = {
      {0, 0, 0, {0.5f, 0.2f, -0.1f}, {0.5f, 0.2f, -0.1f}},
      {1e-6, -1e-6, 1e-6, {1, 0, 0}, {1, 0, 0}},  // angles up to 1e-6 are ignored
      {0, 0, 90, {0, 1, 0}, {0, 0, -1}},
      {0, 0, 90, {0, 0, 1}, {0, 1, 0}},
      {0, 90, 0, {1, 0, 0}, {0, 0, 1}},  // elevation positive upwards
      {90, 0, 0, {1, 0, 0}, {0, 1, 0}},  // azimuth counter-clockwise from +x
      {90, 30, 0, {1, 0, 0}, {0, 0.8660254f, 0.5f}},
      {180, -45, 90, {0, 0, 1}, {0, -1, 0}},
      {180, -45, 90, {1, 0, 0}, {-0.70710678f, 0, -0.70710678f}},
  };
  const std::array<float, 3> p = {1.0f, 2.0f, 3.0f};
  for (const Case& c : cases) {
    ObjectVertex v = c.in;
    PlaceSymbolVertices(std::span(&v, 1), p, float(c.h * kDeg), float(c.v * kDeg), float(c.r * kDeg));
    EXPECT_NEAR(v.x, p[0] + c.expected.x, 1e-6) << c.h << " " << c.v << " " << c.r;
    EXPECT_NEAR(v.y, p[1] + c.expected.y, 1e-6) << c.h << " " << c.v << " " << c.r;
    EXPECT_NEAR(v.z, p[2] + c.expected.z, 1e-6) << c.h << " " << c.v << " " << c.r;
  }
}

class SymbolTest : public SpeakerModelTest {};

TEST_F(SymbolTest, NewSymbolCopiesTheShapeIntoPlaceAtTheListHead) {
  GraphicObject* other = CreateObject(0, 0, 0);
  AppendObject(other);
  GraphicObject* shape = MakeShape();
  AppendObject(shape);
  Loudspeaker s;
  s.typeIndex = AddType(shape);
  s.position = {10, 20, 30};
  s.eqGain[2] = -6.0f;

  GraphicObject* object = MakeSpeakerObject();
  ASSERT_EQ(BuildSpeakerSymbol(s, object, true), 1);
  EXPECT_EQ(gObjects.model.first, object);
  EXPECT_EQ(object->next, other);
  EXPECT_EQ(object->layer, kLoudspeakerLayer);
  EXPECT_EQ(object->kind, uint32_t(kKindSolid));
  EXPECT_EQ(object->state, 0u);
  EXPECT_EQ(object->colour, kSpeakerColourOn);
  ASSERT_EQ(object->vertexCount, shape->vertexCount);
  ASSERT_EQ(object->itemCount, shape->itemCount);
  EXPECT_EQ(object->items[2].op, kOpClose);
  EXPECT_FLOAT_EQ(object->vertices[1].y, 20.2f);
  EXPECT_FLOAT_EQ(object->vertices[3].x, 11.0f);  // the axis point
  EXPECT_FLOAT_EQ(object->vertices[4].z, 31.0f);  // the up point
  EXPECT_EQ(gObjects.access.object, object);
  EXPECT_EQ(s.object, object);

  // The object's block is the loudspeaker, and the two are linked.
  Loudspeaker stored;
  ASSERT_TRUE(ReadLoudspeaker(object, stored));
  EXPECT_EQ(stored.eqGain, s.eqGain);
  EXPECT_EQ(LoadU32(object->data + kSpeakerObjectSlot), 0u);
}

TEST_F(SymbolTest, RebuildReplacesTheGeometryAndMovesTheObjectToTheHead) {
  Loudspeaker s;
  s.typeIndex = AddType(nullptr);  // no shape of its own
  GraphicObject* object = MakeSpeakerObject();
  ASSERT_EQ(BuildSpeakerSymbol(s, object, true), 1);
  EXPECT_EQ(gSpeakerModel.types.At(0)->shape, defaultSymbol_);  // the type keeps the default symbol
  GraphicObject* first = CreateObject(0, 0, 0);
  InsertObjectBefore(first, gObjects.model.first);

  s.on = 0;
  s.position = {0, 0, 5};
  s.horizontal = float(90 * kDeg);
  ASSERT_EQ(BuildSpeakerSymbol(s, object, false), 1);
  EXPECT_EQ(CountObjects(), 2u);
  EXPECT_EQ(gObjects.model.first, object);
  EXPECT_EQ(object->next, first);
  EXPECT_EQ(object->colour, kSpeakerColourOff);
  ASSERT_EQ(object->vertexCount, defaultSymbol_->vertexCount);
  EXPECT_NEAR(object->vertices[3].x, 0.0f, 1e-6);
  EXPECT_NEAR(object->vertices[3].y, 1.0f, 1e-6);
  EXPECT_NEAR(object->vertices[3].z, 5.0f, 1e-6);
}

TEST_F(SymbolTest, WithoutAnyShapeOrBlockNothingIsBuilt) {
  ObjectList own;
  Loudspeaker s;
  GraphicObject* noBlock = CreateObject(0, 0, 0);
  EXPECT_EQ(BuildSpeakerSymbol(s, noBlock, true), 0);
  gSpeakerModel.defaultSymbol = nullptr;
  GraphicObject* object = MakeSpeakerObject();
  EXPECT_EQ(BuildSpeakerSymbol(s, object, true), 0);
  EXPECT_EQ(gObjects.model.first, nullptr);
  EXPECT_EQ(object->vertexCount, 0u);
  FreeObjectInList(noBlock, own);
  FreeObjectInList(object, own);
}

// The angles read back from a built symbol, for level and tilted loudspeakers.
TEST_F(SymbolTest, AnglesRoundTripThroughTheSymbol) {
  struct Case {
    double h, v, r;
  } cases[] = {
      {0, 0, 0},     {30, 0, 0},      {-120, 0, 45},   {0, 45, 30},  // 30 degrees is not read as 39.2
      {45, 30, -60}, {170, -60, 120}, {-90, 80, -170}, {10, -89, 5}, {90, 0, 0}, {-135, 15, 179}, {60, -30, -90},
  };
  for (const Case& c : cases) {
    ResetObjectStore();
    Loudspeaker s;
    s.typeIndex = -1;  // default symbol
    s.position = {4.0f, -7.0f, 2.5f};
    s.horizontal = float(c.h * kDeg);
    s.vertical = float(c.v * kDeg);
    s.rotation = float(c.r * kDeg);
    GraphicObject* object = MakeSpeakerObject();
    ASSERT_EQ(BuildSpeakerSymbol(s, object, true), 1);
    // Scramble the stored angles so that only the symbol can restore them.
    Loudspeaker cleared = s;
    cleared.horizontal = cleared.vertical = cleared.rotation = 2.0f;
    WriteLoudspeaker(cleared, object);

    SpeakerAnglesFromSymbol(object);
    Loudspeaker back;
    ASSERT_TRUE(ReadLoudspeaker(object, back));
    EXPECT_NEAR(back.horizontal, s.horizontal, 1e-4) << c.h << " " << c.v << " " << c.r;
    EXPECT_NEAR(back.vertical, s.vertical, 1e-4) << c.h << " " << c.v << " " << c.r;
    EXPECT_NEAR(back.rotation, s.rotation, 1e-4) << c.h << " " << c.v << " " << c.r;
  }
}

TEST_F(SymbolTest, VerticalAxisReadsBackToTheSameSymbol) {
  // Straight up, azimuth and rotation are one turn: the angles read back need
  // not be the ones given, but they must build the same symbol.
  Loudspeaker s;
  s.typeIndex = -1;
  s.position = {1, 1, 1};
  s.horizontal = float(40 * kDeg);
  s.vertical = float(90 * kDeg);
  s.rotation = float(25 * kDeg);
  GraphicObject* object = MakeSpeakerObject();
  ASSERT_EQ(BuildSpeakerSymbol(s, object, true), 1);
  const std::vector<ObjectVertex> built(object->vertices, object->vertices + object->vertexCount);

  SpeakerAnglesFromSymbol(object);
  ASSERT_TRUE(ReadLoudspeaker(object, s));
  ASSERT_EQ(BuildSpeakerSymbol(s, object, false), 1);
  for (size_t i = 0; i < built.size(); ++i) {
    EXPECT_NEAR(object->vertices[i].x, built[i].x, 1e-5) << i;
    EXPECT_NEAR(object->vertices[i].y, built[i].y, 1e-5) << i;
    EXPECT_NEAR(object->vertices[i].z, built[i].z, 1e-5) << i;
  }
}

TEST_F(SymbolTest, AnglesAreReadOnlyForLoudspeakerObjects) {
  GraphicObject* shape = MakeShape();
  AppendObject(shape);
  SpeakerAnglesFromSymbol(shape);  // no block: untouched
  EXPECT_EQ(shape->vertices[3].x, 1.0f);
  SpeakerAnglesFromSymbol(nullptr);
}

// ---- Purging types ----

class PurgeTest : public SpeakerModelTest {
 protected:
  GraphicObject* AddSpeaker(int16_t typeIndex) {
    Loudspeaker s;
    s.typeIndex = typeIndex;
    GraphicObject* object = MakeSpeakerObject();
    EXPECT_EQ(BuildSpeakerSymbol(s, object, true), 1);
    return object;
  }
  static int16_t TypeIndexOf(GraphicObject* object) {
    Loudspeaker s;
    EXPECT_TRUE(ReadLoudspeaker(object, s));
    return s.typeIndex;
  }
};

TEST_F(PurgeTest, RemovesUnusedTypesAndRenumbers) {
  GraphicObject* usedShape = MakeShape();
  GraphicObject* unusedShape = MakeShape();
  AppendObject(usedShape);
  AppendObject(unusedShape);
  const int16_t t0 = AddType(usedShape);
  AddType(unusedShape);
  AddType(defaultSymbol_);
  const int16_t t3 = AddType(nullptr);
  SpeakerType* kept0 = gSpeakerModel.types.At(t0);
  SpeakerType* kept3 = gSpeakerModel.types.At(t3);
  GraphicObject* a = AddSpeaker(t3);
  GraphicObject* b = AddSpeaker(t0);
  gSpeakerModel.types.At(t3)->shape = nullptr;  // shape-less again
  const uint32_t before = CountObjects();

  PurgeUnusedSpeakerTypes();
  ASSERT_EQ(gSpeakerModel.types.count, 2);
  EXPECT_EQ(gSpeakerModel.types.At(0), kept0);
  EXPECT_EQ(gSpeakerModel.types.At(1), kept3);
  EXPECT_EQ(gSpeakerModel.types.types[2], nullptr);
  EXPECT_EQ(TypeIndexOf(a), 1);
  EXPECT_EQ(TypeIndexOf(b), 0);
  // The unused type's own shape is gone, the default symbol stays.
  EXPECT_EQ(CountObjects(), before - 1);
  for (GraphicObject* o = gObjects.model.first; o; o = o->next) EXPECT_NE(o, unusedShape);
  EXPECT_EQ(defaultSymbol_->vertexCount, 5u);
  EXPECT_EQ(kept0->shape, usedShape);
  EXPECT_EQ(kept3->shape, defaultSymbol_);
}

// Types read from a file may name one shape between them.
TEST_F(PurgeTest, ASharedShapeGoesOnceAndOnlyWhenNoKeptTypeUsesIt) {
  GraphicObject* keptShape = MakeShape();
  GraphicObject* droppedShape = MakeShape();
  AppendObject(keptShape);
  AppendObject(droppedShape);
  const int16_t used = AddType(keptShape);
  AddType(keptShape);
  AddType(droppedShape);
  AddType(droppedShape);
  AddSpeaker(used);
  const uint32_t before = CountObjects();

  PurgeUnusedSpeakerTypes();
  ASSERT_EQ(gSpeakerModel.types.count, 1);
  EXPECT_EQ(gSpeakerModel.types.At(0)->shape, keptShape);
  EXPECT_NE(GetObjectIndex(keptShape), -1);
  EXPECT_EQ(CountObjects(), before - 1);
}

TEST_F(PurgeTest, AllUsedOnlyGivesShapelessTypesTheDefaultSymbol) {
  const int16_t t0 = AddType(nullptr);
  AddSpeaker(t0);
  gSpeakerModel.types.At(t0)->shape = nullptr;
  PurgeUnusedSpeakerTypes();
  ASSERT_EQ(gSpeakerModel.types.count, 1);
  EXPECT_EQ(gSpeakerModel.types.At(0)->shape, defaultSymbol_);
}

TEST_F(PurgeTest, TypeIndexesOutOfRangeAreNeverMarked) {
  const int16_t t0 = AddType(nullptr);
  AddType(nullptr);
  GraphicObject* good = AddSpeaker(t0);
  for (int16_t bad : {int16_t(2), int16_t(-3), int16_t(32000)}) {
    GraphicObject* broken = AddSpeaker(t0);
    StoreI16(broken->data + kSpeakerTypeIndex, bad);
    PurgeUnusedSpeakerTypes();  // must not index its table with it
    EXPECT_EQ(gSpeakerModel.types.count, 1);
    EXPECT_EQ(TypeIndexOf(broken), bad);
    EXPECT_EQ(TypeIndexOf(good), 0);
    FreeObject(broken);
  }
}

// ---- Model, limits and balloon codes ----

TEST_F(SpeakerModelTest, ResetFreesTypesAndSetsLimitAndFactors) {
  AddType(nullptr);
  gSpeakerModel.speakerLimit = 3;
  gSpeakerModel.setUp = false;
  EXPECT_EQ(ResetSpeakerModel(), 1);
  EXPECT_EQ(gSpeakerModel.types.count, 0);
  EXPECT_EQ(gSpeakerModel.types.types[0], nullptr);
  EXPECT_EQ(gSpeakerModel.speakerLimit, 5000);
  EXPECT_TRUE(gSpeakerModel.setUp);
  EXPECT_EQ(gSpeakerModel.defaultSymbol, defaultSymbol_);
  EXPECT_DOUBLE_EQ(AttenuationFactorTable()[225], 1.0);
  EXPECT_DOUBLE_EQ(AttenuationFactorTable()[224], std::pow(10.0, -0.02));
  EXPECT_DOUBLE_EQ(AttenuationFactorTable()[0], std::pow(10.0, -4.5));
  EXPECT_DOUBLE_EQ(AttenuationFactorTable()[255], std::pow(10.0, 0.6));
}

TEST_F(SpeakerModelTest, SpeakerLimit) {
  gSpeakerModel.speakerLimit = 2;
  for (int i = 0; i < 2; ++i) {
    GraphicObject* o = MakeSpeakerObject();
    o->layer = kLoudspeakerLayer;
    AppendObject(o);
  }
  EXPECT_TRUE(WithinSpeakerLimit(0));
  EXPECT_FALSE(WithinSpeakerLimit(1));

  MessageRecorder recorder;
  ShowSpeakerLimitMessage();
  ASSERT_EQ(recorder.messages().size(), 1u);
  EXPECT_EQ(recorder.messages()[0].text, "Maximum amount of speakers is 5000");
  EXPECT_EQ(recorder.messages()[0].caption, "Sorry!");
}

TEST(BalloonCodeTest, CodesAndDecibels) {
  struct Case {
    double db;
    int code;
  } cases[] = {
      {-0.1, 224}, {6.0, 255}, {-50.0, 0}, {0.0, 225},  {-45.0, 0},
      {-44.8, 1},  {7.0, 255}, {0.1, 226}, {-0.3, 224}, {0.2, 226},  // halves go to the even code
  };
  for (const Case& c : cases) EXPECT_EQ(DbToAttenuationCode(c.db), c.code) << c.db;
  EXPECT_EQ(DbToAttenuationCode(std::nan("")), 0);
  // Floating division keeps the 0.2 dB steps.
  EXPECT_DOUBLE_EQ(AttenuationCodeToDb(226), 0.2);
  EXPECT_DOUBLE_EQ(AttenuationCodeToDb(224), -0.2);
  EXPECT_DOUBLE_EQ(AttenuationCodeToDb(0), -45.0);
  EXPECT_DOUBLE_EQ(AttenuationCodeToFactor(225), 1.0);
  EXPECT_DOUBLE_EQ(AttenuationCodeToFactor(175), 0.1);
  for (int code = 0; code < 256; ++code) EXPECT_EQ(DbToAttenuationCode(AttenuationCodeToDb(code)), code);
}

}  // namespace
