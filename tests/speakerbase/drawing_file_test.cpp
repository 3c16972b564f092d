#include "speakerbase/drawing_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/design/model/database_fixtures.h"
#include "tests/support/le_bytes.h"
#include "tests/support/message_recorder.h"

namespace {

using db_fixtures::ScratchFolder;
namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

ProjectHeader DrawingHeader() {
  ProjectHeader h;
  h.viewMode = 3;
  h.snapStep = 0.01f;
  h.snapOn = 1;
  h.nodeSnapWidth = 0.25f;
  h.nodeSnapOn = 0;
  h.gridSize = 0.5f;
  h.reverbMethod = 2;  // from the header read last
  return h;
}

LayerTable DrawingLayers() {
  LayerTable layers;
  for (int i = 0; i < kLayerCount; ++i) layers.records[size_t(i)] = {"LAYER " + std::to_string(i + 1), 0};
  layers.records[0] = {"CABINET", 1};
  layers.records[15] = {"HORN MOUTH", 1};
  return layers;
}

// A face on layer 2 (state 0x80) and a line with a 4-byte data block on layer 5.
void AppendDrawingObjects(ObjectList& list) {
  GraphicObject* face = CreateObject(0, 3, 4);
  face->vertices[1] = {1, 0, 0};
  face->vertices[2] = {0, 2, 0};
  const ObjectItem items[] = {{0, 0}, {3, 1}, {1, 1}, {2, 2}};
  std::copy(std::begin(items), std::end(items), face->items);
  face->kind = kKindFace;
  face->state = 0x80;
  face->colour = 3;
  face->layer = 2;
  AppendObjectToList(face, list);
  GraphicObject* line = CreateObject(4, 2, 2);
  line->data[0] = 0xAB;
  line->vertices[1] = {0, 0, -1.5f};
  line->items[1] = {kOpLineTo, 1};
  line->kind = kKindLine;
  line->layer = 5;
  AppendObjectToList(line, list);
}

std::vector<uint8_t> GoldenDrawing() {
  Bytes f;
  // Header: magic, reverb method, 3 reserved, view mode, snap step and flag,
  // node-snap width and flag, 7 measured times, grid size, 24 reserved, 12
  // bytes of calculation options.
  f.text("NEBRIX V1.40", 16).u8(2).zeros(3).u16(3).f32(0.01f).u16(1).f32(0.25f).u16(0);
  for (int i = 0; i < 7; ++i) f.f32(0);
  f.f32(0.5f).zeros(24);
  CalcOptions options;
  f.u16(uint16_t(options.resultView)).u16(uint16_t(options.resultSubChoice)).u16(uint16_t(options.gridIndex));
  f.u16(uint16_t(options.band)).u16(uint16_t(options.phaseMode)).u16(options.roomBits);
  EXPECT_EQ(f.b.size(), 102u);
  f.text("CABINET", 22).u16(1);
  for (int i = 2; i <= 15; ++i) f.text("LAYER " + std::to_string(i), 22).u16(0);
  f.text("HORN MOUTH", 22).u16(1);
  EXPECT_EQ(f.b.size(), 486u);
  // The face: next 1, kind 8, state 0x80, colour 3, layer 2, 3 vertices, 4 items, no data.
  f.u32(0).u32(1).u32(0).u32(0).u32(0).u32(8).u32(0x80).u32(3).u32(2).u32(3).u32(4).u32(0);
  f.f32(0).f32(0).f32(0).f32(1).f32(0).f32(0).f32(0).f32(2).f32(0);
  f.u16(0).u16(0).u16(3).u16(1).u16(1).u16(1).u16(2).u16(2);
  // The line, the last: next 0, kind 1, layer 5, 2 vertices, 2 items, 4 data bytes.
  f.u32(0).u32(0).u32(0).u32(0).u32(0).u32(1).u32(0).u32(0).u32(5).u32(2).u32(2).u32(4);
  f.u8(0xAB).zeros(3);
  f.f32(0).f32(0).f32(0).f32(0).f32(0).f32(-1.5f);
  f.u16(0).u16(0).u16(1).u16(1);
  return f.b;
}

// The settings object a file may end with: kind 33 and 742 data bytes.
std::vector<uint8_t> WithSettingsObject(std::vector<uint8_t> file, uint32_t dataSize) {
  StoreU32(&file[486 + 100 + 4], 1);  // the line's next word: another follows
  Bytes f;
  f.u32(0).u32(0).u32(0).u32(0).u32(0).u32(33).u32(224).u32(0).u32(0).u32(0).u32(0).u32(dataSize);
  for (uint32_t i = 0; i < dataSize; ++i) f.u8(uint8_t(i));
  file.insert(file.end(), f.b.begin(), f.b.end());
  return file;
}

TEST(DrawingFileTest, WritesTheStoredLayoutAndReadsItBack) {
  OwnedObjectList objects;
  AppendDrawingObjects(objects.list());
  MemoryWriter w;
  ASSERT_TRUE(WriteDrawing(w, DrawingHeader(), DrawingLayers(), objects.list()));
  ASSERT_EQ(w.bytes(), GoldenDrawing());

  MemoryReader r(w.bytes());
  DrawingFileModel model;
  ASSERT_TRUE(ReadDrawing(r, model));
  EXPECT_EQ(model.header.magic, "NEBRIX V1.40");
  EXPECT_EQ(model.header.viewMode, 3);
  EXPECT_EQ(model.header.snapStep, 0.01f);
  EXPECT_EQ(model.header.nodeSnapWidth, 0.25f);
  EXPECT_EQ(model.header.gridSize, 0.5f);
  for (int i = 0; i < kStoredLayerCount; ++i)
    EXPECT_EQ(model.layers.records[size_t(i)], DrawingLayers().records[size_t(i)]);
  EXPECT_FALSE(model.hasSettings);
  const GraphicObject* face = model.objects.list().first;
  ASSERT_NE(face, nullptr);
  const GraphicObject* line = face->next;
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->next, nullptr);
  EXPECT_EQ(face->kind, kKindFace);
  EXPECT_EQ(face->state, 0x80u);
  EXPECT_EQ(face->layer, 2u);
  EXPECT_EQ(face->items[1].op, kOpAttribute);
  EXPECT_EQ(line->kind, kKindLine);
  EXPECT_EQ(line->layer, 5u);
  EXPECT_EQ(line->data[0], 0xAB);
  EXPECT_EQ(line->vertices[1].z, -1.5f);

