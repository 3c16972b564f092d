// The EASE exchange of faces and loudspeakers: the four layouts against
// golden files written by hand (data/ease*), the angle convention, what the
// readers refuse, skip and leave out, the linking of imported loudspeakers
// to their types, and a round trip of the example hall's loudspeakers.
#include "design/model/ease_exchange.h"

#include <gtest/gtest.h>

#include <functional>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "database_fixtures.h"
#include "design/model/project.h"
#include "design/model/project_file.h"
#include "framework/core/state_reset.h"
#include "framework/core/text_lines.h"
#include "framework/model/face_geometry.h"
#include "framework/model/layers.h"
#include "speaker_objects.h"
#include "tests/support/comma_locale.h"
#include "tests/support/message_recorder.h"

namespace {

namespace fs = std::filesystem;

constexpr double kPi = 3.141592654;
constexpr double kDegree = kPi / 180;
const fs::path kData = fs::path(KORVANE_TESTS_DIR "/design/model") / "data";

std::string FileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
std::string Golden(const std::string& name) { return FileText(kData / name); }
std::vector<std::string> GoldenLines(const std::string& name) { return SplitTextLines(Golden(name)); }

std::string WithoutCr(std::string text) {
  std::erase(text, '\r');
  return text;
}

// A face object of one polygon over `vertices` in that outline order,
// material `material`.
GraphicObject* MakeFace(const std::vector<ObjectVertex>& vertices, uint16_t material = 4) {
  const uint32_t n = uint32_t(vertices.size());
  GraphicObject* face = CreateObject(0, n, n + 1);
  std::copy(vertices.begin(), vertices.end(), face->vertices);
  face->items[0] = {kOpStart, 0};
  face->items[1] = {kOpAttribute, material};
  for (uint32_t i = 1; i < n; ++i) face->items[i + 1] = {i + 1 == n ? kOpClose : kOpLineTo, uint16_t(i)};
  face->kind = kKindFace;
  return face;
}

std::vector<ObjectVertex> Outline(const GraphicObject& face) {
  std::vector<ObjectVertex> outline;
  EXPECT_EQ(WalkFaceVertices(face, 0, [&](const ObjectVertex& v) { outline.push_back(v); }), FaceWalk::kClosed);
  return outline;
}

void ExpectSameVertices(const std::vector<ObjectVertex>& a, const std::vector<ObjectVertex>& b, float tolerance = 0) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_NEAR(a[i].x, b[i].x, tolerance) << "vertex " << i;
    EXPECT_NEAR(a[i].y, b[i].y, tolerance) << "vertex " << i;
    EXPECT_NEAR(a[i].z, b[i].z, tolerance) << "vertex " << i;
  }
}

// Expects the face imported from a file to be a room face with the outline
// `outline`.
void ExpectRoomFace(const GraphicObject& face, const std::vector<ObjectVertex>& outline, float tolerance = 0) {
  EXPECT_EQ(face.kind, kKindFace);
  EXPECT_EQ(face.layer, kRoomLayer);
  EXPECT_EQ(face.colour, 0u);
  EXPECT_EQ(face.state, 0u);
  EXPECT_EQ(face.itemCount, face.vertexCount + 1);
  ASSERT_NE(FaceMaterialItem(face, 0), nullptr);
  EXPECT_EQ(FaceMaterialItem(face, 0)->index, 0);
  ExpectSameVertices(Outline(face), outline, tolerance);
}

const std::vector<ObjectVertex> kQuadrilateral = {{0, 0, 0}, {4.5f, 0, 0}, {4.5f, 3.25f, 1}, {0, 3.25f, 1}};
const std::vector<ObjectVertex> kTriangle = {{1, 2, 3}, {-1.5f, 2, 3}, {0, -0.25f, 0.5f}};

// The two loudspeakers of the golden loudspeaker files.
std::vector<ExchangeSpeaker> GoldenSpeakers() {
  ExchangeSpeaker a, b;
  a.typeName = "KV12";
  a.speaker.position = {6.5f, -6, 5};
  a.speaker.vertical = float(-20 * kDegree);
  a.speaker.horizontal = float(23 * kDegree);
  a.speaker.delay = 12.5f;
  a.speaker.power = {100, 100, 100, 50.357f, 25, 0, 400};
  a.speaker.intensity = {1e10f, 1e10f, 1e9f, 0.5f, 0, 1, 3.16e9f};  // below 1 is written as 0 dB
  b.typeName = "ABCDEFGH";
  b.speaker.position = {0.25f, 12.1f, 3};
  b.speaker.vertical = float(5.5 * kDegree);
  b.speaker.horizontal = float(100 * kDegree);
  b.speaker.rotation = float(-30 * kDegree);
  b.speaker.power.fill(1.5f);
  return {a, b};
}

