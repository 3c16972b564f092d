// Writes the seed corpus of every fuzz target into <folder>/<target>/: files
// that the suite's own writers make of a small hall (a project with a result,
// its objects, its type section, its undo snapshot, a map file, an absorber
// database, speaker databases of its types, a drawing, shape chains, path
// records), and, for the formats the suite reads but no longer writes (the
// older project, shape files, older records), the hand-made fixtures of the
// tests. The hall's faces and loudspeakers are also written in the EASE
// layouts. Of the imports' test files, which only some targets of a folder
// read, each target gets its own, and the AcoustaCadd headers also in the
// pairs of one import run.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "design/acoustics/audio_profile.h"
#include "design/acoustics/level_map.h"
#include "design/acoustics/map_file.h"
#include "design/acoustics/ray_file.h"
#include "design/acoustics/ray_paths.h"
#include "design/acoustics/wav_file.h"
#include "design/document/project_document.h"
#include "design/model/ease_exchange.h"
#include "design/model/loudspeaker.h"
#include "design/model/materials.h"
#include "design/model/shape_file.h"
#include "design/model/speaker_database.h"
#include "design/model/undo_tables.h"
#include "framework/model/layers.h"
#include "framework/model/packed_object.h"
#include "framework/model/plot_header.h"
#include "framework/model/undo_ring.h"
#include "fuzz/fuzz_check.h"
#include "speakerbase/drawing_file.h"
#include "tests/design/acoustics/room_fixtures.h"
#include "tests/design/model/older_format_fixtures.h"
#include "tests/design/model/speaker_objects.h"

