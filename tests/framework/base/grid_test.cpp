// The drawing grid over the model's box.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "framework/base/drawing_reset.h"
#include "framework/base/grid.h"
#include "framework/base/view_state.h"
#include "framework/core/state_reset.h"
#include "framework/model/layers.h"
#include "tests/support/object_fixtures.h"

namespace {

class GridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAllState();
    gLayers.SetVisible(kGridLayer, true);
  }
  void TearDown() override { ResetAllState(); }

  // The x positions of the floor's lines along y (those from ymin to ymax
  // at one x), and the number of lines.
  static std::set<float> FloorXPositions() {
    std::set<float> xs;
    for (const GraphicObject* line = gGridLines.first; line; line = line->next) {
      const ObjectVertex& a = line->vertices[0];
      const ObjectVertex& b = line->vertices[1];
      if (a.x == b.x && a.z == b.z && a.y != b.y) xs.insert(a.x);
    }
    return xs;
  }
  static size_t LineCount() {
    size_t n = 0;
    for (const GraphicObject* line = gGridLines.first; line; line = line->next) ++n;
    return n;
  }
};

TEST_F(GridTest, AnEmptyModelGetsAGridFromMinus100To100OnEveryAxis) {
  BuildGrid();
  // Floor: 201 lines each way; wall x = xmin: 201 verticals and 200 lines
  // above the floor; wall y = ymax: 200 and 200.
  EXPECT_EQ(LineCount(), 201u + 201 + 201 + 200 + 200 + 200);
  const GraphicObject* line = gGridLines.first;
  EXPECT_EQ(line->kind, 0u);
  EXPECT_EQ(line->layer, kGridLineLayer);
  EXPECT_EQ(line->colour, kGridLineColour);
  ASSERT_EQ(line->vertexCount, 2u);
  ASSERT_EQ(line->itemCount, 2u);
  EXPECT_EQ(line->items[0].op, kOpStart);
  EXPECT_EQ(line->items[1].op, kOpLineTo);
  EXPECT_EQ(line->items[1].index, 1);
  const std::set<float> xs = FloorXPositions();
  EXPECT_EQ(*xs.begin(), -100.0f);
  EXPECT_EQ(*xs.rbegin(), 100.0f);
  EXPECT_EQ(gObjects.model.first, nullptr);  // never part of the model
}

TEST_F(GridTest, TheGridWidensTheModelBoxToWholeStepsAndOneMore) {
  AddObject({{{0.2f, 0.5f, 0}, {3.7f, 0.5f, 0}, {3.7f, 2.5f, 1}}});
  GraphicObject* shape = AddObject({{{-50, -50, -50}, {50, 50, 50}, {0, 0, 50}}});
  shape->layer = kShapeLayer;  // hidden shapes do not count
  BuildGrid();
  const std::set<float> xs = FloorXPositions();
  EXPECT_EQ(xs, (std::set<float>{-1, 0, 1, 2, 3, 4, 5}));
  for (const GraphicObject* line = gGridLines.first; line; line = line->next)
    for (int i = 0; i < 2; ++i) {
      EXPECT_TRUE(line->vertices[i].y >= -1 && line->vertices[i].y <= 4) << line->vertices[i].y;
      EXPECT_TRUE(line->vertices[i].z >= -1 && line->vertices[i].z <= 2) << line->vertices[i].z;
    }

  gDrawing.gridSize = 0.5f;
  BuildGrid();
  EXPECT_EQ(FloorXPositions().size(), 11u);  // -0.5 .. 4.5
  EXPECT_EQ(*FloorXPositions().begin(), -0.5f);
}

TEST_F(GridTest, AModelFarFromTheOriginOrHugeAgainstTheStepGivesABoundedGrid) {
  // Single-precision steps of 1 m stall at 1e8 m, where floats are 8 m apart.
  AddObject({{{1e8f, 1e8f, 0}, {1e8f + 64, 1e8f, 0}, {1e8f, 1e8f + 64, 3}}});
  BuildGrid();
  EXPECT_GT(LineCount(), 0u);
  EXPECT_LE(LineCount(), size_t(6 * kMaxGridLinesPerAxis));

  ResetDrawing();
  gLayers.SetVisible(kGridLayer, true);
  gDrawing.gridSize = 0.1f;
  AddObject({{{0, 0, 0}, {5000, 0, 0}, {0, 10, 3}}});  // 50000 steps along x
  BuildGrid();
  const std::set<float> xs = FloorXPositions();
  EXPECT_LE(xs.size(), size_t(kMaxGridLinesPerAxis));
  EXPECT_EQ(*xs.begin(), -0.1f);
  // The coarser step is a whole number of grid steps.
  const double step = double(*std::next(xs.begin())) - double(*xs.begin());
  EXPECT_NEAR(std::remainder(step, 0.1), 0, 1e-4);
}

TEST_F(GridTest, AHiddenGridLayerFreesTheGridAndBuildsNone) {
  BuildGrid();
  ASSERT_NE(gGridLines.first, nullptr);
  gLayers.SetVisible(kGridLayer, false);
  BuildGrid();
  EXPECT_EQ(gGridLines.first, nullptr);
}

}  // namespace