class EaseTest : public db_fixtures::ScratchFolder {
 protected:
  void SetUp() override {
    ScratchFolder::SetUp();
    ResetAllState();
    gSpeakerModel.defaultSymbol = defaultSymbol_ = MakeShape();
  }
  void TearDown() override {
    FreeObjectList(objects_);
    gSpeakerModel.defaultSymbol = nullptr;
    ResetAllState();
    ObjectList own;
    FreeObjectInList(defaultSymbol_, own);
    ScratchFolder::TearDown();
  }

  // Keeps `object` in a list of the test's own and returns it.
  const GraphicObject* Own(GraphicObject* object) {
    AppendObjectToList(object, objects_);
    return object;
  }
  std::string Write(const std::string& name, const std::string& text) {
    return WriteFile(name, std::vector<uint8_t>(text.begin(), text.end()));
  }
  std::string Text(const std::string& name) const { return FileText(PathOf(name)); }

  ObjectList objects_;
  GraphicObject* defaultSymbol_ = nullptr;
};

// ---- Faces ----

TEST_F(EaseTest, AQuadrilateralTravelsThroughEase3AsTheGoldenFileAndComesBackAsARoomFace) {
  const GraphicObject* quad = Own(MakeFace(kQuadrilateral));
  const std::vector<const GraphicObject*> objects = {quad};
  ASSERT_EQ(ExportFacesEase3(PathOf("hall"), objects), 1);
  EXPECT_EQ(Text("hall.xfc"), Golden("ease3_faces/quadrilateral.xfc"));
  ExpectSameVertices(Outline(*quad), kQuadrilateral);  // the export turned a copy round

  // An extension that is there in another case stays.
  ASSERT_EQ(ExportFacesEase3(PathOf("HALL.XFC"), objects), 1);
  EXPECT_EQ(FileCount(), 2u);

  MessageRecorder messages;
  GraphicObject* before = MakeFace(kTriangle);
  AppendObject(before);
  ASSERT_EQ(ImportFacesEase3(PathOf("hall.xfc"), gObjects.model), 1);
  ASSERT_EQ(CountObjects(), 2u);
  ExpectRoomFace(*gObjects.model.first, kQuadrilateral);
  EXPECT_EQ(gObjects.model.first->next, before);
  EXPECT_NE(gProject.modified, 0);
  EXPECT_TRUE(messages.texts().empty());
}

TEST_F(EaseTest, Ease2FacesFillTheirTenLinesWithZerosAndRefuseMoreThanTen) {
  std::string text;
  ASSERT_TRUE(FormatFacesEase2(std::vector<const GraphicObject*>{Own(MakeFace(kTriangle))}, text));
  EXPECT_EQ(text, Golden("ease2_faces/triangle.imp"));
  FaceImport triangle = ReadFacesEase2(GoldenLines("ease2_faces/triangle.imp"));
  ASSERT_NE(triangle.faces.list().first, nullptr);
  ExpectRoomFace(*triangle.faces.list().first, kTriangle);

  // Ten vertices need no "0" line and come back whole.
  std::vector<ObjectVertex> ten;
  for (int i = 0; i < 10; ++i) ten.push_back({float(std::cos(i * 0.6)), float(std::sin(i * 0.6)), 2});
  const std::vector<const GraphicObject*> tenFace = {Own(MakeFace(ten))};
  ASSERT_EQ(ExportFacesEase2(PathOf("ten.IMP"), tenFace), 1);
  const std::vector<std::string> lines = SplitTextLines(Text("ten.IMP"));
  EXPECT_EQ(lines.size(), 10u);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "0"), 0);
  FaceImport read = ReadFacesEase2(lines);
  ASSERT_NE(read.faces.list().first, nullptr);
  EXPECT_EQ(read.faces.list().first->next, nullptr);
  ExpectRoomFace(*read.faces.list().first, ten, 1e-6f);

  // Eleven refuse the export; the file that was there stays as it was.
  ten.push_back({0, 0, 5});
  const std::vector<const GraphicObject*> both = {tenFace[0], Own(MakeFace(ten))};
  const std::string old = Write("eleven.imp", "old");
  MessageRecorder messages;
  EXPECT_EQ(ExportFacesEase2(PathOf("eleven"), both), 0);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{kEase2FaceTooLargeMessage});
  EXPECT_EQ(Text("eleven.imp"), "old");
  EXPECT_EQ(ExportFacesEase2(PathOf("none"), both), 0);
  EXPECT_FALSE(fs::exists(PathOf("none.imp")));
}

TEST_F(EaseTest, FaceExportsWriteTheClosedPolygonsOfFacesAndSolidsOnly) {
  GraphicObject* solid = MakeFace(kTriangle);
  solid->kind = kKindSolid;
  GraphicObject* line = MakeFace(kQuadrilateral);
  line->kind = kKindLine;
  GraphicObject* open = MakeFace(kQuadrilateral);
  open->items[4].op = kOpLineTo;  // no close item
  const std::vector<const GraphicObject*> objects = {Own(solid), Own(line), Own(open)};
  const FaceImport read = ReadFacesEase3(SplitTextLines(FormatFacesEase3(objects)));
  ASSERT_NE(read.faces.list().first, nullptr);
  EXPECT_EQ(read.faces.list().first->next, nullptr);
  ExpectRoomFace(*read.faces.list().first, kTriangle);
  EXPECT_EQ(ExportFacesEase3(PathOf("empty"), {}), -1);
  EXPECT_EQ(FileCount(), 0u);
}