namespace {

namespace fs = std::filesystem;

fs::path gFolder;

void Seed(const char* target, const char* name, const FuzzBytes& bytes) {
  const fs::path folder = gFolder / target;
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  FuzzRequire(bool(out), "a seed is written");
}

// A file of the tests' data folders, by its path below tests/.
FuzzBytes TestFile(const char* path) {
  FuzzBytes bytes;
  FuzzRequire(ReadWholeFile(std::string(KORVANE_TESTS_DIR) + "/" + path, bytes), "a test file is read");
  return bytes;
}

FuzzBytes Joined(const FuzzBytes& a, const FuzzBytes& b) {
  FuzzBytes bytes = a;
  bytes.insert(bytes.end(), b.begin(), b.end());
  return bytes;
}

// ---- The hall, made by the suite's own code ----

void AddSpeaker(const char* name, int16_t type, uint16_t on, std::array<float, 3> position, float horizontal) {
  Loudspeaker speaker;
  speaker.name = name;
  speaker.typeIndex = type;
  speaker.on = on;
  speaker.position = position;
  speaker.horizontal = horizontal;
  speaker.vertical = -0.2f;
  UpdateSpeakerBandPower(speaker, *gSpeakerModel.types.At(type));
  BuildSpeakerSymbol(speaker, CreateObject(kLoudspeakerSize, 0, 0), true);
}

// A 10 x 8 x 4 m room of two materials, a raised audience area, a type with
// its own shape and one with the default symbol, two loudspeakers (one
// switched off), a line on the auxiliary layer, plot-header texts and a
// held result with two single points.
void BuildHall() {
  ResetFuzzProject();
  ResetObjectStore();
  const float x = 10, y = 8, z = 4;
  AddObject({{{0, 0, 0}, {x, 0, 0}, {x, y, 0}, {0, y, 0}}}, 1);
  AddObject({{{0, 0, z}, {0, y, z}, {x, y, z}, {x, 0, z}}}, 2);
  AddObject({{{0, 0, 0}, {0, y, 0}, {0, y, z}, {0, 0, z}}}, 1);
  AddObject({{{x, 0, 0}, {x, 0, z}, {x, y, z}, {x, y, 0}}}, 1);
  AddObject({{{2, 2, 0.5f}, {8, 2, 0.5f}, {8, 6, 1.5f}, {2, 6, 1.5f}}}, kNoMaterial, kKindFace, kAudienceLayer);
  GraphicObject* shape = MakeShape();
  AppendObject(shape);
  AddObject({{{1, 1, 0}, {3, 1, 0}}}, kNoMaterial, kKindLine, kAuxiliaryLayer);

  MaterialTable& materials = gMaterials.project;
  materials.records[1] = {"WOOD", "Panel on battens", "Walls", {0.3f, 0.25f, 0.2f, 0.15f, 0.1f, 0.1f, 0.1f}};
  materials.records[2] = {"PLASTER", "On brick", "Ceilings", {0.02f, 0.02f, 0.03f, 0.04f, 0.05f, 0.05f, 0.05f}};
  materials.count = 3;

  SpeakerTypeTable& types = gSpeakerModel.types;
  for (int i = 0; i < 2; ++i) {
    types.types[size_t(i)] = AllocSpeakerType();
    SpeakerType& type = *types.types[size_t(i)];
    ResetSpeakerType(type);
    type.SetBrand(i == 0 ? "ACME" : "PLAIN");
    type.SetTypeName(i == 0 ? "HORN12" : "BOX8");
    for (int band = 0; band < kBandCount; ++band) {
      type.SetSensitivity(band, 95.0f + float(band));
      type.SetRatedPower(band, 100);
      type.SetDirectivityQ10(band, int16_t(20 + 10 * band));
      type.BalloonBand(band)[size_t(band * 100)] = 200;
    }
    type.shape = i == 0 ? shape : gSpeakerModel.defaultSymbol;
  }
  types.count = 2;
  AddSpeaker("MAIN L", 0, 1, {1, 2, 3}, 0.3f);
  AddSpeaker("FILL", 1, 0, {1, 6, 3}, -0.3f);

  gPlotHeader.SetLabel(0, "Project");
  gPlotHeader.SetText(0, "Hall");
  gProject.reverbMethod = 1;
  gProject.calcOptions = {1, 0, 3, 7, 2, kCalcShading};

  ClearMapResult();
  MapResult& result = gLevelMap.result;
  result.faces.faces.resize(1);
  MappingFace& audience = result.faces.faces[0];
  audience.normal = {0, -6, 24};
  audience.planeConstant = 6;
  audience.minX = 2, audience.maxX = 8, audience.minY = 2, audience.maxY = 6, audience.maxZ = 1.5f;
  result.phaseMode = 2;
  result.counts.words = {1, 1, 1, 1, 1, 1, 1, 1};
  MapGrid& grid = result.grid;
  grid.spacing = 2;
  for (int i = 0; i < 6; ++i) {
    GridPoint p;
    p.x = 3 + 2 * float(i % 3);
    p.y = 3 + 2 * float(i / 3);
    p.z = 0.7f + 0.5f * float(i / 3);
    for (int band = 0; band < kBandCount; ++band) {
      p.level[size_t(band)] = LevelFromCode(int16_t(700 + 13 * i + band));
      p.time[size_t(band)] = float(10 + i + band);
    }
    grid.points.push_back(p);
  }
  gLevelMap.singlePoints = SinglePointList{.count = 2, .indices = {4, 1}, .pointCount = 6};
  gLevelMap.description = "Hall, first try";
  gLevelMap.resultPresent = 1;
}

FuzzBytes ProjectBytes() {
  MemoryWriter writer;
  FuzzRequire(WriteProjectDocument(writer), "the project is written");
  return writer.Take();
}

// Clones of objects, as a list of their own.
OwnedObjectList Clones(std::initializer_list<const GraphicObject*> objects) {
  OwnedObjectList list;
  for (const GraphicObject* o : objects) AppendObjectToList(CloneObject(o), list.list());
  return list;
}

// The hall's types as a speaker database: V140 with the first type's shape
// as its chain, or V130 (sealed records alone).
FuzzBytes HallSpeakerDatabase(SpeakerDatabaseVersion version) {
  const SpeakerTypeTable& types = gSpeakerModel.types;
  MemoryWriter w;
  if (version == SpeakerDatabaseVersion::kV130) {
    w.Text(kSpeakerDatabaseHeaderSize, kSpeakerDatabaseV130Magic);
    for (int i = 0; i < types.count; ++i) {
      std::array<uint8_t, kSpeakerTypeSize> sealed = types.At(i)->bytes;
      SealSpeakerRecord(sealed);
      w.Bytes(sealed.data(), sealed.size());
    }
    return w.Take();
  }
  WriteSpeakerDatabaseHeader(w, types.count);
  for (int i = 0; i < types.count; ++i) {
    const SpeakerType& type = *types.At(i);
    OwnedObjectList chain;
    if (type.shape != gSpeakerModel.defaultSymbol) chain = Clones({type.shape});
    FuzzRequire(WriteSpeakerDatabaseRecord(w, type, chain.list()), "a database record is written");
  }
  return w.Take();
}

// A direct path, one of two reflections and one of the most reflections.
std::vector<PathRecord> HallPaths() {
  std::vector<PathRecord> paths;
  for (const int reflections : {0, 2, kMaxPathReflections}) {
    PathRecord record;
    record.reflections = int16_t(reflections);
    record.target = {5, 4, 1.2f};
    record.nodes[0] = {kSourceTag, {1, 2, 3}};
    for (int k = 1; k <= reflections; ++k)
      record.nodes[size_t(k)] = {uint16_t(k % 4), {float(k % 10), float(k % 8), k % 2 ? 0.0f : 4.0f}};
    record.nodes[size_t(reflections) + 1] = {kTargetTag, record.target};
    paths.push_back(record);
  }
  return paths;
}

// The hall's paths as the linking leaves them: times from 12 ms on, levels
// falling with each reflection.
OwnedObjectList HallRayPaths() {
  OwnedObjectList paths;
  float time = 12;
  for (const PathRecord& record : HallPaths()) {
    GraphicObject* path = CreateRayPath(record);
    FuzzRequire(path != nullptr, "a path is made");
    SetRayPathTime(path, time);
    for (int b = 0; b < kBandCount; ++b) SetRayPathLevel(path, b, 1.0e6f / (time * float(b + 1)));
    AppendObjectToList(path, paths.list());
    time *= 2.5f;
  }
  return paths;
}

// ---- The seeds of every target ----

void WriteSeeds() {
  BuildHall();
  const FuzzBytes hall = ProjectBytes();
  Seed("project_file", "hall.KPR", hall);
  Seed("project_objects", "hall.KPR", hall);
  Seed("project_file", "old.KPR", OldProjectFixture());
  {
    std::vector<const GraphicObject*> room;
    for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
      if (o->layer == kRoomLayer) room.push_back(o);
    const std::string ease3 = FormatFacesEase3(room);
    std::string ease2;
    FuzzRequire(FormatFacesEase2(room, ease2), "the hall's faces fit EASE 2");
    Seed("ease_faces", "hall.xfc", FuzzBytes(ease3.begin(), ease3.end()));
    Seed("ease_faces", "hall.exp", FuzzBytes(ease2.begin(), ease2.end()));
    const std::vector<ExchangeSpeaker> speakers = ExchangeSpeakersOf(gObjects.model, gSpeakerModel.types);
    const std::string xld = FormatSpeakersEase3(speakers);
    const std::string exp = FormatSpeakersEase2(speakers);
    Seed("ease_speakers", "hall.xld", FuzzBytes(xld.begin(), xld.end()));
    Seed("ease_speakers", "hall.exp", FuzzBytes(exp.begin(), exp.end()));
  }

  // The hall's objects in the packed codec, the first byte naming the layout.
  {
    MemoryWriter w;
    w.U8(0);
    for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
      WritePackedObject(w, *o, 0, o->next ? kPackedNextFollows : 0, o->layer == kShapeLayer ? 2 : 0);
    Seed("packed_object", "hall_objects", w.Take());
    MemoryWriter old;
    old.U8(1);
    WriteOlderRecord(
        old, kKindFace, 0, 3, 1, {{0, 0, 0}, {1, 0, 0}, {1, 1, 2.5f}},
        {ShortItem(kOpStart, 0), ShortItem(kOpAttribute, 2), ShortItem(kOpLineTo, 1), ShortItem(kOpClose, 2)}, {},
        true);
    Seed("packed_object", "old_face", old.Take());
  }

  {
    MemoryWriter w;
    WriteSpeakerTypeSection(w, gSpeakerModel.types, gObjects.model);
    Seed("speaker_type_section", "hall_types", w.Take());
    MemoryWriter old;
    old.I16(1);
    const FuzzBytes older = OlderSpeakerRecord();
    old.Bytes(older.data(), older.size());
    Seed("speaker_type_section", "older_record", old.Take());
  }

  {
    MemoryWriter w;
    WriteAbsorberDatabase(w, gMaterials.project);
    Seed("absorber_database", "hall.KAB", w.Take());
  }

  {
    MemoryWriter w;
    WriteMapFileBlock(w);
    Seed("map_file", "hall.KMF", w.Take());
    gLevelMap.singlePoints = SinglePointList{};
    MemoryWriter plain;
    WriteMapFileBlock(plain);
    Seed("map_file", "hall_without_single_points.KMF", plain.Take());
  }

  for (const char* target : {"speaker_database", "speaker_database_index"}) {
    Seed(target, "hall_v140.KSB", HallSpeakerDatabase(SpeakerDatabaseVersion::kV140));
    Seed(target, "hall_v130.KSB", HallSpeakerDatabase(SpeakerDatabaseVersion::kV130));
  }

  // Objects of the hall: its loudspeaker shape, the audience area and the
  // auxiliary line.
  const GraphicObject* shape = gSpeakerModel.types.At(0)->shape;
  const GraphicObject* audience = nullptr;
  const GraphicObject* line = nullptr;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) {
    if (o->layer == kAudienceLayer) audience = o;
    if (o->layer == kAuxiliaryLayer) line = o;
  }
  FuzzRequire(audience && line, "the hall has its audience area and line");
  {
    MemoryWriter one, three;
    WriteShapeChain(one, Clones({shape}).list());
    WriteShapeChain(three, Clones({shape, audience, line}).list());
    Seed("shape_chain", "shape", one.Take());
    Seed("shape_chain", "three_objects", three.Take());
  }

