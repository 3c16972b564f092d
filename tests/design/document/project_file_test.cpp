#include "design/model/project_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include <sys/resource.h>

#include "design/acoustics/level_map.h"
#include "design/document/project_document.h"
#include "framework/model/layers.h"
#include "tests/design/document/project_fixtures.h"
#include "tests/design/model/older_format_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

namespace fs = std::filesystem;

const GraphicObject* FindOnLayer(uint32_t layer) {
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
    if (o->layer == layer) return o;
  return nullptr;
}

std::vector<std::string> SpeakerNames() {
  std::vector<std::string> names;
  for (GraphicObject* o = gObjects.model.first; o; o = o->next) {
    Loudspeaker speaker;
    if (ReadLoudspeaker(o, speaker)) names.push_back(speaker.name);
  }
  return names;
}

const GraphicObject* FindSpeaker(const std::string& name) {
  for (GraphicObject* o = gObjects.model.first; o; o = o->next) {
    Loudspeaker speaker;
    if (ReadLoudspeaker(o, speaker) && speaker.name == name) return o;
  }
  return nullptr;
}

// A shape read back with its reference points (1,0,0) and (0,0,1) behind
// its own vertices.
void ExpectReadShape(const GraphicObject* shape, uint32_t vertexCount) {
  ASSERT_NE(shape, nullptr);
  ASSERT_EQ(shape->vertexCount, vertexCount);
  const ObjectVertex& axis = shape->vertices[vertexCount - 2];
  const ObjectVertex& up = shape->vertices[vertexCount - 1];
  EXPECT_TRUE(axis.x == 1 && axis.y == 0 && axis.z == 0);
  EXPECT_TRUE(up.x == 0 && up.y == 0 && up.z == 1);
  EXPECT_EQ(shape->vertices[0].x, 0.5f);
}

// The stored header of every object record of a current-format file.
std::vector<PackedObjectHeader> StoredRecords(const std::vector<uint8_t>& file) {
  std::vector<PackedObjectHeader> records;
  MemoryReader r(file);
  r.Skip(kProjectHeaderSize + kStoredLayersSize);
  PackedObjectHeader h;
  do {
    if (!ReadPackedHeader(r, PackedLayout::kCurrent, h) || !SkipPackedBody(r, PackedLayout::kCurrent, h)) break;
    records.push_back(h);
  } while (h.next != 0);
  return records;
}

class ProjectFileTest : public ProjectTest {
 protected:
  // The hall: named layers, a room face with a material, an audience face,
  // a type with its own shape and one with the default symbol, a switched-on
  // and a switched-off loudspeaker, an aim line, an auxiliary line, plot
  // header texts, three materials and a setting in every header field.
  void BuildHall() {
    gLayers.records[0].name = "ROOM";
    gLayers.records[5] = {"RAYS", 1};
    gLayers.records[15] = {"LAST", 1};
    for (uint32_t layer : {3u, 4u, 6u, 8u}) gLayers.SetVisible(layer, true);

    MaterialTable& materials = gMaterials.project;
    for (int i : {1, 2}) {
      materials.records[i].name = i == 1 ? "WOOD" : "GLASS";
      materials.records[i].absorption.fill(0.1f * float(i));
    }
    materials.count = 3;

    AddFace(0, 2);
    GraphicObject* audience = AddFace(1, 0, 3);
    audience->state = kStateDuplicate;
    shape_ = MakeShape();
    shape_->colour = 9;
    AppendObject(shape_);
    AddNamedType("OWN", shape_);
    AddNamedType("PLAIN", defaultSymbol_);
    PlaceSpeaker("ON", 0, 1);
    PlaceSpeaker("OFF", 1, 0);
    GraphicObject* aim = CreateObject(0, 2, 2);
    aim->items[1] = {kOpLineTo, 1};
    aim->kind = kKindLine;
    aim->layer = kAimLineLayer;
    aim->colour = 5;
    AppendObject(aim);
    GraphicObject* auxiliary = CreateObject(0, 2, 2);
    auxiliary->items[1] = {kOpLineTo, 1};
    auxiliary->kind = kKindLine;
    auxiliary->layer = 7;
    auxiliary->colour = 9;
    AppendObject(auxiliary);

    gPlotHeader.SetLabel(0, "Project");
    gPlotHeader.SetText(0, "Concert hall");
    gPlotHeader.SetText(7, "Rev. 3");
    gPlotHeader.SetFreeText(3, "Notes");

    gProject.reverbMethod = 2;
    gProject.view = {
        .viewMode = 1, .snapStep = 0.25f, .snapOn = 0, .nodeSnapWidth = 7.5, .nodeSnapOn = 1, .gridSize = 2.5f};
    for (int b = 0; b < kRt60BandCount; ++b) gProject.measuredRt[size_t(b)] = 1.0 + 0.125 * b;
    gProject.calcOptions = {3, 1, 4, 5, 3, kCalcShading | kCalcFirstReflection};
  }

  GraphicObject* shape_ = nullptr;
};

