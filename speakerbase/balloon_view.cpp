#include "speakerbase/balloon_view.h"

#include <algorithm>
#include <cmath>

#include "framework/model/layers.h"
#include "speakerbase/polar_plot.h"

namespace {

constexpr double kDegree = kBalloonPi / 180;
constexpr int kCodeStep = 5;          // degrees between balloon rows and columns
constexpr int kRhoFloor = 75;         // -30 dB: rho 0
constexpr uint32_t kFrontVertex = 0;  // on the axis, row 0
constexpr uint32_t kBackVertex = 1;   // behind, row 36
constexpr uint32_t kFirstRingVertex = 2;
constexpr int kInnerRows = kBalloonRows - 2;  // rows 1 .. 35 have a ring of vertices

constexpr int kMargin = 8;
constexpr int kAreaLeft = kViewButtonSize + kMargin;
constexpr int kHeadingTop = 10, kHeadingBottom = 30, kBandHeaderBottom = 50, kCellsTop = 54;
constexpr int kTitleHeight = kViewLabelHeight + 4;
constexpr int kLabelRoom = 4 * kViewLabelCharBox + 4;  // beside the reach circle, each side
constexpr int kLabelRows = 2 * (kViewLabelHeight + 2);
constexpr int kCellGap = 6;  // under each cell, before the next one's title
constexpr int kAxisCrossCorner = 45;
// The rings of the four views: 0 dB down to -25 dB.
constexpr int kTopRingCode = 225, kLowestRingCode = 100, kRingCodeStep = 25;

constexpr const char* kCellTitles[] = {"Horiz.", "Vert.", "Front", "3D"};

float Rho(uint8_t code) { return float(std::max(0, int(code) - kRhoFloor)); }

uint32_t RingVertex(int row, int column) {
  return kFirstRingVertex + uint32_t(row - 1) * kBalloonColumns + uint32_t(column % kBalloonColumns);
}

void AddFace(ObjectItem*& item, std::initializer_list<uint32_t> vertices) {
  uint16_t op = kOpStart;
  size_t n = 0;
  for (uint32_t v : vertices) {
    *item++ = {++n == vertices.size() ? uint16_t(kOpClose) : op, uint16_t(v)};
    op = kOpLineTo;
  }
}

float ScrolledBy(float angle, BalloonScroll scroll, int thumbPosition) {
  switch (scroll) {
    case BalloonScroll::kLineBack: return angle - kBalloonRotationStep;
    case BalloonScroll::kLineForward: return angle + kBalloonRotationStep;
    case BalloonScroll::kPageBack: return angle - kBalloonPageSteps * kBalloonRotationStep;
    case BalloonScroll::kPageForward: return angle + kBalloonPageSteps * kBalloonRotationStep;
    case BalloonScroll::kThumb: return float(thumbPosition / kBalloonScrollScale);
  }
  return angle;
}

// A view cell of `kind` in the box, its reach circle as large as `side`
// pixels beside it and the labels above and below allow.
BalloonViewCell LayOutCell(BalloonViewKind kind, const ViewRect& box, int side) {
  BalloonViewCell cell;
  cell.kind = kind;
  const int width = box.right - box.left, height = box.bottom - box.top;
  const int reach = std::max(1, std::min(width / 2 - side, (height - kTitleHeight - kLabelRows - kCellGap) / 2));
  cell.title = {{box.left, box.top, box.right, box.top + kTitleHeight}, kCellTitles[int(kind)]};
  cell.centre = {box.left + width / 2, box.top + kTitleHeight + kLabelRows / 2 + reach};
  cell.scale = reach / kBalloonMeshReach;
  if (kind == BalloonViewKind::k3D) return cell;
  const std::array<ViewText, 4> labels = PolarLabels(cell.centre, reach);
  cell.labels.assign(labels.begin(), labels.end());
  for (int code = kTopRingCode; code >= kLowestRingCode; code -= kRingCodeStep)
    cell.rings.push_back({code, int(std::lround((code - kRhoFloor) * cell.scale))});
  return cell;
}

}  // namespace

BalloonMeshPtr CreateBalloonMesh() {
  BalloonMeshPtr mesh(CreateObject(0, kBalloonMeshVertices, kBalloonMeshItems));
  if (!mesh) return mesh;
  mesh->kind = kKindFace;
  mesh->state = kStateDuplicate;
  mesh->colour = uint32_t(kBalloonMeshColour);
  mesh->layer = kMeshLayer;
  return mesh;
}

