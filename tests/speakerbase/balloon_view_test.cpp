// The balloon window's mesh, angles, projections and layout.
#include "speakerbase/balloon_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "framework/model/layers.h"
#include "tests/speakerbase/view_fixtures.h"

namespace {

using view_fixtures::Disc;
using view_fixtures::FlatRecord;
using view_fixtures::SetCode;

constexpr double kDeg = 3.141592654 / 180;

struct Vec {
  double x = 0, y = 0, z = 0;
};
Vec Of(const ObjectVertex& v) { return {v.x, v.y, v.z}; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(Vec a) { return std::sqrt(Dot(a, a)); }

// The faces of a mesh as vertex lists, by its items.
std::vector<std::vector<uint32_t>> Faces(const GraphicObject& mesh) {
  std::vector<std::vector<uint32_t>> faces;
  for (uint32_t i = 0; i < mesh.itemCount; ++i) {
    const ObjectItem item = mesh.items[i];
    if (item.op == kOpStart) faces.emplace_back();
    EXPECT_FALSE(faces.empty()) << "item " << i << " before any start";
    if (faces.empty()) return faces;
    faces.back().push_back(item.index);
    EXPECT_EQ(item.op == kOpClose, faces.back().size() == (faces.size() <= 72 || faces.size() > 72 + 34 * 72 ? 3u : 4u))
        << "item " << i;
  }
  return faces;
}

BalloonMeshPtr MeshOf(const SpeakerType& record, int band = 0) {
  BalloonMeshPtr mesh = CreateBalloonMesh();
  EXPECT_TRUE(mesh && BuildBalloonMesh(record.BalloonBand(band), *mesh));
  return mesh;
}

TEST(BalloonMeshTest, VerticesFollowTheCodesInSphericalSteps) {
  SpeakerType record = FlatRecord();
  SetCode(record, 1, 36, 0, 200);   // behind: rho 125
  SetCode(record, 1, 18, 18, 255);  // straight up: rho 180
  SetCode(record, 1, 10, 5, 75);    // -30 dB: the origin
  SetCode(record, 1, 11, 5, 0);     // below it too
  SetCode(record, 1, 12, 40, 175);  // rho 100
  const BalloonMeshPtr mesh = MeshOf(record, 1);
  ASSERT_TRUE(mesh);
  EXPECT_EQ(mesh->vertexCount, 2522u);
  EXPECT_EQ(mesh->kind, 8u);
  EXPECT_EQ(mesh->state, 1u);
  EXPECT_EQ(mesh->colour, 21u);
  EXPECT_EQ(mesh->layer, uint32_t(kMeshLayer));
  const auto at = [&](uint32_t i) { return Of(mesh->vertices[i]); };
  const auto ring = [&](int row, int column) { return at(2 + uint32_t(row - 1) * 72 + uint32_t(column)); };
  const auto expectAt = [](Vec v, Vec expected, const char* what) {
    EXPECT_NEAR(v.x, expected.x, 1e-3) << what;
    EXPECT_NEAR(v.y, expected.y, 1e-3) << what;
    EXPECT_NEAR(v.z, expected.z, 1e-3) << what;
  };
  expectAt(at(0), {150, 0, 0}, "the axis");
  expectAt(at(1), {-125, 0, 0}, "behind");
  expectAt(ring(18, 18), {0, 0, 180}, "up");
  expectAt(ring(18, 0), {0, 150, 0}, "column 0 at 90 degrees");
  expectAt(ring(10, 5), {0, 0, 0}, "-30 dB");
  expectAt(ring(11, 5), {0, 0, 0}, "-45 dB");
  const double t = 60 * kDeg, p = 200 * kDeg;
  expectAt(ring(12, 40), {100 * std::cos(t), 100 * std::cos(p) * std::sin(t), 100 * std::sin(p) * std::sin(t)},
           "row 12, column 40");
  // A flat band: a sphere of radius 150.
  const BalloonMeshPtr sphere = MeshOf(FlatRecord());
  for (uint32_t i = 0; i < sphere->vertexCount; ++i) ASSERT_NEAR(Length(Of(sphere->vertices[i])), 150, 1e-3) << i;
}

TEST(BalloonMeshTest, FacesCloseTheSurfaceWoundInwards) {
  const BalloonMeshPtr mesh = MeshOf(FlatRecord());
  ASSERT_TRUE(mesh);
  EXPECT_EQ(mesh->itemCount, 72u * 3 + 34u * 72 * 4 + 72u * 3);
  const std::vector<std::vector<uint32_t>> faces = Faces(*mesh);
  ASSERT_EQ(faces.size(), 72u + 34 * 72 + 72);
  // Every edge is walked once each way: the surface is closed and its faces
  // wind alike.
  std::map<std::pair<uint32_t, uint32_t>, int> edges;
  std::vector<bool> used(mesh->vertexCount);
  for (const std::vector<uint32_t>& face : faces)
    for (size_t i = 0; i < face.size(); ++i) {
      ASSERT_LT(face[i], mesh->vertexCount);
      used[face[i]] = true;
      ++edges[{face[i], face[(i + 1) % face.size()]}];
    }
  for (const auto& [edge, count] : edges) {
    EXPECT_EQ(count, 1) << edge.first << "-" << edge.second;
    EXPECT_EQ(edges.count({edge.second, edge.first}), 1u) << edge.first << "-" << edge.second;
  }
  EXPECT_EQ(std::count(used.begin(), used.end(), false), 0);
  // Newell normals point to the centre.
  for (size_t f = 0; f < faces.size(); ++f) {
    Vec normal, centroid;
    const std::vector<uint32_t>& face = faces[f];
    for (size_t i = 0; i < face.size(); ++i) {
      const Vec a = Of(mesh->vertices[face[i]]), b = Of(mesh->vertices[face[(i + 1) % face.size()]]);
      normal = {normal.x + (a.y - b.y) * (a.z + b.z), normal.y + (a.z - b.z) * (a.x + b.x),
                normal.z + (a.x - b.x) * (a.y + b.y)};
      centroid = {centroid.x + a.x, centroid.y + a.y, centroid.z + a.z};
    }
    ASSERT_LT(Dot(normal, centroid), 0) << "face " << f;
  }
}

TEST(BalloonMeshTest, AnObjectTooSmallIsLeftAlone) {
  GraphicObject* small = CreateObject(0, 2521, 10224);
  ASSERT_TRUE(small);
  EXPECT_FALSE(BuildBalloonMesh(FlatRecord().BalloonBand(0), *small));
  EXPECT_EQ(small->vertices[0].x, 0);
  FreeObject(small);
  small = CreateObject(0, 2522, 10223);
  EXPECT_FALSE(BuildBalloonMesh(FlatRecord().BalloonBand(0), *small));
  FreeObject(small);
}

TEST(BalloonAngleTest, ScrollingTurnsRoundAndTiltsWithinItsRange) {
  const float step = 5 * float(kDeg), pi = float(kBalloonPi);
  struct Case {
    float angle;
    BalloonScroll scroll;
    int thumb;
    float expected;
  };
  for (const Case& c : {
           Case{-1.0f, BalloonScroll::kLineForward, 0, -1.0f + step},
           Case{-1.0f, BalloonScroll::kLineBack, 0, -1.0f - step},
           Case{-1.0f, BalloonScroll::kPageForward, 0, -1.0f + 6 * step},
           Case{-1.0f, BalloonScroll::kPageBack, 0, -1.0f - 6 * step},
           Case{-1.0f, BalloonScroll::kThumb, 157, 1.57f},
           Case{pi - 0.01f, BalloonScroll::kLineForward, 0, pi - 0.01f + step - 2 * pi},  // round past pi
           Case{-pi + 0.01f, BalloonScroll::kPageBack, 0, -pi + 0.01f - 6 * step + 2 * pi},
       })
    EXPECT_NEAR(ScrollHorizontalAngle(c.angle, c.scroll, c.thumb), c.expected, 1e-5) << c.angle << " " << int(c.scroll);
  for (const Case& c : {
           Case{-1.0f, BalloonScroll::kLineForward, 0, -1.0f + step},
           Case{-1.0f, BalloonScroll::kPageBack, 0, -1.0f - 6 * step},
           Case{-1.0f, BalloonScroll::kThumb, -250, -2.5f},
           Case{-0.01f, BalloonScroll::kLineForward, 0, 0},  // clamped, not wrapped
           Case{-pi + 0.01f, BalloonScroll::kPageBack, 0, -pi},
           Case{-1.0f, BalloonScroll::kThumb, 50, 0},
       })
    EXPECT_NEAR(ScrollVerticalAngle(c.angle, c.scroll, c.thumb), c.expected, 1e-6) << c.angle << " " << int(c.scroll);
  EXPECT_EQ(BalloonScrollPosition(-pi), -314);
  EXPECT_EQ(BalloonScrollPosition(1.5708f), 157);
  const BalloonViewState opened;
  EXPECT_EQ(opened.band, 3);
  EXPECT_FALSE(opened.threeD);
  EXPECT_FALSE(opened.mesh);
  EXPECT_GE(opened.verticalAngle, -pi);
  EXPECT_LE(opened.verticalAngle, 0);
}

TEST(BalloonProjectionTest, EachViewIsARotationShowingTheAxisItsWay) {
  struct Case {
    BalloonViewKind kind;
    Vec right, up;  // where the screen's right and up point in the model
  };
  for (const Case& c :
       {Case{BalloonViewKind::kHorizontal, {0, -1, 0}, {1, 0, 0}},
        Case{BalloonViewKind::kVertical, {0, 0, -1}, {1, 0, 0}}, Case{BalloonViewKind::kFront, {0, 1, 0}, {0, 0, 1}}}) {
    const BalloonProjection m = FixedBalloonProjection(c.kind);
    const Vec h{m[0], m[1], m[2]}, v{m[3], m[4], m[5]}, d{m[6], m[7], m[8]};
    EXPECT_EQ(Dot(h, c.right), 1) << int(c.kind);
    EXPECT_EQ(Dot(v, c.up), 1) << int(c.kind);
    const Vec towards = Cross(h, v);  // right x up: towards the viewer, as in the renderer's rotation
    EXPECT_EQ(Dot(d, towards), 1) << int(c.kind);
  }
}

TEST(BalloonLayoutTest, FourViewsWithRingsLabelsAndTheRingLegend) {
  const BalloonLayout layout = LayOutBalloonView(FlatRecord(), 5, false, 988, 598);
  EXPECT_EQ(layout.heading.text, "Test Brand : FLAT");
  EXPECT_EQ(layout.bandHeader.text, "4 kHz Ref: 95.0 dB");
  ASSERT_EQ(layout.cells.size(), 4u);
  const char* titles[] = {"Horiz.", "Vert.", "Front", "3D"};
  for (size_t i = 0; i < 4; ++i) {
    const BalloonViewCell& cell = layout.cells[i];
    EXPECT_EQ(cell.kind, BalloonViewKind(i));
    EXPECT_EQ(cell.title.text, titles[i]);
    EXPECT_GT(cell.scale, 0.5);
    EXPECT_EQ(cell.scale, layout.cells[0].scale);  // one scale for all four
    if (i == 3) {
      EXPECT_TRUE(cell.labels.empty());
      EXPECT_TRUE(cell.rings.empty());
      continue;
    }
    ASSERT_EQ(cell.labels.size(), 4u);
    EXPECT_EQ(cell.labels[0].text, "0\xB0");
    EXPECT_EQ(cell.labels[3].text, "-90\xB0");
    ASSERT_EQ(cell.rings.size(), 6u);  // 0 to -25 dB
    EXPECT_EQ(cell.rings[0].code, 225);
    EXPECT_EQ(cell.rings[0].radius, std::lround(150 * cell.scale));
    EXPECT_EQ(cell.rings[5].code, 100);
    EXPECT_EQ(cell.rings[5].radius, std::lround(25 * cell.scale));
  }
  ASSERT_EQ(layout.legend.size(), 2u);
  EXPECT_EQ(layout.legend[0].text.text, "-0/-10/-20 dB");
  EXPECT_EQ(layout.legend[0].pen, 0);
  EXPECT_EQ(layout.legend[1].text.text, "-5/-15/-25 dB");
  EXPECT_EQ(layout.legend[1].pen, 5);
}

TEST(BalloonLayoutTest, TextsNeverMeetEachOtherTheViewsOrTheButtons) {
  for (const auto& [width, height] : view_fixtures::kWindowSizes)
    for (bool threeD : {false, true}) {
      const BalloonLayout layout = LayOutBalloonView(FlatRecord(), 0, threeD, width, height);
      std::vector<ViewText> texts = {layout.heading, layout.bandHeader};
      std::vector<Disc> discs;
      for (const BalloonViewCell& cell : layout.cells) {
        if (!threeD) texts.push_back(cell.title);
        texts.insert(texts.end(), cell.labels.begin(), cell.labels.end());
        discs.push_back({cell.centre, kBalloonMeshReach * cell.scale + 1});
      }
      for (const LegendEntry& e : layout.legend) texts.push_back(e.text);
      view_fixtures::ExpectTextsApart(texts, discs, view_fixtures::ViewButtons(9), width, height);
      // The views lie inside the window, clear of the buttons and of one another.
      for (size_t i = 0; i < discs.size(); ++i) {
        const Disc& d = discs[i];
        const int r = int(std::ceil(d.radius));
        EXPECT_TRUE((ViewRect{kViewButtonSize, 0, width, height})
                        .Contains({d.centre.x - r, d.centre.y - r, d.centre.x + r, d.centre.y + r}))
            << width << " x " << height;
        for (size_t j = i + 1; j < discs.size(); ++j)
          EXPECT_GT(std::hypot(d.centre.x - discs[j].centre.x, d.centre.y - discs[j].centre.y),
                    d.radius + discs[j].radius);
      }
      // The axis cross, 25 pixels each way, inside the window.
      if (threeD) {
        const ViewPoint c = layout.axisCross;
        EXPECT_TRUE((ViewRect{kViewButtonSize, 0, width, height}).Contains({c.x - 26, c.y - 26, c.x + 26, c.y + 26}));
      }
    }
}

}  // namespace
