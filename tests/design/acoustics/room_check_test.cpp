#include "design/acoustics/room_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "design/acoustics/reverberation.h"
#include "design/model/materials.h"
#include "tests/design/acoustics/room_fixtures.h"
#include "tests/support/fake_services.h"
#include "tests/support/message_recorder.h"

namespace {

// Box faces in the order of BoxFaces, and the way each faces into the box.
enum BoxFace { kFloor, kCeiling, kWallX0, kWallX1, kWallY0, kWallY1 };
constexpr int kInwardAxis[6] = {2, 2, 0, 0, 1, 1};
constexpr double kInwardSign[6] = {1, -1, 1, -1, 1, -1};

class RoomCheckTest : public RoomModelTest {
 protected:
  RoomCheckResult Check(const RoomCheckHooks& hooks = {}) {
    return CheckRoomBoundaries(ProjectTables(), gCalcFaceTable, modified, hooks);
  }
  // The Newell vector of the first polygon of `object`.
  static Vec3d Normal(const GraphicObject* object) { return ComputeFaceAreaVector(*object, 0); }

  uint16_t modified = 0;
  MessageRecorder messages;
};

struct BoxCase {
  const char* name;
  std::vector<BoxFace> outwards;  // faces turned to face out of the box
  std::vector<BoxFace> missing;
  std::string text;
  std::string caption;
  int inversions;
};

TEST_F(RoomCheckTest, BoxesReportWhatIsWrongWithThem) {
  const BoxCase cases[] = {
      {"closed, facing inwards", {}, {}, "No errors found", "Rock \xB4n\xB4 Roll !", 0},
      {"one wall facing out", {kWallX1}, {}, "1Faces auto-inverted ", "Rock \xB4n\xB4 Roll !", 1},
      {"floor and ceiling facing out", {kFloor, kCeiling}, {}, "2Faces auto-inverted ", "Rock \xB4n\xB4 Roll !", 2},
      {"no top", {}, {kCeiling}, "XY -Error", "Missing faces !", 0},
      {"no top, a wall facing out", {kWallY0}, {kCeiling}, "1Faces auto-inverted XY -Error", "Missing faces !", 1},
      {"no x walls", {}, {kWallX0, kWallX1}, "YZ -Error", "Missing faces !", 0},
      // Walls alone: no z line crosses anything, which is an error of that
      // scan though no line had an odd count.
      {"walls only", {}, {kFloor, kCeiling}, "XY -Error", "Missing faces !", 0},
  };
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(c.name);
    ResetObjectStore();
    modified = 0;
    const std::vector<Polygon> faces = BoxFaces(4, 3, 2.5f);
    std::vector<GraphicObject*> objects(6, nullptr);
    for (int f = 0; f < 6; ++f) {
      const bool out = std::find(c.outwards.begin(), c.outwards.end(), f) != c.outwards.end();
      const bool missing = std::find(c.missing.begin(), c.missing.end(), f) != c.missing.end();
      if (!missing) objects[size_t(f)] = AddObject({out ? Reversed(faces[size_t(f)]) : faces[size_t(f)]});
    }
    const size_t before = messages.messages().size();
    const RoomCheckResult result = Check();
    EXPECT_EQ(result.end, RoomCheckEnd::kReported);
    EXPECT_EQ(result.reportText, c.text);
    EXPECT_EQ(result.reportCaption, c.caption);
    EXPECT_EQ(result.inversions, c.inversions);
    EXPECT_EQ(modified, c.inversions ? 1 : 0);
    ASSERT_EQ(messages.messages().size(), before + 1);
    EXPECT_EQ(messages.messages().back().text, c.text);
    EXPECT_EQ(messages.messages().back().caption, c.caption);
    // Every face that was there faces into the box now.
    for (int f = 0; f < 6; ++f) {
      if (objects[size_t(f)]) {
        EXPECT_GT(Normal(objects[size_t(f)])[kInwardAxis[f]] * kInwardSign[f], 0) << f;
      }
    }
  }
}

TEST_F(RoomCheckTest, FewerThanTwoFacesAreNoRoom) {
  AddObject({RectangleXY(0, 0, 4, 3)});
  const RoomCheckResult result = Check();
  EXPECT_EQ(result.end, RoomCheckEnd::kTooFewFaces);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "No room boundaries to process");
  EXPECT_FALSE(messages.messages()[0].hasCaption);
}

TEST_F(RoomCheckTest, OfTwoCoincidentFacesTheOneFacingAgainstTheLineComesFirst) {
  // Two rooms side by side, 0..2 and 2..4 in x, parted at x = 2 by two
  // faces in one plane: the first room's wall facing back into it (-x) and
  // the second room's facing into that (+x), listed in the order that the
  // line would meet them wrongly without the offset.
  AddObject({RectangleXY(0, 0, 4, 3), Reversed(RectangleXY(0, 0, 4, 3, 2.5f)), WallX(0, 0, 3, 0, 2.5f),
             Reversed(WallX(4, 0, 3, 0, 2.5f)), WallY(0, 0, 4, 0, 2.5f), Reversed(WallY(3, 0, 4, 0, 2.5f))});
  AddObject({WallX(2, 0, 3, 0, 2.5f)});
  AddObject({Reversed(WallX(2, 0, 3, 0, 2.5f))});
  const RoomCheckResult result = Check();
  EXPECT_EQ(result.reportText, "No errors found");
  EXPECT_EQ(result.inversions, 0);
  EXPECT_EQ(result.scans[0].crossings, 4 * result.scans[0].lines);
}