  {
    const ProjectHeader header = ProjectHeaderOf(gProject);
    MemoryWriter drawing;
    WriteDrawing(drawing, header, gLayers, gObjects.model);
    Seed("drawing_file", "hall.TCF", drawing.Take());
    // A drawing that ends in a settings object, which the editor reads but
    // never writes.
    OwnedObjectList objects = Clones({shape, line});
    GraphicObject* settings = CreateObject(kPlotHeaderSize, 0, 0);
    FuzzRequire(settings != nullptr, "the settings object is made");
    settings->kind = kKindSettings;
    std::copy(gPlotHeader.bytes.begin(), gPlotHeader.bytes.end(), settings->data);
    AppendObjectToList(settings, objects.list());
    MemoryWriter withSettings;
    WriteDrawing(withSettings, header, gLayers, objects.list());
    Seed("drawing_file", "with_settings.TCF", withSettings.Take());
  }

  {
    std::vector<uint8_t> paths;
    for (const PathRecord& record : HallPaths()) AppendPathRecord(paths, record);
    Seed("ray_paths", "three_paths", paths);
    // A record of too many reflections ends the reading.
    std::vector<uint8_t> stopped;
    AppendPathRecord(stopped, HallPaths()[1]);
    const size_t bad = stopped.size();
    AppendPathRecord(stopped, HallPaths()[0]);
    StoreI16(&stopped[bad], int16_t(kMaxPathReflections + 1));
    Seed("ray_paths", "stops_at_bad_count", stopped);
  }