TEST_F(ProjectFileTest, RoundTripKeepsTheWholeModel) {
  BuildHall();
  const std::vector<std::string> speakerOrder = SpeakerNames();
  const PlotHeaderBlock plotHeader = gPlotHeader;
  const std::string path = Path("hall.KPR");
  ASSERT_EQ(SaveProjectAs(path), 1);

  // On disk: the shape two vertices short, the settings object last.
  const std::vector<PackedObjectHeader> records = StoredRecords(FileBytes(path));
  ASSERT_EQ(records.size(), 8u);
  for (const PackedObjectHeader& h : records) {
    if (h.layer == kShapeLayer) {
      EXPECT_EQ(h.vertexCount, 3u);
    }
  }
  EXPECT_EQ(records.back().kind, kKindSettings);
  EXPECT_EQ(records.back().state, kSettingsObjectState);
  EXPECT_EQ(records.back().dataSize, kPlotHeaderSize);
  EXPECT_EQ(records.back().next, 0u);

  NewProject();
  gProject.view.snapOn = 1;
  gProject.view.nodeSnapOn = 0;
  gProject.modified = 1;
  MessageRecorder messages;
  ASSERT_EQ(ReadProjectFile(path), 1);
  EXPECT_TRUE(messages.texts().empty());
  EXPECT_EQ(gProject.path, path);
  EXPECT_EQ(gProject.modified, 0);

  // Layers, with 3, 4, 6 and 8 hidden after a read.
  EXPECT_EQ(gLayers.records[0].name, "ROOM");
  EXPECT_EQ(gLayers.records[5], (LayerRecord{"RAYS", 1}));
  EXPECT_EQ(gLayers.records[15], (LayerRecord{"LAST", 1}));
  for (uint32_t layer : {3u, 4u, 6u, 8u}) EXPECT_FALSE(gLayers.IsVisible(layer)) << layer;
  EXPECT_EQ(gLayers.records[16], (LayerRecord{"LAYER 17", 0}));

  // Objects with the colour and state rules of their layers.
  EXPECT_EQ(CountObjects(), 7u);
  const GraphicObject* room = FindOnLayer(0);
  ASSERT_NE(room, nullptr);
  EXPECT_EQ(room->colour, kRoomColour);
  EXPECT_EQ(room->kind, kKindFace);
  EXPECT_EQ(room->items[1].op, kOpAttribute);
  EXPECT_EQ(room->items[1].index, 2);
  const GraphicObject* audience = FindOnLayer(1);
  EXPECT_EQ(audience->colour, kAudienceColour);
  EXPECT_EQ(audience->state, kStateDuplicate);
  const GraphicObject* shape = FindOnLayer(kShapeLayer);
  ExpectReadShape(shape, 5);
  EXPECT_EQ(shape->colour, 9u);
  EXPECT_EQ(shape->state, 134u);
  const GraphicObject* aim = FindOnLayer(kAimLineLayer);
  EXPECT_EQ(aim->colour, 0u);
  EXPECT_EQ(aim->state, kStateLayerOff);
  EXPECT_EQ(FindOnLayer(7)->colour, 9u);

  // Loudspeakers in their order, coloured by their on word, rebuilt from
  // their types' shapes.
  EXPECT_EQ(SpeakerNames(), speakerOrder);
  ASSERT_NE(FindSpeaker("ON"), nullptr);
  EXPECT_EQ(FindSpeaker("ON")->colour, kSpeakerColourOn);
  EXPECT_EQ(FindSpeaker("OFF")->colour, kSpeakerColourOff);
  EXPECT_EQ(FindSpeaker("ON")->vertices[0].x, 2.5f);

  // Types with their shapes, materials, plot header.
  const SpeakerTypeTable& types = gSpeakerModel.types;
  ASSERT_EQ(types.count, 2);
  EXPECT_EQ(types.At(0)->Brand(), "OWN");
  EXPECT_EQ(types.At(0)->shape, shape);
  EXPECT_EQ(types.At(1)->Brand(), "PLAIN");
  EXPECT_EQ(types.At(1)->shape, defaultSymbol_);
  ASSERT_EQ(gMaterials.project.count, 3);
  EXPECT_EQ(gMaterials.project.records[0].name, "100%");
  EXPECT_EQ(gMaterials.project.records[2].name, "GLASS");
  EXPECT_FLOAT_EQ(gMaterials.project.records[2].absorption[6], 0.2f);
  EXPECT_EQ(gPlotHeader, plotHeader);
  EXPECT_EQ(gPlotHeader.Text(0), "Concert hall");

  // Header fields; the snap switches stay as they were before the read.
  EXPECT_EQ(gProject.reverbMethod, 2);
  EXPECT_EQ(
      gProject.view,
      (ProjectViewSettings{
          .viewMode = 1, .snapStep = 0.25f, .snapOn = 1, .nodeSnapWidth = 7.5, .nodeSnapOn = 0, .gridSize = 2.5f}));
  for (int b = 0; b < kRt60BandCount; ++b) EXPECT_EQ(gProject.measuredRt[size_t(b)], 1.0 + 0.125 * b);
  EXPECT_EQ(gProject.calcOptions, (CalcOptions{3, 1, 4, 5, 3, 3}));
  EXPECT_EQ(gLevelMap.resultPresent, 0);
}

// A type record damaged on disk is reset when read; the project saved from
// it reads back, and its next save writes the same bytes.
TEST_F(ProjectFileTest, AProjectWithADamagedTypeRecordSavesAndReopens) {
  BuildHall();
  ASSERT_EQ(SaveProjectAs(Path("hall.KPR")), 1);
  std::vector<uint8_t> damaged = FileBytes(Path("hall.KPR"));
  const size_t firstType =
      damaged.size() - (2 + kAbsorberRecordSize * size_t(gMaterials.project.count)) - 2 * kSpeakerTypeSize;
  damaged[firstType + kTypeBalloon + 100] ^= 0x01;
  WriteFile(Path("damaged.KPR"), damaged);

  MessageRecorder messages;
  ASSERT_EQ(ReadProjectFile(Path("damaged.KPR")), 1);
  EXPECT_EQ(gSpeakerModel.types.At(0)->Brand(), "");
  ASSERT_EQ(SaveProjectAs(Path("first.KPR")), 1);
  ASSERT_EQ(ReadProjectFile(Path("first.KPR")), 1);
  ASSERT_EQ(SaveProjectAs(Path("second.KPR")), 1);
  EXPECT_EQ(FileBytes(Path("second.KPR")), FileBytes(Path("first.KPR")));
  // Only the damaged file's read tells of the reset (its type has no name).
  EXPECT_EQ(messages.texts(), std::vector<std::string>{std::string(kSpeakerTypesResetMessage) + "type 1"});
}