bool BuildBalloonMesh(std::span<const uint8_t, kBalloonBandSize> band, GraphicObject& mesh) {
  if (mesh.vertexCount < kBalloonMeshVertices || mesh.itemCount < kBalloonMeshItems) return false;
  const auto code = [&](int row, int column) { return band[size_t(row) * kBalloonColumns + column]; };
  ObjectVertex* v = mesh.vertices;
  v[kFrontVertex] = {Rho(code(0, 0)), 0, 0};
  v[kBackVertex] = {-Rho(code(kBalloonRows - 1, 0)), 0, 0};
  for (int row = 1; row <= kInnerRows; ++row) {
    const double theta = row * kCodeStep * kDegree;
    for (int column = 0; column < kBalloonColumns; ++column) {
      const double phi = column * kCodeStep * kDegree, rho = Rho(code(row, column));
      v[RingVertex(row, column)] = {float(std::cos(theta) * rho), float(std::cos(phi) * std::sin(theta) * rho),
                                    float(std::sin(phi) * std::sin(theta) * rho)};
    }
  }
  // Inward windings: going round +x backwards at the front, a quadrilateral
  // along its row before down to the next.
  ObjectItem* item = mesh.items;
  for (int c = 0; c < kBalloonColumns; ++c) AddFace(item, {kFrontVertex, RingVertex(1, c + 1), RingVertex(1, c)});
  for (int row = 1; row < kInnerRows; ++row)
    for (int c = 0; c < kBalloonColumns; ++c)
      AddFace(item, {RingVertex(row, c), RingVertex(row, c + 1), RingVertex(row + 1, c + 1), RingVertex(row + 1, c)});
  for (int c = 0; c < kBalloonColumns; ++c)
    AddFace(item, {RingVertex(kInnerRows, c), RingVertex(kInnerRows, c + 1), kBackVertex});
  mesh.vertexCount = kBalloonMeshVertices;
  mesh.itemCount = kBalloonMeshItems;
  return true;
}

float ScrollHorizontalAngle(float angle, BalloonScroll scroll, int thumbPosition) {
  float turned = ScrolledBy(angle, scroll, thumbPosition);
  if (turned > float(kBalloonPi)) turned -= float(2 * kBalloonPi);
  else if (turned < float(-kBalloonPi)) turned += float(2 * kBalloonPi);
  return turned;
}

float ScrollVerticalAngle(float angle, BalloonScroll scroll, int thumbPosition) {
  return std::clamp(ScrolledBy(angle, scroll, thumbPosition), float(-kBalloonPi), 0.0f);
}

int BalloonScrollPosition(float angle) { return int(std::lround(angle * kBalloonScrollScale)); }

BalloonProjection FixedBalloonProjection(BalloonViewKind kind) {
  switch (kind) {
    case BalloonViewKind::kHorizontal: return {0, -1, 0, 1, 0, 0, 0, 0, 1};  // right -y, up +x, towards +z
    case BalloonViewKind::kVertical: return {0, 0, -1, 1, 0, 0, 0, -1, 0};   // right -z, up +x, towards -y
    case BalloonViewKind::kFront: return {0, 1, 0, 0, 0, 1, 1, 0, 0};        // right +y, up +z, towards +x
    case BalloonViewKind::k3D: break;
  }
  return {1, 0, 0, 0, 1, 0, 0, 0, 1};
}

BalloonLayout LayOutBalloonView(const SpeakerType& record, int band, bool threeD, int width, int height) {
  BalloonLayout layout;
  const int right = width - kMargin;
  layout.heading = {{kAreaLeft, kHeadingTop, right, kHeadingBottom}, RecordHeading(record)};
  layout.bandHeader = {{kAreaLeft, kHeadingBottom, right, kBandHeaderBottom}, BandHeader(record, band)};
  if (threeD) {
    const int bottom = height - kMargin;
    layout.cells.push_back(LayOutCell(BalloonViewKind::k3D, {kAreaLeft, kCellsTop, right, bottom}, kMargin));
    layout.axisCross = {kAreaLeft + kAxisCrossCorner, bottom - kAxisCrossCorner};
    return layout;
  }
  const int legendTop = height - kMargin - LegendBottom(0);
  const int cellWidth = (right - kAreaLeft) / 2, cellHeight = (legendTop - kMargin / 2 - kCellsTop) / 2;
  for (int i = 0; i < 4; ++i) {
    const int left = kAreaLeft + (i % 2) * cellWidth, top = kCellsTop + (i / 2) * cellHeight;
    // All four to one scale, the 3D view too.
    layout.cells.push_back(LayOutCell(BalloonViewKind(i), {left, top, left + cellWidth, top + cellHeight}, kLabelRoom));
  }
  layout.legend = LayOutLegend(kRingLegend, {kAreaLeft, legendTop});
  return layout;
}