  {
    const OwnedObjectList paths = HallRayPaths();
    MemoryWriter rays;
    WriteRayFile(rays, paths.list(), "hall, row 5", 11.5);
    Seed("ray_file", "hall.KRF", rays.Take());
    RayResults results;
    results.earliestArrival = 12;
    results.highestLevel = 50;
    results.reverberationTime.fill(1.4f);
    results.earlyLevel.fill(75);
    results.reverberantLevel.fill(68);
    for (const auto& [name, profile] :
         {std::pair{"hall.KAP", StoredAudioProfile(paths.list(), results, "hall, row 5", 30)},
          std::pair{"rta.tmp", TemporaryAudioProfile(paths.list(), results)}}) {
      MemoryWriter w;
      WriteAudioProfileFile(w, profile);
      Seed("audio_profile", name, w.Take());
    }
    MemoryWriter wav;
    const std::vector<int16_t> samples = {0, 1200, -1200, 32767, -32768, 7};
    WriteWavHeader(wav, MonoPcmFormatRecord(22050), uint32_t(samples.size()));
    WriteWavSamples(wav, samples);
    Seed("wav_file", "short.wav", wav.Take());
    Seed("wav_file", "castanets_head.wav", TestFile("design/acoustics/data/castanets_dry_head.wav"));
  }

  {
    const FuzzBytes horn = TestFile("speakerbase/imports/data/acoustacadd/HORN.SPK");
    const FuzzBytes driver = TestFile("speakerbase/imports/data/acoustacadd/DRIVER.SPK");
    Seed("acoustacadd_header", "horn_then_driver.SPK", Joined(horn, driver));
    Seed("acoustacadd_header", "driver_then_horn.SPK", Joined(driver, horn));
    Seed("ease2_speaker_base", "catalog.lsp", TestFile("speakerbase/imports/data/ease/catalog.lsp"));
    Seed("ease3_speaker", "SPEAKER.spk", TestFile("speakerbase/imports/data/ease/SPEAKER.spk"));
    Seed("ease3_balloon", "SPEAKER.LOB", TestFile("speakerbase/imports/data/ease/SPEAKER.LOB"));
  }

  {
    UseProjectTablesForUndo();
    ClearUndoRing();
    TakeUndoSnapshot();
    const UndoSnapshot& slot = gUndo.slots[0];
    Seed("undo_restore", "hall", FuzzBytes(slot.block.get(), slot.block.get() + slot.size));
    ResetFuzzProject();
    ResetObjectStore();
    ClearUndoRing();
    TakeUndoSnapshot();
    Seed("undo_restore", "empty",
         FuzzBytes(gUndo.slots[0].block.get(), gUndo.slots[0].block.get() + gUndo.slots[0].size));
    ClearUndoRing();
  }

  Seed("shape_file", "tarnik10.TCF", TarnikShapeFixture());
  Seed("shape_file", "tarnik127.TCF", PackedShapeFixture(kTarnikV127Magic));
  Seed("shape_file", "project_magic.TCF", PackedShapeFixture(kProjectMagic));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
    return 2;
  }
  gFolder = argv[1];
  SetUpFuzzRun();
  WriteSeeds();
  return 0;
}