// One message names every type that was reset, by the name it held where
// that still opens; the rest of the project opens.
TEST_F(ProjectFileTest, DamagedTypeRecordsAreReportedOnceAndTheRestOpens) {
  AddFace(0);
  const char* names[] = {"HORN12", "SUB18", "TOP8"};
  for (const char* name : names) {
    const int16_t index = AddNamedType("ACME", defaultSymbol_);
    gSpeakerModel.types.At(index)->SetTypeName(name);
    PlaceSpeaker(name, index, 1);
  }
  ASSERT_EQ(SaveProjectAs(Path("hall.KPR")), 1);
  std::vector<uint8_t> damaged = FileBytes(Path("hall.KPR"));
  const size_t firstType = damaged.size() - (2 + kAbsorberRecordSize * size_t(gMaterials.project.count)) -
                           std::size(names) * kSpeakerTypeSize;
  damaged[firstType + kTypeBalloon + 100] ^= 0x01;          // HORN12's balloon: its header opens
  damaged[firstType + 2 * kSpeakerTypeSize + 480] ^= 0x01;  // TOP8's owner region: it does not
  WriteFile(Path("damaged.KPR"), damaged);

  MessageRecorder messages;
  ASSERT_EQ(ReadProjectFile(Path("damaged.KPR")), 1);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{std::string(kSpeakerTypesResetMessage) + "HORN12, type 3"});
  EXPECT_EQ(SpeakerNames(), (std::vector<std::string>{"TOP8", "SUB18", "HORN12"}));  // each placed at the head
  ASSERT_EQ(gSpeakerModel.types.count, 3);
  EXPECT_EQ(gSpeakerModel.types.At(0)->TypeName(), "");
  EXPECT_EQ(gSpeakerModel.types.At(1)->TypeName(), "SUB18");
  EXPECT_EQ(gSpeakerModel.types.At(2)->TypeName(), "");
  EXPECT_NE(FindOnLayer(kRoomLayer), nullptr);
}

// A tiny model written by hand: no objects, no types, no materials.
TEST_F(ProjectFileTest, EmptyModelMatchesTheHandWrittenBytes) {
  gMaterials.project.count = 0;
  gPlotHeader.SetLabel(0, "Title");
  gProject.reverbMethod = 3;
  gProject.view = {
      .viewMode = 2, .snapStep = 0.125f, .snapOn = 1, .nodeSnapWidth = 12.0, .nodeSnapOn = 0, .gridSize = 2.0f};
  for (int b = 0; b < kRt60BandCount; ++b) gProject.measuredRt[size_t(b)] = 0.5 * (b + 1);
  gProject.calcOptions = {1, -1, 5, 6, 1, kCalcFirstReflection};

  std::vector<uint8_t> expected(102 + 384 + 48 + 742 + 2 + 2, 0);
  uint8_t* p = expected.data();
  std::memcpy(p, "KORVANE V2.80  ", 15);
  p[16] = 3;
  StoreI16(p + 20, 2);
  StoreF32(p + 22, 0.125f);
  StoreU16(p + 26, 1);
  StoreF32(p + 28, 12.0f);
  StoreU16(p + 32, 0);
  for (int b = 0; b < 7; ++b) StoreF32(p + 34 + 4 * b, 0.5f * float(b + 1));
  StoreF32(p + 62, 2.0f);
  const int16_t calc[6] = {1, -1, 5, 6, 1, 2};
  for (int i = 0; i < 6; ++i) StoreI16(p + 90 + 2 * i, calc[i]);
  for (int i = 0; i < 16; ++i) {
    const std::string name = "LAYER " + std::to_string(i + 1);
    std::memcpy(p + 102 + 24 * i, name.data(), name.size());
    StoreU16(p + 102 + 24 * i + 22, i < 3 ? 1 : 0);
  }
  uint8_t* settings = p + 486;
  StoreU32(settings + 20, 33);
  StoreU32(settings + 24, 224);
  StoreU32(settings + 44, 742);
  std::memcpy(settings + 48 + 162, "Title", 5);
  // Both section counts are 0.

  EXPECT_EQ(ProjectBytes(), expected);

  // It reads back; the method byte is signed.
  expected[16] = 0xFF;
  WriteFile(Path("tiny.KPR"), expected);
  MessageRecorder messages;
  ASSERT_EQ(ReadProjectFile(Path("tiny.KPR")), 1);
  EXPECT_EQ(gProject.reverbMethod, -1);
  EXPECT_EQ(gObjects.model.first, nullptr);
  EXPECT_EQ(gPlotHeader.Label(0), "Title");
  // Its table has no entry 0 for the faces to name: the default one is put there.
  ASSERT_EQ(gMaterials.project.count, 1);
  EXPECT_EQ(gMaterials.project.records[0], DefaultMaterial());
}