  // A drawing without objects ends after its layers and reads back empty.
  MemoryWriter empty;
  ASSERT_TRUE(WriteDrawing(empty, DrawingHeader(), DrawingLayers(), ObjectList{}));
  EXPECT_EQ(empty.bytes().size(), 486u);
  MemoryReader emptyReader(empty.bytes());
  ASSERT_TRUE(ReadDrawing(emptyReader, model));
  EXPECT_TRUE(model.objects.empty());
}

TEST(DrawingFileTest, ALastSettingsObjectBecomesTheSettings) {
  const std::vector<uint8_t> file = WithSettingsObject(GoldenDrawing(), 742);
  MemoryReader r(file);
  DrawingFileModel model;
  ASSERT_TRUE(ReadDrawing(r, model));
  EXPECT_TRUE(model.hasSettings);
  EXPECT_EQ(model.settings.bytes[741], uint8_t(741));
  EXPECT_EQ(model.objects.list().last->kind, kKindLine);

  EXPECT_EQ(model.objectsLeftOut, 0u);

  // Settings of another size are dropped and counted; the drawing is read.
  const std::vector<uint8_t> wrongSize = WithSettingsObject(GoldenDrawing(), 100);
  MemoryReader wrong(wrongSize);
  DrawingFileModel damaged;
  ASSERT_TRUE(ReadDrawing(wrong, damaged));
  EXPECT_FALSE(damaged.hasSettings);
  EXPECT_EQ(damaged.objectsLeftOut, 1u);
  EXPECT_EQ(damaged.objects.list().last->kind, kKindLine);
  EXPECT_EQ(damaged.objects.list().first->next, damaged.objects.list().last);
}

TEST(DrawingFileTest, OnlyTheLastObjectIsSettings) {
  // The line before the settings object carries the settings kind: it stays
  // in the drawing with the kind of its items, as a merged object gets its
  // kind, so that the saved drawing reads back as it was.
  std::vector<uint8_t> file = WithSettingsObject(GoldenDrawing(), 742);
  StoreU32(&file[486 + 100 + 20], 33);  // the line's kind
  MemoryReader r(file);
  DrawingFileModel model;
  ASSERT_TRUE(ReadDrawing(r, model));
  EXPECT_TRUE(model.hasSettings);
  const GraphicObject* line = model.objects.list().last;
  EXPECT_EQ(line->kind, 0u);  // no close item
  EXPECT_EQ(line->data[0], 0xAB);

  MemoryWriter saved;
  ASSERT_TRUE(WriteDrawing(saved, model.header, model.layers, model.objects.list()));
  MemoryReader again(saved.bytes());
  DrawingFileModel reopened;
  ASSERT_TRUE(ReadDrawing(again, reopened));
  EXPECT_FALSE(reopened.hasSettings);
  MemoryWriter resaved;
  ASSERT_TRUE(WriteDrawing(resaved, reopened.header, reopened.layers, reopened.objects.list()));
  EXPECT_EQ(resaved.bytes(), saved.bytes());
}