// A file that cannot be created (a folder that is not there, or not
// writable) is said to the user, never left as if the export had run.
TEST_F(EaseTest, EveryExportSaysSoWhenItsFileCannotBeCreated) {
  const std::vector<const GraphicObject*> faces = {Own(MakeFace(kTriangle))};
  ProjectModel model;
  ASSERT_EQ(ParseProjectFile(std::string(KORVANE_EXAMPLE_DIR) + "/HALL.KPR", model), 1);
  const std::string missing = PathOf("no such folder/hall");
  const struct {
    const char* name;
    std::function<int()> run;
  } exports[] = {
      {"faces EASE 3", [&] { return ExportFacesEase3(missing, faces); }},
      {"faces EASE 2", [&] { return ExportFacesEase2(missing, faces); }},
      {"loudspeakers EASE 3", [&] { return ExportSpeakersEase3(missing, model.objects, model.types); }},
      {"loudspeakers EASE 2", [&] { return ExportSpeakersEase2(missing, model.objects, model.types); }},
  };
  for (const auto& e : exports) {
    MessageRecorder messages;
    EXPECT_EQ(e.run(), 0) << e.name;
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kWriteFailedMessage}) << e.name;
  }
}

TEST_F(EaseTest, FaceReadersSkipCommentsBlankAndUnreadableLinesAndLeaveOutFacesThatCannotBe) {
  struct Case {
    const char* name;
    FaceImport (*read)(const std::vector<std::string>&);
    std::string text;
    size_t faces;
    uint32_t leftOut;
  } cases[] = {
      {"comments everywhere", ReadFacesEase3,
       "; written by hand\n\"Filetype\",\"Faces\"\n;\n\"LengthUnit\",\"m\"\n; a face\n\"Material\",\"Wood\"\n1,2,3\n"
       ";inside\n\n  \nx,y,z\n1,2\n0,-0.25,0.5\n-1.5,2,3\n\"End\"\n;\n",
       1, 0},
      {"two vertices and an unended face", ReadFacesEase3,
       "\"LengthUnit\",\"M\"\n\"Material\"\n0,0,0\n1,0,0\n\"end\"\n\"Material\"\n0,0,0\n1,0,0\n0,1,0\n", 0, 2},
      {"anything before the header", ReadFacesEase3,
       "\"Material\",\"Absorber\"\n0,0,0\n1,0,0\n0,1,0\n\"End\"\n\"LengthUnit\",\"m\"\n", 0, 0},
      {"a zero closes, the tenth vertex closes", ReadFacesEase2,
       "1,2,3\n-1.5,2,3\n0,-0.25,0.5\n0\n0\n\n; comment\n0,0,0\n1,0,0\n0\n" +
           [] {
             std::string ten;
             for (int i = 0; i < 10; ++i) ten += std::to_string(i) + ",0," + std::to_string(i * i) + "\n";
             return ten;
           }() +
           "0,0,1\n0,1,1\n1,1,1\n",
       3, 1},
  };
  for (const Case& c : cases) {
    FaceImport read = c.read(SplitTextLines(c.text));
    EXPECT_EQ(read.refusal, nullptr) << c.name;
    size_t faces = 0;
    for (const GraphicObject* f = read.faces.list().first; f; f = f->next) ++faces;
    EXPECT_EQ(faces, c.faces) << c.name;
    EXPECT_EQ(read.leftOut, c.leftOut) << c.name;
  }
  FaceImport commented = ReadFacesEase3(SplitTextLines(cases[0].text));
  ExpectRoomFace(*commented.faces.list().first, kTriangle);

  // An EASE 3 face of more vertices than the import holds is left out.
  std::string large = "\"LengthUnit\",\"m\"\n\"Material\"\n";
  for (int i = 0; i <= kEase3MaxFaceVertices; ++i) large += std::to_string(i) + ",0,0\n";
  EXPECT_EQ(ReadFacesEase3(SplitTextLines(large + "\"End\"\n")).leftOut, 1u);
}