// An entry 0 that is not the default material opens as it was stored, an
// emptied one (as older saves left it) included.
TEST_F(ProjectFileTest, AnEntryZeroThatIsNotTheDefaultOpensAsStored) {
  AbsorberRecord stored;
  stored.absorption.fill(0.7f);
  for (const char* name : {"", "Concrete"}) {
    stored.name = name;
    gMaterials.project.records[0] = stored;
    ASSERT_EQ(SaveProjectAs(Path("odd.KPR")), 1);
    ResetProjectMaterials();
    ASSERT_EQ(ReadProjectFile(Path("odd.KPR")), 1);
    EXPECT_EQ(gMaterials.project.count, 1);
    EXPECT_EQ(gMaterials.project.records[0], stored) << name;
  }
}

TEST_F(ProjectFileTest, OlderProjectReadsWithItsShortHeadersAndItems) {
  WriteFile(Path("old.kpr"), OldProjectFixture());
  MessageRecorder messages;
  ASSERT_EQ(ReadProjectFile(Path("old.kpr")), 1);
  EXPECT_TRUE(messages.texts().empty());

  EXPECT_EQ(gLayers.records[0].name, "OLD ROOM");
  EXPECT_EQ(CountObjects(), 4u);
  const GraphicObject* room = FindOnLayer(0);
  ASSERT_NE(room, nullptr);
  ASSERT_EQ(room->itemCount, 4u);
  EXPECT_EQ(room->items[1].op, kOpAttribute);
  EXPECT_EQ(room->items[1].index, 1);
  EXPECT_EQ(room->items[3].op, kOpClose);
  EXPECT_EQ(room->items[3].index, 2);
  EXPECT_EQ(room->vertices[1].x, 4.0f);
  EXPECT_EQ(room->colour, kRoomColour);

  const GraphicObject* shape = FindOnLayer(kShapeLayer);
  ExpectReadShape(shape, 5);
  ASSERT_EQ(gSpeakerModel.types.count, 1);
  EXPECT_EQ(gSpeakerModel.types.At(0)->Brand(), "OLDTYPE");
  EXPECT_EQ(gSpeakerModel.types.At(0)->shape, shape);

  // The loudspeaker's symbol is rebuilt from that shape at its position.
  const GraphicObject* speaker = FindSpeaker("OLD");
  ASSERT_NE(speaker, nullptr);
  EXPECT_EQ(speaker->vertexCount, 5u);
  EXPECT_EQ(speaker->vertices[0].x, 1.5f);
  EXPECT_EQ(speaker->colour, kSpeakerColourOn);

  EXPECT_EQ(gPlotHeader.Label(0), "Old");
  ASSERT_EQ(gMaterials.project.count, 2);
  EXPECT_EQ(gMaterials.project.records[1].name, "BRICK");
  EXPECT_EQ(gProject.reverbMethod, 1);
  EXPECT_EQ(gProject.view.viewMode, 0);
  EXPECT_EQ(gProject.view.snapStep, 0.75f);
  EXPECT_EQ(gProject.view.nodeSnapWidth, 4.0);
  EXPECT_EQ(gProject.view.gridSize, 0.5f);
  EXPECT_EQ(gProject.calcOptions, (CalcOptions{0, -1, 2, 7, 2, 0}));
}

// An object on the loudspeaker layer without a loudspeaker block is no
// loudspeaker: both readers keep its colour, so a save and reopen keeps it.
TEST_F(ProjectFileTest, ALoudspeakerLayerObjectWithoutABlockKeepsItsColour) {
  auto lineColour = [] {
    for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
      if (o->layer == kLoudspeakerLayer && o->dataSize == 0) return int(o->colour);
    return -1;
  };
  WriteFile(Path("old.KPR"), OldProjectFixture());
  ASSERT_EQ(ReadProjectFile(Path("old.KPR")), 1);
  EXPECT_EQ(lineColour(), 9);
  ASSERT_EQ(SaveProjectAs(Path("new.KPR")), 1);
  ASSERT_EQ(ReadProjectFile(Path("new.KPR")), 1);
  EXPECT_EQ(lineColour(), 9);
}

TEST(ProjectVersionTest, VersionIsReadFromTheFourCharactersBehindThePrefix) {
  const std::pair<const char*, int> cases[] = {
      {"KORVANE V2.80  ", 280}, {"KORVANE V1.27  ", 127},
      {"KORVANE V2.10", 210},   {"KORVANE V1.50", 150},
      {"KORVANE V2", 200},      {"KORVANE VABCD", 0},
      {"KORVANE V9e99", 9999},  {"KORVANE Vnan", 0},
      {"KORVANX V2.80", -1},    {"", -1},
  };
  for (const auto& [magic, version] : cases) {
    ProjectHeader header;
    header.magic = magic;
    EXPECT_EQ(ProjectFileVersion(header), version) << magic;
  }
}

TEST_F(ProjectFileTest, VersionRouting) {
  AddFace(0);
  const std::vector<uint8_t> current = ProjectBytes();
  const std::vector<uint8_t> old = OldProjectFixture();
  struct Case {
    const char* magic;
    const std::vector<uint8_t>* body;
    bool reads;
  };
  const Case cases[] = {
      {"KORVANE V1.27  ", &old, true},     // the older reader
      {"KORVANE V2.10", &current, true},   // read as a current file
      {"KORVANE V1.50", &current, false},  // the older reader refuses its magic
      {"KORVANX V2.80  ", &current, false}, {"TARNIK V1.27", &current, false},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = *c.body;
    WriteTextField(std::span(bytes).first(kProjectMagicSize), c.magic);
    WriteFile(Path("routed.KPR"), bytes);
    NewProject();
    AddFace(1);
    gProject.modified = 1;
    const ModelFingerprint before = ModelFingerprint::Now();
    MessageRecorder messages;
    EXPECT_EQ(ReadProjectFile(Path("routed.KPR")), c.reads ? 1 : 0) << c.magic;
    if (c.reads) {
      EXPECT_TRUE(messages.texts().empty()) << c.magic;
      EXPECT_EQ(gProject.modified, 0) << c.magic;
    } else {
      EXPECT_EQ(messages.texts(), std::vector<std::string>{kInvalidFileFormatMessage}) << c.magic;
      EXPECT_EQ(ModelFingerprint::Now(), before) << c.magic;
    }
  }
}