TEST(DrawingFileTest, DamagedFilesAreRefusedWithNothingTaken) {
  const std::vector<uint8_t> good = GoldenDrawing();
  // An item naming a vertex its object lacks is dropped, as welding does.
  std::vector<uint8_t> stray = good;
  StoreU16(&stray[good.size() - 2], 2);  // the line has vertices 0 and 1
  MemoryReader strayReader(stray);
  DrawingFileModel repaired;
  ASSERT_TRUE(ReadDrawing(strayReader, repaired));
  EXPECT_EQ(repaired.objects.list().last->itemCount, 1u);

  std::vector<uint8_t> endless = good;
  StoreU32(&endless[486 + 100 + 4], 1);  // the last object says another follows
  std::vector<uint8_t> hugeCount = good;
  StoreU32(&hugeCount[486 + 36], 0x10000000);  // the face's vertex count
  std::vector<uint8_t> foreign = good;
  foreign[0] = 'M';
  std::vector<std::vector<uint8_t>> bad = {endless, hugeCount, foreign};
  for (size_t cut : {size_t(0), size_t(101), size_t(485), size_t(486 + 47), good.size() - 1})
    bad.emplace_back(good.begin(), good.begin() + std::ptrdiff_t(cut));
  for (size_t i = 0; i < bad.size(); ++i) {
    MemoryReader r(bad[i]);
    DrawingFileModel model;
    AppendDrawingObjects(model.objects.list());
    model.layers.records[0].name = "KEPT";
    EXPECT_FALSE(ReadDrawing(r, model)) << i;
    EXPECT_EQ(model.layers.records[0].name, "KEPT") << i;
    EXPECT_EQ(model.objects.list().first->layer, 2u) << i;
  }
}

// "TARNIK 1.0     ": two blocks, a triangle and a line over their own indices.
std::vector<uint8_t> TarnikTwoBlocks() {
  Bytes f;
  f.text("TARNIK 1.0     ", 32).zeros(384);
  f.u16(3).u16(3).zeros(10).u32(1);
  f.f32(0).f32(0).f32(0).f32(1).f32(0).f32(0).f32(0).f32(1).f32(0);
  f.u16(0).u16(0).u16(1).u16(1).u16(2).u16(2);
  f.u16(2).u16(2).zeros(10).u32(0);
  f.f32(5).f32(5).f32(5).f32(6).f32(6).f32(6);
  f.u16(0).u16(0).u16(1).u16(1);
  return f.b;
}

// "TARNIK V1.27": the project header, 384 bytes, one 40-byte block on layer 0
// whose 2-byte items are 0x0000, 0x0009 and 0x0006.
std::vector<uint8_t> TarnikV127() {
  Bytes f;
  f.text("TARNIK V1.27", 16).zeros(102 - 16).zeros(384);
  f.u32(0).u32(0).u32(0).u32(0).u32(0).u32(8).u32(0).u32(0);
  f.u16(0).u16(3).u16(3).u16(0);
  for (int i = 0; i < 9; ++i) f.f32(float(i));
  f.u16(0x0000).u16(0x0009).u16(0x0006);
  return f.b;
}

class DrawingFiles : public ScratchFolder {};

TEST_F(DrawingFiles, OlderShapeFilesOpenAsOneSolid) {
  MessageRecorder messages;
  DrawingFileModel model;
  model.layers.records[0].name = "KEPT";
  ASSERT_EQ(OpenDrawingFile(WriteFile("old.tcf", TarnikTwoBlocks()), model), DrawingReadResult::kShape);
  EXPECT_EQ(model.layers.records[0].name, "KEPT");
  const GraphicObject* o = model.objects.list().first;
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->next, nullptr);
  EXPECT_EQ(o->kind, kKindSolid);
  EXPECT_EQ(o->layer, 0u);
  EXPECT_EQ(o->state, 0u);
  ASSERT_EQ(o->vertexCount, 5u);
  ASSERT_EQ(o->itemCount, 5u);
  EXPECT_EQ(o->items[3].index, 3);  // the second block's indices follow the first block's vertices
  EXPECT_EQ(o->items[4].index, 4);
  EXPECT_EQ(o->vertices[4].x, 6.0f);

  ASSERT_EQ(OpenDrawingFile(WriteFile("old127.ndf", TarnikV127()), model), DrawingReadResult::kShape);
  o = model.objects.list().first;
  ASSERT_EQ(o->itemCount, 3u);
  EXPECT_EQ(o->items[1].op, kOpLineTo);
  EXPECT_EQ(o->items[1].index, 2);
  EXPECT_EQ(o->items[2].op, kOpClose);
  EXPECT_EQ(o->items[2].index, 1);
  EXPECT_TRUE(messages.texts().empty());
}

