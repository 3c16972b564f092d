// Builds the example hall project and the history file that lists it.
//
//   example_hall <hall.txt> <EXAMPLE.KAB> <EXAMPLE.KSB> <LSTMPL.bin> <folder>
//
// The hall of the description (see hall.txt) becomes a project in <folder>:
// its materials copied from the example absorber database, its room faces
// and audience area, and its loudspeakers placed with types loaded from the
// example speaker database (their symbols from the default loudspeaker
// symbol LSTMPL), as the design program places them: every band at -9 dB,
// the nominal power the type's largest rated power. Beside it the history
// file HISTORY.KDN names the hall as the most recent project and the folder
// as the last project and database folder, so that the design program
// started in <folder> offers it first. Both files are written by the
// suite's own writers.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "design/model/loudspeaker.h"
#include "design/model/materials.h"
#include "design/model/project.h"
#include "design/model/project_file.h"
#include "design/model/shape_file.h"
#include "design/model/speaker_database_index.h"
#include "design/document/history_file.h"
#include "examples/tools/description_reader.h"
#include "framework/core/byte_codec.h"
#include "framework/core/text_encoding.h"
#include "framework/model/layers.h"

namespace {

constexpr double kDegree = 3.141592654 / 180;
constexpr float kPlacedGain = -9.0f;  // dB in every band, as a newly chosen type gets

struct Hall {
  std::map<std::string, int> materials;  // key -> project material index
  std::string fileName = "HALL.KPR";
};

// A polygon of `corners` (x, y, z triples) on `layer` carrying material
// `material`: start, material, lines to the others, the last closing it.
bool AddFace(const std::vector<double>& corners, uint32_t layer, uint32_t colour, int material) {
  const uint32_t n = uint32_t(corners.size() / 3);
  GraphicObject* face = CreateObject(0, n, n + 1);
  if (!face) return false;
  for (uint32_t i = 0; i < n; ++i)
    face->vertices[i] = {float(corners[3 * i]), float(corners[3 * i + 1]), float(corners[3 * i + 2])};
  face->items[0] = {kOpStart, 0};
  face->items[1] = {kOpAttribute, uint16_t(material)};
  for (uint32_t i = 1; i < n; ++i) face->items[i + 1] = {uint16_t(i + 1 < n ? kOpLineTo : kOpClose), uint16_t(i)};
  face->kind = kKindFace;
  face->layer = layer;
  face->colour = colour;
  AppendObject(face);
  return true;
}

bool AddMaterial(const Statement& s, Hall& hall) {
  if (s.words.size() != 2) return DescriptionError(s, "a key and a material's name");
  const AbsorberDatabase& database = gMaterials.database;
  const std::string name = Utf8ToCp1252(s.words[1]);
  for (int i = 0; i < database.count; ++i)
    if (database.records[size_t(i)].name == name) {
      const int index = AddMaterialFromDatabase(i);
      if (index < 0) return DescriptionError(s, "the project's material table is full");
      hall.materials[s.words[0]] = index;
      return true;
    }
  return DescriptionError(s, "no material \"" + s.words[1] + "\" in the absorber database");
}

bool AddLoudspeaker(const Statement& s, const SpeakerDatabaseIndex& index) {
  std::vector<double> v;
  if (s.words.size() != 8 || !s.Numbers(2, v)) return DescriptionError(s, "a name, a type, x y z and three angles");
  Loudspeaker speaker;
  speaker.name = Utf8ToCp1252(s.words[0]);
  if (!UseSpeakerType(index, Utf8ToCp1252(s.words[1]), speaker, gSpeakerModel.types, gObjects.model,
                      gSpeakerModel.defaultSymbol))
    return DescriptionError(s, "the type cannot be loaded");
  const SpeakerType& type = *SpeakerTypeOf(speaker);
  for (int band = 0; band < kBandCount; ++band)
    speaker.nominalPower = std::max(speaker.nominalPower, type.RatedPower(band));
  speaker.eqGain.fill(kPlacedGain);
  UpdateSpeakerBandPower(speaker, type);
  speaker.position = {float(v[0]), float(v[1]), float(v[2])};
  speaker.horizontal = float(v[3] * kDegree);
  speaker.vertical = float(v[4] * kDegree);
  speaker.rotation = float(v[5] * kDegree);
  GraphicObject* object = CreateObject(uint32_t(kLoudspeakerSize), 0, 0);
  if (!object) return DescriptionError(s, "out of memory");
  object->layer = kLoudspeakerLayer;
  return BuildSpeakerSymbol(speaker, object, true) == 1 || DescriptionError(s, "no symbol");
}

bool BuildHall(const std::string& description, const SpeakerDatabaseIndex& index, Hall& hall) {
  std::vector<Statement> statements;
  if (!ReadStatements(description, statements)) return false;
  static const std::map<std::string, int16_t> kViews = {{"plan", 0}, {"side", 1}, {"front", 2}, {"3d", 3}};
  for (const Statement& s : statements) {
    std::vector<double> corners;
    bool ok = true;
    if (s.keyword == "file" && s.words.size() == 1) {
      hall.fileName = s.words[0];
    } else if (s.keyword == "view" && s.words.size() == 1 && kViews.count(s.words[0])) {
      gProject.view.viewMode = kViews.at(s.words[0]);
    } else if (s.keyword == "material") {
      ok = AddMaterial(s, hall);
    } else if (s.keyword == "face") {
      const auto material = s.words.empty() ? hall.materials.end() : hall.materials.find(s.words[0]);
      if (material == hall.materials.end()) return DescriptionError(s, "a face names a material key first");
      ok = s.Numbers(1, corners) && corners.size() >= 9 && corners.size() % 3 == 0 &&
           AddFace(corners, kRoomLayer, kRoomColour, material->second);
      if (!ok) return DescriptionError(s, "three or more corners of x y z");
    } else if (s.keyword == "audience") {
      ok = s.Numbers(0, corners) && corners.size() >= 9 && corners.size() % 3 == 0 &&
           AddFace(corners, kAudienceLayer, kAudienceColour, 0);
      if (!ok) return DescriptionError(s, "three or more corners of x y z");
    } else if (s.keyword == "loudspeaker") {
      ok = AddLoudspeaker(s, index);
    } else {
      return DescriptionError(s, "unknown statement");
    }
    if (!ok) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: %s <hall.txt> <EXAMPLE.KAB> <EXAMPLE.KSB> <LSTMPL.bin> <folder>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = std::filesystem::absolute(argv[5]).lexically_normal();
  std::vector<uint8_t> symbol;
  if (!ReadWholeFile(argv[4], symbol) || !(gSpeakerModel.defaultSymbol = ReadShapeResource(symbol))) {
    std::fprintf(stderr, "cannot read the loudspeaker symbol %s\n", argv[4]);
    return 1;
  }
  ResetMaterials();
  ClearProjectModel();
  SpeakerDatabaseIndex index;
  if (LoadAbsorberDatabase(argv[2]) != 1 || OpenSpeakerDatabaseIndex(index, argv[3]) != 1) {
    std::fprintf(stderr, "cannot read the example databases %s and %s\n", argv[2], argv[3]);
    return 1;
  }
  Hall hall;
  if (!BuildHall(argv[1], index, hall)) return 1;

  const std::string project = (folder / hall.fileName).string();
  SafeFileWriter writer(project);
  if (!writer.IsOpen() || !WriteProjectFile(writer) || !writer.Commit()) {
    std::fprintf(stderr, "cannot write %s\n", project.c_str());
    return 1;
  }
  HistoryRecord history;
  history.projectFolder = history.speakerDatabaseFolder = history.absorberDatabaseFolder = folder.string() + "/";
  PushRecentProject(history, project);
  if (!StoreHistoryRecord((folder / kHistoryFileName).string(), history)) {
    std::fprintf(stderr, "cannot write the history file in %s\n", folder.string().c_str());
    return 1;
  }
  return 0;
}
