#include "design/acoustics/face_list.h"

#include <cmath>
#include <cstdio>

#include "design/model/materials.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"

namespace {

const char* AreaUnit() { return gUnitFlag ? " ft\xB2" : " m\xB2"; }

const AbsorberRecord& MaterialOf(const CalcFace& face, const MaterialTable& materials) {
  return materials.records[size_t(CalcFaceMaterialIndex(face, materials))];
}

void Add(AbsorptionSum& sum, const AbsorptionSum& face) {
  sum.area += face.area;
  for (size_t b = 0; b < sum.sabins.size(); ++b) sum.sabins[b] += face.sabins[b];
}

// The share of `area` in the room's area, "%3.1f" followed by "%".
std::string Share(double area, double roomArea) {
  return FormatNumber("%3.1f%%", roomArea > 0 ? area / roomArea * 100 : 0.0);
}

}  // namespace

float GetCalcFaceArea(const CalcFace& face) {
  return float(AreaInUserUnit(std::sqrt(2.0 * face.halfNormalLength2) * 0.5));
}

AbsorptionSum SumFaceAbsorption(const CalcFace& face, const MaterialTable& materials) {
  AbsorptionSum sum;
  sum.area = GetCalcFaceArea(face);
  const AbsorberRecord& material = MaterialOf(face, materials);
  for (int b = 0; b < kAbsorberBandCount; ++b) sum.sabins[size_t(b)] = sum.area * ClampedAbsorption(material, b);
  return sum;
}

AbsorptionSum SumMaterialAbsorption(const CalcFaceTable& table, const MaterialTable& materials, int material) {
  AbsorptionSum sum;
  for (const CalcFace& face : table.faces)
    if (CalcFaceMaterialIndex(face, materials) == material) Add(sum, SumFaceAbsorption(face, materials));
  return sum;
}

AbsorptionSum SumRoomAbsorption(const CalcFaceTable& table, const MaterialTable& materials) {
  AbsorptionSum sum;
  for (const CalcFace& face : table.faces) Add(sum, SumFaceAbsorption(face, materials));
  return sum;
}

std::string FormatFaceListRow(const CalcFaceTable& table, const MaterialTable& materials, int row) {
  const CalcFace& face = table.faces[size_t(row)];
  char text[64];
  std::snprintf(text, sizeof text, "%03d\t%7.1f\t", row + 1, double(GetCalcFaceArea(face)));
  return text + MaterialOf(face, materials).name;
}

FaceListFields FormatFaceListFields(const CalcFaceTable& table, const MaterialTable& materials, int row) {
  const CalcFace& face = table.faces[size_t(row)];
  const double roomArea = SumRoomAbsorption(table, materials).area;
  const AbsorptionSum own = SumFaceAbsorption(face, materials);
  const AbsorptionSum material = SumMaterialAbsorption(table, materials, CalcFaceMaterialIndex(face, materials));
  FaceListFields fields;
  for (size_t b = 0; b < own.sabins.size(); ++b) {
    fields.faceSabins[b] = FormatNumber("%3.1f", own.sabins[b]);
    fields.materialSabins[b] = FormatNumber("%7.1f", material.sabins[b]);
  }
  fields.faceArea = FormatNumber("%3.1f", own.area) + AreaUnit();
  fields.faceShare = Share(own.area, roomArea);
  fields.materialArea = FormatNumber("%3.1f", material.area) + AreaUnit();
  fields.materialShare = Share(material.area, roomArea);
  return fields;
}

FaceListTotals FormatFaceListTotals(const CalcFaceTable& table, const MaterialTable& materials) {
  const AbsorptionSum room = SumRoomAbsorption(table, materials);
  FaceListTotals totals;
  for (size_t b = 0; b < room.sabins.size(); ++b) totals.sabins[b] = FormatNumber("%5.1f", room.sabins[b]);
  totals.area = FormatNumber("%5.1f", room.area) + AreaUnit();
  return totals;
}