TEST_F(DrawingFiles, OpenReadsADrawingOrSaysWhyNot) {
  DrawingFileModel model;
  ASSERT_EQ(OpenDrawingFile(WriteFile("shape.TCF", GoldenDrawing()), model), DrawingReadResult::kDrawing);
  EXPECT_EQ(model.layers.records[15].name, "HORN MOUTH");

  std::vector<uint8_t> cut = GoldenDrawing();
  cut.resize(cut.size() - 3);
  for (const auto& file : {cut, std::vector<uint8_t>(64, 'x')}) {
    MessageRecorder messages;
    EXPECT_EQ(OpenDrawingFile(WriteFile("bad.tcf", file), model), DrawingReadResult::kNotRead);
    EXPECT_EQ(messages.texts(), Texts{"Invalid file format !"});
  }
  // Damaged settings cost only themselves, as in a project.
  for (bool merge : {false, true}) {
    MessageRecorder messages;
    const std::string path = WriteFile("settings.tcf", WithSettingsObject(GoldenDrawing(), 741));
    OwnedObjectList drawing;
    if (merge) EXPECT_EQ(MergeDrawingFile(path, 7, drawing.list()), 1);
    else EXPECT_EQ(OpenDrawingFile(path, model), DrawingReadResult::kDrawing);
    EXPECT_EQ(messages.texts(), Texts{"Invalid objects not loaded : 1"}) << merge;
  }
  MessageRecorder silent;
  EXPECT_EQ(OpenDrawingFile(PathOf("none.tcf"), model), DrawingReadResult::kNotRead);
  EXPECT_TRUE(silent.texts().empty());
  EXPECT_EQ(model.objects.list().first->kind, kKindFace);  // still the drawing read last
}

TEST_F(DrawingFiles, MergePutsDrawingObjectsOnTheCurrentLayerAndTarnikShapesFirst) {
  OwnedObjectList drawing;
  GraphicObject* present = CreateObject(0, 0, 0);
  AppendObjectToList(present, drawing.list());

  ASSERT_EQ(MergeDrawingFile(WriteFile("a.tcf", WithSettingsObject(GoldenDrawing(), 742)), 7, drawing.list()), 1);
  std::vector<const GraphicObject*> merged;
  for (const GraphicObject* o = present->next; o; o = o->next) merged.push_back(o);
  ASSERT_EQ(merged.size(), 2u);  // the settings object is dropped
  EXPECT_EQ(merged[0]->layer, 7u);
  EXPECT_EQ(merged[1]->layer, 7u);
  EXPECT_EQ(merged[0]->kind, kKindFace);  // one close item
  EXPECT_EQ(merged[1]->kind, 0u);         // no close item
  EXPECT_EQ(merged[0]->state, 0x80u);

  ASSERT_EQ(MergeDrawingFile(WriteFile("b.tcf", TarnikTwoBlocks()), 7, drawing.list()), 1);
  EXPECT_EQ(drawing.list().first->kind, kKindSolid);
  EXPECT_EQ(drawing.list().first->layer, 0u);
  EXPECT_EQ(drawing.list().first->next, present);

  MessageRecorder messages;
  EXPECT_EQ(MergeDrawingFile(WriteFile("c.tcf", TarnikV127()), 7, drawing.list()), 0);
  EXPECT_EQ(messages.texts(), Texts{"Invalid file format !"});
  EXPECT_EQ(MergeDrawingFile(PathOf("none.tcf"), 7, drawing.list()), -1);
  EXPECT_EQ(messages.texts().size(), 1u);
}

TEST_F(DrawingFiles, SaveWritesThroughATemporaryFileAndSaysWhenItFails) {
  OwnedObjectList objects;
  AppendDrawingObjects(objects.list());
  ASSERT_EQ(SaveDrawingFile(PathOf("shape.TCF"), DrawingHeader(), DrawingLayers(), objects.list()), 1);
  EXPECT_EQ(ReadFile("shape.TCF"), GoldenDrawing());

  fs::create_directory(dir_ / "taken.TCF");
  MessageRecorder messages;
  EXPECT_EQ(SaveDrawingFile(PathOf("taken.TCF"), DrawingHeader(), DrawingLayers(), objects.list()), 0);
  EXPECT_EQ(messages.texts(), Texts{"Couldn\xB4t write data to disk !\nIs a directory"});
  EXPECT_TRUE(fs::is_directory(dir_ / "taken.TCF"));
  EXPECT_EQ(FileCount(), 2u);
}

TEST(DrawingExtensionTest, TcfIsAppendedUnlessThePathEndsSo) {
  struct Case {
    const char* path;
    const char* forced;
  } cases[] = {
      {"a", "a.TCF"}, {"a.tcf", "a.tcf"}, {"a.TCF", "a.TCF"}, {"a.ndf", "a.ndf.TCF"}, {"/x/a.Tcf", "/x/a.Tcf"}};
  for (const Case& c : cases) EXPECT_EQ(ForceDrawingExtension(c.path), c.forced) << c.path;
}

}  // namespace