TEST_F(ProjectFileTest, MissingFileIsReportedAndChangesNothing) {
  AddFace(0);
  gProject.modified = 1;
  const ModelFingerprint before = ModelFingerprint::Now();
  MessageRecorder messages;
  EXPECT_EQ(ReadProjectFile(Path("absent.KPR")), 0);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{kCantLocateFileMessage});
  EXPECT_EQ(ModelFingerprint::Now(), before);
  // The older reader ends silently.
  EXPECT_EQ(ReadOldProjectFile(Path("absent.KPR")), 0);
  EXPECT_EQ(messages.texts().size(), 1u);
}

TEST_F(ProjectFileTest, TruncationAtEverySectionBoundaryIsRejected) {
  BuildHall();
  const std::vector<uint8_t> file = ProjectBytes();
  // Section and record boundaries.
  std::vector<size_t> boundaries = {0, kProjectMagicSize, kProjectHeaderSize, kProjectHeaderSize + kStoredLayersSize};
  size_t offset = boundaries.back();
  for (const PackedObjectHeader& h : StoredRecords(file)) {
    boundaries.push_back(offset + kPackedHeaderSize);
    offset += kPackedHeaderSize + PackedBodySize(h, PackedLayout::kCurrent);
    boundaries.push_back(offset);
  }
  offset += 2;
  boundaries.push_back(offset);
  for (int i = 0; i < gSpeakerModel.types.count; ++i) boundaries.push_back(offset += kSpeakerTypeSize);
  boundaries.push_back(offset += 2);
  for (int i = 0; i < gMaterials.project.count; ++i) boundaries.push_back(offset += kAbsorberRecordSize);
  ASSERT_EQ(offset, file.size());

  NewProject();
  AddFace(1);
  gProject.modified = 1;
  const ModelFingerprint before = ModelFingerprint::Now();
  for (size_t boundary : boundaries)
    for (size_t length : {boundary - 1, boundary, boundary + 1}) {
      if (boundary == 0 && length != 0) continue;
      if (length >= file.size()) continue;
      WriteFile(Path("cut.KPR"), std::vector<uint8_t>(file.begin(), file.begin() + ptrdiff_t(length)));
      MessageRecorder messages;
      EXPECT_EQ(ReadProjectFile(Path("cut.KPR")), 0) << length;
      EXPECT_EQ(messages.texts(), std::vector<std::string>{kInvalidFileFormatMessage}) << length;
      EXPECT_EQ(ModelFingerprint::Now(), before) << length;
    }
}

// Files that are whole but inconsistent, written record by record.
class InconsistentFileTest : public ProjectFileTest {
 protected:
  static std::vector<uint8_t> FileWith(const std::vector<const GraphicObject*>& records, int typeCount,
                                       int16_t materialCount, int materialRecords) {
    MemoryWriter w;
    WriteProjectHeader(w, ProjectHeaderOf(gProject));
    WriteStoredLayers(w, gLayers);
    for (size_t i = 0; i < records.size(); ++i)
      WritePackedObject(w, *records[i], 0, i + 1 < records.size() ? kPackedNextFollows : 0);
    w.I16(int16_t(typeCount));
    for (int i = 0; i < typeCount; ++i) {
      SpeakerType type;
      type.SetLayoutFlag(kCurrentSpeakerLayout);
      type.SetShapeField(-1);
      SealSpeakerRecord(type.Bytes());
      w.Bytes(type.bytes.data(), kSpeakerTypeSize);
    }
    w.I16(materialCount);
    AbsorberRecord material;
    material.name = "M";
    for (int i = 0; i < materialRecords; ++i) WriteAbsorberRecord(w, material);
    return w.Take();
  }
};

TEST_F(InconsistentFileTest, CountsOutOfRangeAreRejected) {
  GraphicObject* settings = CreateObject(kPlotHeaderSize, 0, 0);
  settings->kind = kKindSettings;
  GraphicObject* speaker = CreateObject(kLoudspeakerSize, 0, 0);
  speaker->layer = kLoudspeakerLayer;
  ObjectList owned;
  for (GraphicObject* o : {settings, speaker}) AppendObjectToList(o, owned);

  struct Case {
    const char* what;
    std::vector<const GraphicObject*> records;
    int types;
    int16_t materials;
    int materialRecords;
    bool reads;
  };
  const Case cases[] = {
      {"consistent", {speaker, settings}, 1, 2, 2, true},
      {"negative material count", {settings}, 0, -1, 0, false},
      {"201 materials", {settings}, 0, 201, 201, false},
  };
  for (const Case& c : cases) {
    WriteFile(Path("bad.KPR"), FileWith(c.records, c.types, c.materials, c.materialRecords));
    NewProject();
    gProject.modified = 1;
    const ModelFingerprint before = ModelFingerprint::Now();
    MessageRecorder messages;
    EXPECT_EQ(ReadProjectFile(Path("bad.KPR")), c.reads ? 1 : 0) << c.what;
    if (!c.reads) {
      EXPECT_EQ(messages.texts(), std::vector<std::string>{kInvalidFileFormatMessage}) << c.what;
      EXPECT_EQ(ModelFingerprint::Now(), before) << c.what;
    }
  }
  FreeObjectList(owned);
}