TEST_F(RoomCheckTest, ASmallHoleIsReportedAsItsShareAndMarked) {
  // The ceiling of a 10 m cube in four pieces round a hole of 0.3 x 0.3 m:
  // 9 of the 10000 z lines cross only the floor.
  std::vector<Polygon> faces = BoxFaces(10, 10, 10);
  faces.erase(faces.begin() + kCeiling);
  for (const Polygon& piece : {RectangleXY(0, 0, 10, 5, 10), RectangleXY(0, 5.3f, 10, 10, 10),
                               RectangleXY(0, 5, 5, 5.3f, 10), RectangleXY(5.3f, 5, 10, 5.3f, 10)})
    faces.push_back(Reversed(piece));
  AddObject(faces);
  std::vector<ObjectVertex> markers;
  std::vector<int> scans;
  RoomCheckHooks hooks;
  hooks.beginScan = [&scans](int axis) { scans.push_back(axis); };
  hooks.marker = [&markers](const ObjectVertex& point) { markers.push_back(point); };
  const RoomCheckResult result = Check(hooks);

  EXPECT_EQ(scans, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(result.scans[2].oddLines, 9);
  EXPECT_EQ(result.scans[0].oddLines + result.scans[1].oddLines, 0);
  EXPECT_NEAR(result.errorArea, 0.09, 1e-9);
  EXPECT_NEAR(result.crossedArea, 300, 1e-6);
  EXPECT_EQ(result.flags, uint32_t(kRoomCheckErrorXY));
  EXPECT_EQ(result.reportText, "Fehler = 0.030 %");
  EXPECT_EQ(result.reportCaption, "Rock \xB4n\xB4 Roll !");
  // Each marker is the line's crossing of the floor, put 1 mm along the
  // floor's normal.
  ASSERT_EQ(markers.size(), 9u);
  EXPECT_EQ(result.errorPoints.size(), 9u);
  for (const ObjectVertex& m : markers) {
    EXPECT_GT(m.x, 5.0f);
    EXPECT_LT(m.x, 5.3f);
    EXPECT_GT(m.y, 5.0f);
    EXPECT_LT(m.y, 5.3f);
    EXPECT_FLOAT_EQ(m.z, 0.001f);
  }
  // The table is left in the order of the last scan.
  for (size_t i = 1; i < gCalcFaceTable.faces.size(); ++i)
    EXPECT_LE(CompareMinZ(gCalcFaceTable.faces[i - 1], gCalcFaceTable.faces[i]), 0);
}

TEST_F(RoomCheckTest, ScanLinesLieOnTheGridAcrossALargeRoom) {
  // 200 m along x, the ceiling stopping 0.1 m short of the far wall: the
  // last row of z lines, at x = 199.95, crosses only the floor. A position
  // added up step by step would have drifted off the grid by then.
  std::vector<Polygon> faces = BoxFaces(200, 1, 1);
  faces[kCeiling] = Reversed(RectangleXY(0, 0, 199.9f, 1, 1));
  AddObject(faces);
  std::vector<ObjectVertex> markers;
  RoomCheckHooks hooks;
  hooks.marker = [&markers](const ObjectVertex& point) { markers.push_back(point); };
  const RoomCheckResult result = Check(hooks);
  EXPECT_EQ(result.scans[2].lines, 2000 * 10);
  ASSERT_EQ(markers.size(), 10u);
  for (const ObjectVertex& m : markers) EXPECT_FLOAT_EQ(m.x, 199.95f);
  EXPECT_EQ(result.reportText, "Fehler = 0.025 %");  // 0.1 of 1 + 200 + 200 m^2 crossed
}

TEST_F(RoomCheckTest, CancelKeepsTheInversionsAndShowsNoReport) {
  // The 10 m cube takes 3 x 10000 lines of 6 face tests: the first progress
  // update, after 131072 tests, falls into the z scan, after the x scan has
  // turned the wall round.
  std::vector<Polygon> faces = BoxFaces(10, 10, 10);
  faces[kWallX1] = Reversed(faces[kWallX1]);
  for (const Polygon& face : faces) AddObject({face});
  FakeServices services;
  services.cancelAtUpdate = 1;
  const RoomCheckResult result = Check();
  EXPECT_EQ(result.end, RoomCheckEnd::kCancelled);
  EXPECT_TRUE(messages.messages().empty());
  EXPECT_EQ(services.progressTitle, "Scan Mode :");
  EXPECT_EQ(services.progressOpen, 0);
  ASSERT_EQ(services.percents.size(), 1u);
  EXPECT_EQ(services.percents[0], 74);  // line 21846 of 3 x 99 x 99
  EXPECT_EQ(result.inversions, 1);
  EXPECT_EQ(modified, 1);
  EXPECT_LT(Normal(GetObjectByIndex(kWallX1)).x, 0);
}

TEST_F(RoomCheckTest, ARealRoomFacingOutwardsIsTurnedRound) {
  ASSERT_TRUE(AddMusisRoom(false));
  EXPECT_LT(SumRoomFaces(ProjectTables()).volume, 0);
  const RoomCheckResult result = Check();
  EXPECT_EQ(result.reportText, "24Faces auto-inverted ");
  EXPECT_EQ(modified, 1);
  EXPECT_NEAR(SumRoomFaces(ProjectTables()).volume, 51.777, 1e-3);
  // Checked again, it is the closed room it is.
  EXPECT_EQ(Check().reportText, "No errors found");
}

}  // namespace