TEST_F(EaseTest, AFaceFileInFeetImportsInMetresAndOtherUnitsOrNoHeaderAreRefused) {
  FaceImport feet = ReadFacesEase3(SplitTextLines(
      "\"LengthUnit\",\"ft\"\n\"Material\",\"Absorber\"\n0,0,0\n0,3.28084,0\n32.8084,3.28084,-6.56168\n\"End\"\n"));
  ASSERT_NE(feet.faces.list().first, nullptr);
  ExpectRoomFace(*feet.faces.list().first, {{0, 0, 0}, {10, 1, -2}, {0, 1, 0}}, 1e-5f);

  const std::string triangle = "\"Material\"\n0,0,0\n1,0,0\n0,1,0\n\"End\"\n";
  struct Case {
    std::string text;
    const char* refusal;
  } cases[] = {
      {"\"LengthUnit\",\"cm\"\n" + triangle, kEaseLengthUnitMessage},
      {"\"LengthUnit\"\n" + triangle, kEaseLengthUnitMessage},
      {"\"Filetype\",\"Faces\"\n;\"LengthUnit\",\"m\"\n" + triangle, kEase3HeaderMissingMessage},
  };
  for (const Case& c : cases) {
    const std::string path = Write("refused.xfc", c.text);
    MessageRecorder messages;
    AppendObject(MakeFace(kQuadrilateral));
    const GraphicObject* first = gObjects.model.first;
    EXPECT_EQ(ImportFacesEase3(path, gObjects.model), 0) << c.text;
    EXPECT_EQ(messages.texts(), std::vector<std::string>{c.refusal}) << c.text;
    EXPECT_EQ(gObjects.model.first, first);
    EXPECT_EQ(gProject.modified, 0);
  }
  EXPECT_EQ(ImportFacesEase2(PathOf("missing.exp"), gObjects.model), -1);
}

TEST_F(EaseTest, LeftOutFacesAreCountedOnceAndTheGoodOnesStay) {
  const std::string path = Write("faces.exp", "0,0,0\n1,0,0\n0\n0,0,0\n1,0,0\n0,1,0\n0\n1,1,1\n0\n");
  MessageRecorder messages;
  EXPECT_EQ(ImportFacesEase2(path, gObjects.model), 1);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Invalid objects not loaded : 2"});
  EXPECT_EQ(CountObjects(), 1u);
  EXPECT_NE(gProject.modified, 0);

  // A file without a face changes nothing, not even the mark.
  gProject.modified = 0;
  EXPECT_EQ(ImportFacesEase2(Write("empty.exp", "0\n0\n"), gObjects.model), 1);
  EXPECT_EQ(CountObjects(), 1u);
  EXPECT_EQ(gProject.modified, 0);
}

// ---- Angles ----

TEST(EaseAngles, HorizontalIsTurnedByAQuarterAndKeptWithinAHalfTurn) {
  struct Case {
    double horizontal, easeHorizontal;
  } cases[] = {{0, 90}, {100, -170}, {-90, 0}, {90, 180}, {-179, -89}, {180, -90}};
  for (const Case& c : cases) {
    Loudspeaker speaker;
    speaker.horizontal = float(c.horizontal * kDegree);
    speaker.vertical = float(-12.5 * kDegree);
    speaker.rotation = float(30 * kDegree);
    const EaseAngles ease = EaseAnglesOf(speaker);
    EXPECT_NEAR(ease.horizontal, c.easeHorizontal, 1e-9) << c.horizontal;
    EXPECT_NEAR(ease.vertical, -12.5, 1e-9);
    EXPECT_NEAR(ease.rotation, 30, 1e-9);

    Loudspeaker read;
    SetAnglesFromEase(read, ease);
    EXPECT_NEAR(std::remainder(read.horizontal - c.horizontal * kDegree, 2 * kPi), 0, 1e-6) << c.horizontal;
    EXPECT_NEAR(read.vertical, speaker.vertical, 1e-6);
    EXPECT_NEAR(read.rotation, speaker.rotation, 1e-6);
  }
  Loudspeaker read;
  SetAnglesFromEase(read, {370, -170, -190});  // a whole turn more changes no aim
  EXPECT_NEAR(read.horizontal, 100 * kDegree, 1e-6);
  EXPECT_NEAR(read.vertical, 10 * kDegree, 1e-6);
  EXPECT_NEAR(read.rotation, 170 * kDegree, 1e-6);
}

// ---- Loudspeakers ----

void ExpectSameReadSpeakers(const ExchangeSpeaker& read, const ExchangeSpeaker& written) {
  EXPECT_EQ(read.typeName, written.typeName);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(read.speaker.position[size_t(i)], written.speaker.position[size_t(i)], 0.005);
  EXPECT_NEAR(read.speaker.horizontal, written.speaker.horizontal, 1e-6);
  EXPECT_NEAR(read.speaker.vertical, written.speaker.vertical, 1e-6);
  EXPECT_NEAR(read.speaker.rotation, written.speaker.rotation, 1e-6);
  EXPECT_FLOAT_EQ(read.speaker.delay, written.speaker.delay);
  for (int b = 0; b < kBandCount; ++b)
    EXPECT_NEAR(read.speaker.power[size_t(b)], written.speaker.power[size_t(b)], 0.05);
  EXPECT_FLOAT_EQ(read.speaker.nominalPower, *std::max_element(read.speaker.power.begin(), read.speaker.power.end()));
  EXPECT_EQ(read.speaker.on, 1);
  EXPECT_EQ(read.speaker.polarity, 1);
}