// One damaged object costs the user that object, not the project: objects
// that cannot be loaded are left out (and counted once), an item naming a
// vertex its object lacks is dropped, and the rest is read.
TEST_F(InconsistentFileTest, DamagedObjectsAreLeftOutAndTheRestRead) {
  AddFace(0, 1);
  GraphicObject* strayItem = AddFace(0, 1);
  strayItem->items[2].index = 3;  // of three vertices
  GraphicObject* shortSpeaker = CreateObject(kLoudspeakerSize - 2, 0, 0);
  shortSpeaker->layer = kLoudspeakerLayer;
  AppendObject(shortSpeaker);
  Loudspeaker typeless;
  typeless.name = "TYPELESS";
  typeless.typeIndex = 1;
  Loudspeaker good;
  good.name = "GOOD";
  ::PlaceSpeaker(typeless);
  ::PlaceSpeaker(good);
  GraphicObject* shortSettings = CreateObject(kPlotHeaderSize - 1, 0, 0);
  shortSettings->kind = kKindSettings;
  AppendObject(shortSettings);
  std::vector<const GraphicObject*> records;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) records.push_back(o);
  WriteFile(Path("damaged.KPR"), FileWith(records, 1, 1, 1));

  NewProject();
  MessageRecorder messages;
  ASSERT_EQ(ReadProjectFile(Path("damaged.KPR")), 1);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Invalid objects not loaded : 3"});
  EXPECT_EQ(SpeakerNames(), std::vector<std::string>{"GOOD"});
  EXPECT_EQ(CountObjects(), 3u);
  std::vector<uint32_t> roomItems;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
    if (o->layer == 0) roomItems.push_back(o->itemCount);
  EXPECT_EQ(roomItems, (std::vector<uint32_t>{4, 3}));
  EXPECT_EQ(gPlotHeader, PlotHeaderBlock{});
}

// A symbol is a copy of its type's shape for every loudspeaker, so reading
// bounds what the symbols would take before any is built: the loudspeakers
// past the 5000th are left out, and a shape that cannot be a symbol (more
// vertices than 16-bit item indexes name), or that would make the symbols
// of all loudspeakers too large, gives its type the default symbol.
class SymbolBoundTest : public ProjectFileTest {
 protected:
  // A shape on the shape layer with `vertices` vertices in memory.
  static GraphicObject* AddLargeShape(uint32_t vertices) {
    GraphicObject* shape = CreateObject(0, vertices, 2);
    shape->items[1] = {kOpLineTo, 1};
    shape->kind = kKindSolid;
    shape->layer = kShapeLayer;
    AppendObject(shape);
    return shape;
  }
  static void AddSpeakers(int count, int16_t typeIndex) {
    for (int i = 0; i < count; ++i) {
      Loudspeaker s;
      s.typeIndex = typeIndex;
      ::PlaceSpeaker(s);
    }
  }
  static uint32_t SymbolVertexCount() {
    for (GraphicObject* o = gObjects.model.first; o; o = o->next)
      if (IsLoudspeakerObject(o)) return o->vertexCount;
    return 0;
  }
};

TEST_F(SymbolBoundTest, LoudspeakersPastTheLimitAreLeftOut) {
  AddNamedType("T", defaultSymbol_);
  AddSpeakers(kMaxLoudspeakers + 1, 0);
  ASSERT_EQ(SaveProjectAs(Path("many.KPR")), 1);
  NewProject();
  MessageRecorder messages;
  ASSERT_EQ(ReadProjectFile(Path("many.KPR")), 1);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Invalid objects not loaded : 1"});
  EXPECT_EQ(CountObjectsOnLayer2(), uint32_t(kMaxLoudspeakers));
}

TEST_F(SymbolBoundTest, AShapeThatCannotBeASymbolGivesTheDefaultSymbol) {
  GraphicObject* shape = AddLargeShape(kMaxSymbolVertices + 1);
  AddNamedType("HUGE", shape);
  AddSpeakers(1, 0);
  ASSERT_EQ(SaveProjectAs(Path("huge.KPR")), 1);
  NewProject();
  ASSERT_EQ(ReadProjectFile(Path("huge.KPR")), 1);
  EXPECT_EQ(gSpeakerModel.types.At(0)->shape, defaultSymbol_);
  EXPECT_EQ(SymbolVertexCount(), defaultSymbol_->vertexCount);
  EXPECT_EQ(CountObjectsOnLayer(gObjects.model, kShapeLayer), 1u);  // the shape itself stays
}

TEST_F(SymbolBoundTest, SymbolsTooLargeTogetherGiveTheLargestShapeTheDefaultSymbol) {
  // 400 symbols of 65000 vertices would take some 312 MB.
  AddNamedType("LARGE", AddLargeShape(65000));
  GraphicObject* small = MakeShape();
  AppendObject(small);
  AddNamedType("SMALL", small);
  AddSpeakers(400, 0);
  AddSpeakers(400, 1);
  ASSERT_EQ(SaveProjectAs(Path("large.KPR")), 1);
  NewProject();
  ASSERT_EQ(ReadProjectFile(Path("large.KPR")), 1);
  EXPECT_EQ(gSpeakerModel.types.At(0)->shape, defaultSymbol_);
  ASSERT_NE(gSpeakerModel.types.At(1)->shape, defaultSymbol_);
  EXPECT_EQ(gSpeakerModel.types.At(1)->shape->layer, kShapeLayer);
  EXPECT_EQ(CountObjectsOnLayer2(), 800u);
}

// ---- Saving ----