FaceMarkerLine ComputeFaceMarkerLine(const CalcFace& face) {
  Vec3d sum;
  int count = 0;
  WalkFaceVertices(*face.object, face.firstItem, [&](const ObjectVertex& v) {
    sum = sum + ToVec3d(v);
    ++count;
  });
  const Vec3d centroid = count ? sum * (1.0 / count) : ToVec3d(face.planePoint);
  const double scale = 0.5 * std::sqrt(double(face.halfNormalLength2));
  return {ToVertex(centroid), ToVertex(centroid - ToVec3d(face.normal) * (1.0 / scale))};
}

// ---- Material changes ----

namespace {

// Writes `material` into the material item of `face`; false without one.
bool SetCalcFaceMaterial(const CalcFace& face, int material) {
  ObjectItem* item = FaceMaterialItem(*face.object, face.firstItem);
  if (!item) return false;
  item->index = uint16_t(material);
  return true;
}

// The project index of database record `dbIndex`, or -1 after the message.
int AddFaceMaterial(int dbIndex) {
  const int material = AddMaterialFromDatabase(dbIndex);
  if (material < 0) ShowMessage(kCantLoadAbsorberMessage, kInsufficientMemoryCaption, kMsgOk);
  return material;
}

int FinishMaterialChange(const MaterialTable& before, int changed, uint16_t& modifiedMark) {
  if (changed > 0) modifiedMark = 1;
  FinishMaterialAssignment(before, changed > 0);
  return changed;
}

}  // namespace

int ChangeFaceMaterial(CalcFaceTable& table, int row, int dbIndex, uint16_t& modifiedMark) {
  const MaterialTable before = gMaterials.project;
  const int material = AddFaceMaterial(dbIndex);
  if (material < 0) return -1;
  return FinishMaterialChange(before, SetCalcFaceMaterial(table.faces[size_t(row)], material) ? 1 : 0, modifiedMark);
}

int ReplaceFaceMaterial(CalcFaceTable& table, int row, int dbIndex, uint16_t& modifiedMark) {
  const MaterialTable before = gMaterials.project;
  const int material = AddFaceMaterial(dbIndex);
  if (material < 0) return -1;
  const MaterialTable& materials = gMaterials.project;
  const int old = CalcFaceMaterialIndex(table.faces[size_t(row)], materials);
  // The old material of every face is read before any face is changed.
  std::vector<const CalcFace*> faces;
  for (const CalcFace& face : table.faces)
    if (CalcFaceMaterialIndex(face, materials) == old) faces.push_back(&face);
  int changed = 0;
  for (const CalcFace* face : faces) changed += SetCalcFaceMaterial(*face, material) ? 1 : 0;
  return FinishMaterialChange(before, changed, modifiedMark);
}

// ---- The printed summary ----

namespace {

constexpr int kLeftMargin = 100;  // pixels; columns are counted in character widths from here

// A column in character widths from the left margin.
struct SummaryColumn {
  int left, right;
  const char* head;
  ListingAlign align;
};
constexpr int kBoxColumn = 4, kBandColumn = 10, kColumnCount = 17;
constexpr SummaryColumn kColumns[kColumnCount] = {
    {-2, 2, "No.", ListingAlign::kRight},       {3, 10, "Area", ListingAlign::kRight},
    {11, 16, "Share", ListingAlign::kRight},    {18, 40, "Material", ListingAlign::kLeft},
    {41, 47, "Xmin", ListingAlign::kRight},     {48, 54, "Xmax", ListingAlign::kRight},
    {55, 61, "Ymin", ListingAlign::kRight},     {62, 68, "Ymax", ListingAlign::kRight},
    {69, 75, "Zmin", ListingAlign::kRight},     {76, 82, "Zmax", ListingAlign::kRight},
    {83, 89, "Sa 125", ListingAlign::kRight},   {90, 96, "Sa 250", ListingAlign::kRight},
    {97, 103, "Sa 500", ListingAlign::kRight},  {104, 110, "Sa 1 k", ListingAlign::kRight},
    {111, 117, "Sa 2 k", ListingAlign::kRight}, {118, 124, "Sa 4 k", ListingAlign::kRight},
    {125, 131, "Sa 8 k", ListingAlign::kRight}};
static_assert(kColumnCount == kBandColumn + kAbsorberBandCount);
constexpr int kAreaColumn = 1, kMaterialColumn = 3;

class FaceSummaryBuilder {
 public:
  explicit FaceSummaryBuilder(ListingSizes sizes) : a_(sizes.rowHeight), b_(sizes.columnUnit) {}