TEST(EaseSpeakerFiles, BothLayoutsWriteTheGoldenFilesAndReadThemBack) {
  const std::vector<ExchangeSpeaker> speakers = GoldenSpeakers();
  EXPECT_EQ(FormatSpeakersEase3(speakers), Golden("ease3_speakers/two_loudspeakers.xld"));
  EXPECT_EQ(FormatSpeakersEase2(speakers), Golden("ease2_speakers/two_loudspeakers.imp"));

  struct Layout {
    const char* file;
    EaseSpeakerImport (*read)(const std::vector<std::string>&, uint32_t);
    std::string (*format)(std::span<const ExchangeSpeaker>);
  } layouts[] = {{"ease3_speakers/two_loudspeakers.xld", ReadSpeakersEase3, FormatSpeakersEase3},
                 {"ease2_speakers/two_loudspeakers.imp", ReadSpeakersEase2, FormatSpeakersEase2}};
  for (const Layout& layout : layouts) {
    const EaseSpeakerImport crlf = layout.read(GoldenLines(layout.file), 5000);
    const EaseSpeakerImport lf = layout.read(SplitTextLines(WithoutCr(Golden(layout.file))), 5000);
    ASSERT_EQ(crlf.speakers.size(), 2u) << layout.file;
    EXPECT_EQ(crlf.leftOut, 0u);
    EXPECT_FALSE(crlf.limitReached);
    EXPECT_EQ(layout.format(crlf.speakers), layout.format(lf.speakers)) << layout.file;
    for (size_t i = 0; i < 2; ++i) ExpectSameReadSpeakers(crlf.speakers[i], speakers[i]);
  }
  // EASE 2 levels come back as intensity factors; EASE 3 levels are not read.
  const EaseSpeakerImport ease2 = ReadSpeakersEase2(GoldenLines("ease2_speakers/two_loudspeakers.imp"), 5000);
  EXPECT_FLOAT_EQ(ease2.speakers[0].speaker.intensity[0], 1e10f);
  EXPECT_FLOAT_EQ(ease2.speakers[0].speaker.intensity[3], 1.0f);
}

// A type name is read whole: one longer than a type's names is kept so that
// it matches no type rather than the one it would be cut to.
TEST(EaseSpeakerFiles, TypeNamesAreReadWholeUpToTheirQuote) {
  struct Case {
    const char* value;
    const char* name;
  } cases[] = {{"\"KV12\"", "KV12"},
               {"\"SPEAKER12\"", "SPEAKER12"},
               {"\"ABCDEFGHIJ\"", "ABCDEFGHIJ"},
               {"\"A B\"", "A B"},
               {"", ""},
               {"\"OPEN", "OPEN"},
               {"BOX8\"", "BOX8"}};
  const std::string before = "\"Label\",\"S1\"\n\"Position\",1,2,3\n\"Ver/Hor/Rot\",0,90,0\n\"Speaker\",";
  std::string watts = "\"Watts\"";
  for (int i = 0; i < 21; ++i) watts += ",1";
  for (const Case& c : cases) {
    const EaseSpeakerImport read =
        ReadSpeakersEase3(SplitTextLines(before + c.value + "\n\"Delay/Align\",0,0\n" + watts + "\n"), 10);
    ASSERT_EQ(read.speakers.size(), 1u) << c.value;
    EXPECT_EQ(read.speakers[0].typeName, c.name);
  }
  struct Ease2Case {
    const char* line;
    const char* name;
  } ease2[] = {{"\"KV12      \"", "KV12"}, {"\"SPEAKER12 \"", "SPEAKER12"}, {"\"ABCDEFGHIJK\"", "ABCDEFGHIJK"},
               {"\"AB\"", "AB"},           {"  \"X Y  \"", "X Y"},          {"\"OPEN \t", "OPEN"}};
  for (const Ease2Case& c : ease2) {
    const std::string text = std::string("1,2,3\n0,90,0\n") + c.line + "\n0,0\n0,0,0,0,0,0,0\n1,1,1,1,1,1,1\n";
    const EaseSpeakerImport read = ReadSpeakersEase2(SplitTextLines(text), 10);
    ASSERT_EQ(read.speakers.size(), 1u) << c.line;
    EXPECT_EQ(read.speakers[0].typeName, c.name);
  }
}