TEST_F(ProjectFileTest, ExtensionIsForcedAndTheBackupReplacesIt) {
  EXPECT_EQ(ForceProjectExtension("a/hall"), "a/hall.KPR");
  EXPECT_EQ(ForceProjectExtension("a/hall.kpr"), "a/hall.kpr");
  EXPECT_EQ(ForceProjectExtension("a/hall.Kpr"), "a/hall.Kpr");
  EXPECT_EQ(ForceProjectExtension("a/hall.KPRX"), "a/hall.KPRX.KPR");
  EXPECT_EQ(ProjectBackupPath("a/hall.kpr"), "a/hall_old.KPR");
}

TEST_F(ProjectFileTest, FirstSaveMakesNoBackupTheSecondKeepsTheOldBytes) {
  AddFace(0);
  gProject.modified = 1;
  ASSERT_EQ(SaveProjectAs(Path("hall")), 1);
  EXPECT_EQ(gProject.path, Path("hall.KPR"));
  EXPECT_EQ(gProject.lastProjectFolder, dir_ + "/");
  EXPECT_EQ(gProject.modified, 0);
  EXPECT_FALSE(fs::exists(Path("hall_old.KPR")));
  const std::vector<uint8_t> first = FileBytes(Path("hall.KPR"));
  EXPECT_EQ(first, ProjectBytes());

  AddFace(7);
  ASSERT_EQ(SaveProjectAs(Path("hall.KPR")), 1);
  EXPECT_EQ(FileBytes(Path("hall_old.KPR")), first);
  EXPECT_EQ(FileBytes(Path("hall.KPR")), ProjectBytes());

  ASSERT_EQ(SaveProjectAs(Path("small.kpr")), 1);
  EXPECT_EQ(gProject.path, Path("small.kpr"));
  EXPECT_TRUE(fs::exists(Path("small.kpr")));
}

// Every file the folder holds.
std::vector<std::string> FolderEntries(const std::string& dir) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(ProjectFileTest, AFullDiskKeepsTheOldFileAndTheMark) {
  AddFace(0);
  ASSERT_EQ(SaveProjectAs(Path("hall.KPR")), 1);
  const std::vector<uint8_t> old = FileBytes(Path("hall.KPR"));
  for (int i = 0; i < 100; ++i) AddFace(0);
  gProject.modified = 1;

  // Files may grow no larger than the old one.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  rlimit small = limit;
  small.rlim_cur = old.size();
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  MessageRecorder messages;
  const int saved = SaveProjectAs(Path("hall.KPR"));
  setrlimit(RLIMIT_FSIZE, &limit);

  EXPECT_EQ(saved, 0);
  // The first line as ever, then the system's reason.
  EXPECT_EQ(messages.texts(), std::vector<std::string>{WithSystemReason(kCantWriteFileMessage, EFBIG)});
  EXPECT_EQ(messages.texts()[0], std::string(kCantWriteFileMessage) + "\nFile too large");
  EXPECT_EQ(FileBytes(Path("hall.KPR")), old);
  EXPECT_EQ(gProject.modified, 1);
  EXPECT_EQ(FolderEntries(dir_), std::vector<std::string>{"hall.KPR"});
}

TEST_F(ProjectFileTest, AFailedBackupKeepsTheOldFile) {
  AddFace(0);
  ASSERT_EQ(SaveProjectAs(Path("hall.KPR")), 1);
  const std::vector<uint8_t> old = FileBytes(Path("hall.KPR"));
  fs::create_directory(Path("hall_old.KPR"));
  AddFace(0);
  gProject.modified = 1;
  MessageRecorder messages;
  EXPECT_EQ(SaveProjectAs(Path("hall.KPR")), 0);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{WithSystemReason(kCantWriteFileMessage, EISDIR)});
  EXPECT_EQ(FileBytes(Path("hall.KPR")), old);
  EXPECT_EQ(gProject.modified, 1);
}

// A project opened through a link is saved into the file the link names,
// with its backup beside that file; the link stays a link.
TEST_F(ProjectFileTest, ASaveThroughALinkWritesTheLinkedFileAndItsBackupBesideIt) {
  fs::create_directory(Path("real"));
  AddFace(0);
  ASSERT_EQ(SaveProjectAs(Path("real/hall.KPR")), 1);
  const std::vector<uint8_t> old = FileBytes(Path("real/hall.KPR"));
  fs::create_symlink("real/hall.KPR", Path("link.KPR"));
  AddFace(7);
  ASSERT_EQ(SaveProjectAs(Path("link.KPR")), 1);
  EXPECT_TRUE(fs::is_symlink(Path("link.KPR")));
  EXPECT_EQ(FileBytes(Path("real/hall.KPR")), ProjectBytes());
  EXPECT_EQ(FileBytes(Path("real/hall_old.KPR")), old);
  EXPECT_EQ(FolderEntries(dir_), (std::vector<std::string>{"link.KPR", "real"}));
  EXPECT_EQ(FolderEntries(Path("real")), (std::vector<std::string>{"hall.KPR", "hall_old.KPR"}));
}