  void Header(ListingPage& page, int number) const {
    page.texts.push_back({X(kColumns[0].left), 0, X(kColumns[kColumnCount - 1].right), a_ + 2,
                          "Room Faces Summary - Page " + std::to_string(number), ListingAlign::kLeft});
    for (int c = 0; c < kColumnCount; ++c) Cell(page, 2 * a_, c, kColumns[c].head);
    Rule(page, 2 * a_ - a_ / 2);
    Rule(page, 3 * a_ + 1 + a_ / 2);
  }

  int FirstRow() const { return 4 * a_; }
  int NextRow(int y) const { return y + a_ + 4; }

  void Face(ListingPage& page, int y, int number, const CalcFace& face, const MaterialTable& materials,
            double roomArea) const {
    const AbsorptionSum own = SumFaceAbsorption(face, materials);
    char text[16];
    std::snprintf(text, sizeof text, "%3d", number);
    Cell(page, y, 0, text);
    Cell(page, y, kAreaColumn, FormatNumber("%7.1f", own.area));
    Cell(page, y, 2, FormatNumber("%3.1f", roomArea > 0 ? own.area / roomArea * 100 : 0.0));
    Cell(page, y, kMaterialColumn, MaterialOf(face, materials).name);
    for (int axis = 0; axis < 3; ++axis) {
      Cell(page, y, kBoxColumn + 2 * axis, FormatNumber("%4.1f", LengthInUserUnit(face.box.min[axis])));
      Cell(page, y, kBoxColumn + 2 * axis + 1, FormatNumber("%4.1f", LengthInUserUnit(face.box.max[axis])));
    }
    Sabins(page, y, own);
  }

  void Totals(ListingPage& page, int y, const AbsorptionSum& room) const {
    Rule(page, y - 2);
    Cell(page, y, kMaterialColumn, "Total");
    Cell(page, y, kAreaColumn, FormatNumber("%7.1f", room.area));
    y = NextRow(y);
    Cell(page, y, kMaterialColumn, "Sabine Total");
    Sabins(page, y, room);
  }

 private:
  int X(int column) const { return kLeftMargin + column * b_; }
  void Cell(ListingPage& page, int y, int column, std::string text) const {
    const SummaryColumn& c = kColumns[column];
    page.texts.push_back({X(c.left), y, X(c.right), y + a_, std::move(text), c.align});
  }
  void Sabins(ListingPage& page, int y, const AbsorptionSum& sum) const {
    for (int b = 0; b < kAbsorberBandCount; ++b) Cell(page, y, kBandColumn + b, FormatNumber("%4.1f", sum.sabins[b]));
  }
  void Rule(ListingPage& page, int y) const {
    page.lines.push_back({X(kColumns[0].left), y, X(kColumns[kColumnCount - 1].right), y});
  }

  int a_, b_;
};

}  // namespace

std::vector<ListingPage> LayOutFaceSummary(const CalcFaceTable& table, const MaterialTable& materials,
                                           int printableWidth) {
  const FaceSummaryBuilder builder(ListingSizesForWidth(printableWidth));
  const AbsorptionSum room = SumRoomAbsorption(table, materials);
  std::vector<ListingPage> pages;
  int y = 0;
  for (int i = 0; i < table.Count(); ++i) {
    if (i % kFaceSummaryRowsPerPage == 0) {
      pages.emplace_back();
      builder.Header(pages.back(), int(pages.size()));
      y = builder.FirstRow();
    }
    builder.Face(pages.back(), y, i + 1, table.faces[size_t(i)], materials, room.area);
    y = builder.NextRow(y);
  }
  if (!pages.empty()) builder.Totals(pages.back(), y, room);
  return pages;
}