TEST(EaseSpeakerFiles, LoudspeakersWithoutTheirLinesAreLeftOutAndTheLimitEndsTheRead) {
  const std::string good =
      "\"Label\",\"S\"\n\"Position\",1,2,3\n\"Ver/Hor/Rot\",0,90,0\n\"Speaker\",\"KV12\"\n"
      "\"Delay/Align\",1.5,0\n\"Watts\",0,1,0,0,2,0,0,3,0,0,4,0,0,5,0,0,6,0,0,7,0\n";
  const std::string noType =
      "\"Label\",\"S\"\n\"Position\",1,2,3\n\"Ver/Hor/Rot\",0,90,0\n"
      "\"Delay/Align\",1.5,0\n\"Watts\",0,1,0,0,2,0,0,3,0,0,4,0,0,5,0,0,6,0,0,7,0\n";
  const std::string shortWatts =
      "\"Label\",\"S\"\n\"Position\",1,2,3\n\"Ver/Hor/Rot\",0,90,0\n\"Speaker\",\"KV12\"\n"
      "\"Delay/Align\",1.5,0\n\"Watts\",1,2,3\n";
  const EaseSpeakerImport read =
      ReadSpeakersEase3(SplitTextLines("\"Position\",9,9,9\n" + good + noType + shortWatts + "; end\n" + good), 10);
  ASSERT_EQ(read.speakers.size(), 2u);
  EXPECT_EQ(read.leftOut, 2u);
  EXPECT_EQ(read.speakers[0].speaker.power, (std::array<float, kBandCount>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_FLOAT_EQ(read.speakers[0].speaker.nominalPower, 7);
  EXPECT_FLOAT_EQ(read.speakers[0].speaker.delay, 1.5f);

  const EaseSpeakerImport limited = ReadSpeakersEase3(SplitTextLines(good + good + good), 2);
  EXPECT_EQ(limited.speakers.size(), 2u);
  EXPECT_TRUE(limited.limitReached);
  EXPECT_FALSE(ReadSpeakersEase3(SplitTextLines(good + good), 2).limitReached);

  // EASE 2: an unreadable group costs itself, an incomplete last one ends
  // the read.
  const std::string group = "1,2,3\n0,90,0\n\"KV12\"\n0,0\n0,0,0,0,0,0,0\n1,1,1,1,1,1,1\n";
  const std::string bad = "1,2,3\n0,90\n\"KV12\"\n0,0\n0,0,0,0,0,0,0\n1,1,1,1,1,1,1\n";
  const EaseSpeakerImport ease2 = ReadSpeakersEase2(SplitTextLines(group + "\n" + bad + group + "1,2,3\n0,90,0\n"), 10);
  EXPECT_EQ(ease2.speakers.size(), 2u);
  EXPECT_EQ(ease2.leftOut, 2u);
  EXPECT_TRUE(ReadSpeakersEase2(SplitTextLines(group + group), 1).limitReached);
}

TEST(EaseSpeakerFiles, PositionsInFeetAreReadInMetresAndOtherUnitsRefuseTheFile) {
  std::string watts = "\"Watts\"";
  for (int i = 0; i < 21; ++i) watts += ",1";
  const std::string speaker =
      "\"Label\",\"S1\"\n\"Position\",32.8084,-3.28084,16.4042\n\"Ver/Hor/Rot\",0,90,0\n"
      "\"Speaker\",\"KV12\"\n\"Delay/Align\",0,0\n" +
      watts + "\n";
  const EaseSpeakerImport feet = ReadSpeakersEase3(SplitTextLines("\"LengthUnit\",\"FT\"\n" + speaker), 10);
  ASSERT_EQ(feet.speakers.size(), 1u);
  EXPECT_NEAR(feet.speakers[0].speaker.position[0], 10, 1e-5);
  EXPECT_NEAR(feet.speakers[0].speaker.position[1], -1, 1e-5);
  EXPECT_NEAR(feet.speakers[0].speaker.position[2], 5, 1e-5);

  const EaseSpeakerImport inches = ReadSpeakersEase3(SplitTextLines(speaker + "\"LengthUnit\",\"in\"\n"), 10);
  EXPECT_TRUE(inches.speakers.empty());
  EXPECT_STREQ(inches.refusal, kEaseLengthUnitMessage);
}

TEST(EaseLocale, FilesAreWrittenAndReadWithAPointUnderADecimalCommaLocale) {
  ScopedCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << comma.why();
  char printed[16];
  std::snprintf(printed, sizeof printed, "%.1f", 2.5);
  ASSERT_EQ(std::string(printed), "2,5");  // the locale is in force

  EXPECT_EQ(FormatSpeakersEase3(GoldenSpeakers()), Golden("ease3_speakers/two_loudspeakers.xld"));
  EXPECT_EQ(FormatSpeakersEase2(GoldenSpeakers()), Golden("ease2_speakers/two_loudspeakers.imp"));
  const EaseSpeakerImport read = ReadSpeakersEase3(GoldenLines("ease3_speakers/two_loudspeakers.xld"), 10);
  ASSERT_EQ(read.speakers.size(), 2u);
  ExpectSameReadSpeakers(read.speakers[1], GoldenSpeakers()[1]);

  GraphicObject* quad = MakeFace(kQuadrilateral);
  EXPECT_EQ(FormatFacesEase3(std::vector<const GraphicObject*>{quad}), Golden("ease3_faces/quadrilateral.xfc"));
  ObjectList own;
  FreeObjectInList(quad, own);
  FaceImport faces = ReadFacesEase3(GoldenLines("ease3_faces/quadrilateral.xfc"));
  ASSERT_NE(faces.faces.list().first, nullptr);
  ExpectRoomFace(*faces.faces.list().first, kQuadrilateral);
}

// ---- Linking imported loudspeakers ----

// A speaker database of the names given, each type rated `rated` W in every
// band with a sensitivity of 90 dB and its name filling as much of the
// nine-character field as it needs, as a stored record may; counts its loads.
struct FakeDatabase {
  std::vector<std::string> names;
  float rated = 100;
  int loads = 0;

  SpeakerTypeLoader Loader() {
    return [this](std::string_view name, SpeakerTypeTable& table, int slot) {
      if (std::find(names.begin(), names.end(), name) == names.end()) return 0;
      SpeakerTypePtr type = AllocSpeakerType();
      WriteTextFieldFull(std::span(type->bytes).subspan(kTypeName, kTypeNameSize), name);
      for (int b = 0; b < kBandCount; ++b) {
        type->SetRatedPower(b, rated);
        type->SetSensitivity(b, 90);
      }
      table.types[size_t(slot)] = std::move(type);
      ++loads;
      return 1;
    };
  }
};

std::vector<ExchangeSpeaker> PlacedSpeakers() {
  std::vector<ExchangeSpeaker> placed = ExchangeSpeakersOf(gObjects.model, gSpeakerModel.types);
  std::reverse(placed.begin(), placed.end());  // each was put at the head
  return placed;
}

TEST_F(EaseTest, ImportedPowersBecomeGainsOnTheirTypeAndTheTypeIsLoadedOnce) {
  FakeDatabase database{{"KV12"}};
  std::vector<ExchangeSpeaker> read(2);
  for (ExchangeSpeaker& s : read) {
    s.typeName = "KV12";
    s.speaker.power = {100, 50, 12.5919f, 0, 400, 0.0001f, -3};
    s.speaker.position = {1, 2, 3};
  }
  for (ExchangeSpeaker& s : read) EXPECT_EQ(AddImportedSpeaker(s, {database.Loader(), nullptr}), 1);
  EXPECT_EQ(database.loads, 1);
  EXPECT_EQ(gSpeakerModel.types.count, 1);
  EXPECT_EQ(gProject.modified, 65535);

  const std::vector<ExchangeSpeaker> placed = PlacedSpeakers();
  ASSERT_EQ(placed.size(), 2u);
  const Loudspeaker& s = placed[0].speaker;
  const std::array<float, kBandCount> gains = {0, -3.0103f, -9, -50, 0, -50, -50};
  for (int b = 0; b < kBandCount; ++b) EXPECT_NEAR(s.eqGain[size_t(b)], gains[size_t(b)], 1e-3) << "band " << b;
  const std::array<float, kBandCount> powers = {100, 50, 12.5919f, 0, 100, 0, 0};
  for (int b = 0; b < kBandCount; ++b) EXPECT_NEAR(s.power[size_t(b)], powers[size_t(b)], 1e-3) << "band " << b;
  EXPECT_NEAR(s.intensity[0], 100 * 1e9, 1e5);
  EXPECT_EQ(s.on, 1);
  EXPECT_EQ(placed[0].typeName, "KV12");
  EXPECT_EQ(s.object->layer, kLoudspeakerLayer);
  EXPECT_EQ(s.object->vertexCount, defaultSymbol_->vertexCount);
  EXPECT_FLOAT_EQ(s.object->vertices[0].x, 1.5f);  // the symbol stands at the position
}

TEST_F(EaseTest, AnUnknownTypeOpensTheDialogOnceWhoseCancelDropsTheLoudspeaker) {
  FakeDatabase database{{"KV12"}};
  struct Case {
    const char* name;
    int answer;          // of the dialog
    const char* picked;  // the type the user picks
    int placed;          // the result
    std::vector<std::string> messages;
  } cases[] = {
      {"cancel", 0, "", 0, {}},
      {"a known type picked", 1, "KV12", 1, {}},
      {"an unknown type picked", 1, "NONE", 0, {kSpeakerNotAvailableMessage}},
  };
  for (const Case& c : cases) {
    int dialogs = 0;
    auto pick = [&](Loudspeaker& speaker, std::string& typeName) {
      ++dialogs;
      EXPECT_EQ(typeName, "GONE");
      EXPECT_FLOAT_EQ(speaker.position[2], 3);
      typeName = c.picked;
      return c.answer;
    };
    ExchangeSpeaker s;
    s.typeName = "GONE";
    s.speaker.position = {1, 2, 3};
    s.speaker.power.fill(50);
    const uint32_t before = CountObjects();
    MessageRecorder messages;
    EXPECT_EQ(AddImportedSpeaker(s, {database.Loader(), pick}), c.placed) << c.name;
    EXPECT_EQ(dialogs, 1) << c.name;
    EXPECT_EQ(messages.texts(), c.messages) << c.name;
    EXPECT_EQ(CountObjects(), before + uint32_t(c.placed)) << c.name;
  }
  // The known type came with the powers of the file.
  const std::vector<ExchangeSpeaker> placed = PlacedSpeakers();
  ASSERT_EQ(placed.size(), 1u);
  EXPECT_NEAR(placed[0].speaker.eqGain[0], -3.0103f, 1e-3);
  EXPECT_NEAR(placed[0].speaker.power[0], 50, 1e-3);

  // Gains the dialog changed are the user's.
  ExchangeSpeaker s;
  s.typeName = "GONE";
  s.speaker.power.fill(50);
  auto equalise = [](Loudspeaker& speaker, std::string& typeName) {
    speaker.eqGain.fill(-9);
    typeName = "KV12";
    return 1;
  };
  ASSERT_EQ(AddImportedSpeaker(s, {database.Loader(), equalise}), 1);
  EXPECT_NEAR(PlacedSpeakers().back().speaker.power[0], 100 * std::pow(10, -0.9), 1e-3);
}

// A type name that fills its nine characters comes back whole from both
// layouts and so finds its own type, not the one of its first eight.
TEST_F(EaseTest, ANineCharacterTypeNameFindsItsOwnType) {
  FakeDatabase database{{"SPEAKER1", "SPEAKER12"}};
  ExchangeSpeaker written;
  written.typeName = "SPEAKER12";
  written.speaker.power.fill(50);
  struct Layout {
    std::string (*format)(std::span<const ExchangeSpeaker>);
    EaseSpeakerImport (*read)(const std::vector<std::string>&, uint32_t);
  } layouts[] = {{FormatSpeakersEase3, ReadSpeakersEase3}, {FormatSpeakersEase2, ReadSpeakersEase2}};
  for (const Layout& layout : layouts) {
    EaseSpeakerImport read = layout.read(SplitTextLines(layout.format(std::span(&written, 1))), 10);
    ASSERT_EQ(read.speakers.size(), 1u);
    ASSERT_EQ(AddImportedSpeaker(read.speakers[0], {database.Loader(), nullptr}), 1);
    EXPECT_EQ(gSpeakerModel.types.At(read.speakers[0].speaker.typeIndex)->TypeName(), "SPEAKER12");
  }
}

TEST_F(EaseTest, TheLimitCountsTheModelsLoudspeakersAndThoseBeingImported) {
  for (int i = 0; i < 4999; ++i) {
    GraphicObject* o = MakeSpeakerObject();
    o->layer = kLoudspeakerLayer;
    AppendObject(o);
  }
  const std::string path = Write("two.xld", Golden("ease3_speakers/two_loudspeakers.xld"));
  FakeDatabase database{{"KV12", "ABCDEFGH"}};
  MessageRecorder messages;
  EXPECT_EQ(ImportSpeakersEase3(path, {database.Loader(), nullptr}), 1);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Maximum amount of speakers is 5000"});
  EXPECT_EQ(CountObjectsOnLayer2(), 5000u);
  EXPECT_EQ(database.loads, 1);
}

TEST_F(EaseTest, TheExampleHallsLoudspeakersSurviveARoundTripThroughBothLayouts) {
  const std::string examples = KORVANE_EXAMPLE_DIR;
  std::vector<ExchangeSpeaker> hall;
  {
    ProjectModel model;
    ASSERT_EQ(ParseProjectFile(examples + "/HALL.KPR", model), 1);
    hall = ExchangeSpeakersOf(model.objects, model.types);
    ASSERT_EQ(hall.size(), 2u);
    ASSERT_EQ(ExportSpeakersEase3(PathOf("hall"), model.objects, model.types), 1);
    ASSERT_EQ(ExportSpeakersEase2(PathOf("hall"), model.objects, model.types), 1);
  }
  SpeakerDatabaseIndex index;
  ASSERT_EQ(OpenSpeakerDatabaseIndex(index, examples + "/EXAMPLE.KSB"), 1);
  const SpeakerImportLinks links = {IndexTypeLoader(index, gObjects.model, defaultSymbol_), nullptr};
  for (const char* file : {"hall.xld", "hall.imp"}) {
    ResetObjectStore();
    ResetSpeakerModel();
    const std::string path = PathOf(file);
    ASSERT_EQ(file == std::string("hall.xld") ? ImportSpeakersEase3(path, links) : ImportSpeakersEase2(path, links), 1);
    const std::vector<ExchangeSpeaker> placed = PlacedSpeakers();
    ASSERT_EQ(placed.size(), hall.size()) << file;
    for (size_t i = 0; i < hall.size(); ++i) {
      const Loudspeaker& a = placed[i].speaker;
      const Loudspeaker& b = hall[i].speaker;
      EXPECT_EQ(placed[i].typeName, hall[i].typeName) << file;
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(a.position[size_t(k)], b.position[size_t(k)], 0.005) << file;
      EXPECT_NEAR(a.horizontal, b.horizontal, 0.05 * kDegree) << file;
      EXPECT_NEAR(a.vertical, b.vertical, 0.05 * kDegree) << file;
      EXPECT_NEAR(a.rotation, b.rotation, 0.05 * kDegree) << file;
      EXPECT_FLOAT_EQ(a.delay, b.delay) << file;
      for (int band = 0; band < kBandCount; ++band) {
        EXPECT_NEAR(a.power[size_t(band)], b.power[size_t(band)], 0.05) << file << " band " << band;
        EXPECT_NEAR(a.eqGain[size_t(band)], b.eqGain[size_t(band)], 0.1) << file << " band " << band;
      }
    }
  }
}

}  // namespace