// A project the user may not write is refused and stays as it was, its
// backup too; a private project keeps its mode, and so does its backup.
TEST_F(ProjectFileTest, AWriteProtectedProjectIsRefusedAndModesAreKept) {
  AddFace(0);
  ASSERT_EQ(SaveProjectAs(Path("hall.KPR")), 1);
  const std::vector<uint8_t> old = FileBytes(Path("hall.KPR"));
  const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  fs::permissions(Path("hall.KPR"), readOnly);
  AddFace(0);
  gProject.modified = 1;
  {
    MessageRecorder messages;
    EXPECT_EQ(SaveProjectAs(Path("hall.KPR")), 0);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{WithSystemReason(kCantWriteFileMessage, EACCES)});
  }
  EXPECT_EQ(FileBytes(Path("hall.KPR")), old);
  EXPECT_EQ(fs::status(Path("hall.KPR")).permissions(), readOnly);
  EXPECT_EQ(FolderEntries(dir_), std::vector<std::string>{"hall.KPR"});
  EXPECT_EQ(gProject.modified, 1);

  const fs::perms privateMode = fs::perms::owner_read | fs::perms::owner_write;
  fs::permissions(Path("hall.KPR"), privateMode);
  ASSERT_EQ(SaveProjectAs(Path("hall.KPR")), 1);
  EXPECT_EQ(fs::status(Path("hall.KPR")).permissions(), privateMode);
  EXPECT_EQ(fs::status(Path("hall_old.KPR")).permissions(), privateMode);
  EXPECT_EQ(FileBytes(Path("hall_old.KPR")), old);

  // A write-protected backup refuses the save as well.
  fs::permissions(Path("hall_old.KPR"), readOnly);
  const std::vector<uint8_t> current = FileBytes(Path("hall.KPR"));
  AddFace(0);
  MessageRecorder messages;
  EXPECT_EQ(SaveProjectAs(Path("hall.KPR")), 0);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{WithSystemReason(kCantWriteFileMessage, EACCES)});
  EXPECT_EQ(FileBytes(Path("hall.KPR")), current);
  EXPECT_EQ(FileBytes(Path("hall_old.KPR")), old);
}

TEST_F(ProjectFileTest, NewProjectResetsTheFileState) {
  BuildHall();
  gLevelMap.resultPresent = 1;
  gProject.path = "x.KPR";
  NewProject();
  EXPECT_EQ(gObjects.model.first, nullptr);
  EXPECT_EQ(gProject.path, kDefaultProjectPath);
  EXPECT_EQ(gProject.view, ProjectViewSettings{});
  EXPECT_EQ(gProject.calcOptions, (CalcOptions{0, -1, 2, 7, 2, 0}));
  EXPECT_EQ(gProject.measuredRt, (std::array<double, kRt60BandCount>{}));
  EXPECT_EQ(gLevelMap.resultPresent, 0);
  EXPECT_EQ(gPlotHeader, PlotHeaderBlock{});
  EXPECT_EQ(gLayers.records[0].name, "LAYER 1");
  EXPECT_FALSE(gLayers.IsVisible(kShapeLayer));
  EXPECT_EQ(gSpeakerModel.types.count, 0);
  EXPECT_EQ(gMaterials.project.count, 1);
}

// ---- Objects of another project ----

TEST_F(ProjectFileTest, ImportTakesVisibleRoomAndAuxiliaryObjectsOnly) {
  AddFace(0, 2);
  AddFace(0)->state = kStateLayerOff;
  AddFace(1);
  GraphicObject* shape = MakeShape();
  AppendObject(shape);
  AddNamedType("OWN", shape);
  PlaceSpeaker("L", 0, 1);
  GraphicObject* auxiliary = CreateObject(0, 2, 2);
  auxiliary->items[1] = {kOpLineTo, 1};
  auxiliary->kind = kKindLine;
  auxiliary->layer = 7;
  AppendObject(auxiliary);
  ASSERT_EQ(SaveProjectAs(Path("other.KPR")), 1);
  NewProject();

  for (uint32_t layer : {7u, 0u}) {
    ObjectList objects;
    MessageRecorder messages;
    ASSERT_EQ(ReadProjectObjects(Path("other.KPR"), layer, objects), 1);
    EXPECT_TRUE(messages.texts().empty());
    ASSERT_NE(objects.first, nullptr);
    ASSERT_EQ(objects.first->next, objects.last);
    // The last read comes first.
    EXPECT_EQ(objects.first->kind, kKindLine);
    EXPECT_EQ(objects.last->kind, kKindFace);
    for (const GraphicObject* o : {objects.first, objects.last}) {
      EXPECT_EQ(o->layer, layer);
      EXPECT_EQ(o->state, kStateSelected);
      EXPECT_EQ(o->colour, layer == 7 ? kAuxiliaryColour : kRoomColour);
    }
    EXPECT_EQ(objects.last->items[1].op, kOpAttribute);
    EXPECT_EQ(objects.last->items[1].index, 0);
    FreeObjectList(objects);
  }
  EXPECT_EQ(gObjects.model.first, nullptr);
}

TEST_F(ProjectFileTest, ImportRefusesOtherFilesAndLeavesTheListAlone) {
  WriteFile(Path("old.KPR"), OldProjectFixture());
  AddFace(0);
  const std::vector<uint8_t> file = ProjectBytes();
  WriteFile(Path("cut.KPR"), std::vector<uint8_t>(file.begin(), file.end() - 800));
  std::vector<uint8_t> foreign = file;
  foreign[0] = 'X';
  WriteFile(Path("foreign.KPR"), foreign);

  struct Case {
    const char* name;
    int result;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"old.KPR", -1, {}},
      {"absent.KPR", 0, {kCantLocateFileMessage}},
      {"cut.KPR", 0, {kInvalidFileFormatMessage}},
      {"foreign.KPR", 0, {kInvalidFileFormatMessage}},
  };
  for (const Case& c : cases) {
    ObjectList objects;
    MessageRecorder messages;
    EXPECT_EQ(ReadProjectObjects(Path(c.name), 0, objects), c.result) << c.name;
    EXPECT_EQ(messages.texts(), c.messages) << c.name;
    EXPECT_EQ(objects.first, nullptr) << c.name;
  }
}

}  // namespace
