#include "design/document/speaker_listing.h"

#include <algorithm>
#include <cstdio>

#include "design/acoustics/level_map.h"
#include "design/document/loudspeaker_aim.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"

namespace {

// The acoustic power sums count in units of 1e-12 W (the intensity factors
// are relative to 1e-12 W/m^2 at 1 m); the listing shows watts.
constexpr double kAcousticPowerScale = 1e-12;

}  // namespace

int CompareSpeakerPosition(const Loudspeaker& a, const Loudspeaker& b) {
  for (size_t axis = 0; axis < 3; ++axis) {
    if (a.position[axis] < b.position[axis]) return -1;
    if (a.position[axis] > b.position[axis]) return 1;
  }
  return 0;
}

void SortSpeakerList(std::vector<Loudspeaker>& listing) {
  std::stable_sort(listing.begin(), listing.end(),
                   [](const Loudspeaker& a, const Loudspeaker& b) { return CompareSpeakerPosition(a, b) < 0; });
}

std::vector<Loudspeaker> BuildSpeakerListing(const ObjectList& model, const SpeakerTypeTable& types) {
  std::vector<Loudspeaker> listing;
  for (GraphicObject* object = model.first; object; object = object->next) {
    Loudspeaker speaker;
    if (!ReadLoudspeaker(object, speaker)) continue;
    if (const SpeakerType* type = types.At(speaker.typeIndex)) {
      UpdateSpeakerBandPower(speaker, *type);
      WriteLoudspeaker(speaker, object);
    }
    listing.push_back(std::move(speaker));
  }
  SortSpeakerList(listing);
  return listing;
}

SpeakerPowerTotals ComputeSpeakerPowerTotals(std::vector<Loudspeaker>& listing, const DesignTables& design) {
  SpeakerPowerTotals totals;
  for (Loudspeaker& speaker : listing) {
    if (!speaker.IsOn()) continue;
    if (const SpeakerType* type = design.types->At(speaker.typeIndex)) {
      UpdateSpeakerBandPower(speaker, *type);
      WriteLoudspeaker(speaker, speaker.object);
    }
    for (size_t b = 0; b < kBandCount; ++b) totals.electrical[b] += speaker.power[b];
  }
  const BandValues acoustic = SumSpeakerAcousticPower(design);
  for (size_t b = 0; b < kBandCount; ++b) totals.acoustic[b] = acoustic[b] * kAcousticPowerScale;
  return totals;
}

std::string FormatSpeakerListRow(const std::vector<Loudspeaker>& listing, int row, const SpeakerTypeTable& types) {
  const Loudspeaker& speaker = listing[size_t(row)];
  const SpeakerType* type = types.At(speaker.typeIndex);
  char text[128];
  std::snprintf(text, sizeof text, "%03d\t", row + 1);
  std::string line = text + (type ? type->TypeName() : std::string()) + "\t";
  const char* format = gUnitFlag ? "%2.1f,%2.1f,%2.1f" : "%1.1f,%1.1f,%1.1f";
  std::snprintf(text, sizeof text, format, LengthInUserUnit(speaker.position[0]), LengthInUserUnit(speaker.position[1]),
                LengthInUserUnit(speaker.position[2]));
  return line + text;
}

std::array<std::string, kBandCount> FormatSpeakerBandPowers(const Loudspeaker& speaker) {
  std::array<std::string, kBandCount> texts;
  for (size_t b = 0; b < kBandCount; ++b) texts[b] = FormatNumber("%3.2f", speaker.IsOn() ? speaker.power[b] : 0.0);
  return texts;
}

std::array<std::string, kBandCount> FormatSpeakerPowerTotals(const BandTotals& totals) {
  std::array<std::string, kBandCount> texts;
  for (size_t b = 0; b < kBandCount; ++b) texts[b] = FormatNumber("%5.2f", totals[b]);
  return texts;
}

// ---- Type changes ----

namespace {

// Gives the loudspeaker the type named `name` and rebuilds its symbol; false
// when the type cannot be used (after UseSpeakerType's message).
bool ChangeSpeakerType(Loudspeaker& speaker, const SpeakerDatabaseIndex& index, std::string_view name) {
  if (!UseSpeakerType(index, name, speaker, gSpeakerModel.types, gObjects.model, gSpeakerModel.defaultSymbol))
    return false;
  const SpeakerType& type = *gSpeakerModel.types.At(speaker.typeIndex);
  speaker.nominalPower = 0;
  for (int b = 0; b < kBandCount; ++b) {
    speaker.nominalPower = std::max(speaker.nominalPower, type.RatedPower(b));
    speaker.eqGain[size_t(b)] = kChangedTypeGain;
  }
  UpdateSpeakerBandPower(speaker, type);
  // Stored first: a rebuild without a shape at hand leaves the block alone.
  WriteLoudspeaker(speaker, speaker.object);
  BuildSpeakerSymbol(speaker, speaker.object, false);
  return true;
}

void DropFreedEntries(std::vector<Loudspeaker>& listing) {
  std::erase_if(listing, [](const Loudspeaker& speaker) { return speaker.object == nullptr; });
}

}  // namespace

int ChangeListedSpeakerType(std::vector<Loudspeaker>& listing, int row, const SpeakerDatabaseIndex& index,
                            std::string_view name, uint16_t& modifiedMark) {
  if (!ChangeSpeakerType(listing[size_t(row)], index, name)) {
    ShowMessage(kCantLoadSpeakerMessage, nullptr, kMsgOk);
    return 0;
  }
  modifiedMark = 65535;
  DropFreedEntries(listing);
  return 1;
}

int ChangeListedSpeakersOfType(std::vector<Loudspeaker>& listing, int row, const SpeakerDatabaseIndex& index,
                               std::string_view name, uint16_t& modifiedMark) {
  const int16_t oldType = listing[size_t(row)].typeIndex;
  int changed = 0;
  for (Loudspeaker& speaker : listing) {
    if (speaker.typeIndex != oldType) continue;
    // Once the type could not be used it cannot be for the others either.
    if (!ChangeSpeakerType(speaker, index, name)) break;
    ++changed;
  }
  if (changed > 0) modifiedMark = 65535;
  DropFreedEntries(listing);
  return changed;
}

// ---- The printed summary ----

namespace {

constexpr int kLeftMargin = 100;     // pixels; columns are counted in character widths from here
constexpr int kHeadBoxRight = 190;   // character widths: the right edge of the head box and the frames
constexpr int kHeadBoxLines = 6;     // line heights down to the head box
constexpr int kColumnHeadLines = 8;  // ... to the column heads
constexpr int kFirstRowLines = 10;   // ... to the first row
constexpr int kFramedRows = kSpeakerSummaryRowsPerPage + 1;
constexpr int kRowGap = 4;  // pixels between rows

// A column: its box width and its advance in character widths.
struct SummaryColumn {
  const char* head;
  int width, advance;
  ListingAlign align;
};
enum Column {
  kNumber,
  kBrand,
  kType,
  kName,
  kX,
  kHorizontal = kX + 3,
  kDelay = kHorizontal + 3,
  kAimX,
  kPower = kAimX + 3
};
constexpr int kColumnCount = kPower + kBandCount;
constexpr SummaryColumn kColumns[kColumnCount] = {
    {"No.", 3, 5, ListingAlign::kRight},    {"Brand", 20, 22, ListingAlign::kLeft},
    {"Type", 10, 12, ListingAlign::kLeft},  {"Name", 10, 12, ListingAlign::kLeft},
    {"X", 6, 7, ListingAlign::kRight},      {"Y", 6, 7, ListingAlign::kRight},
    {"Z", 6, 7, ListingAlign::kRight},      {"Hor.", 6, 7, ListingAlign::kRight},
    {"Vert.", 6, 7, ListingAlign::kRight},  {"Rot.", 6, 9, ListingAlign::kRight},
    {"T [ms]", 7, 9, ListingAlign::kRight}, {"Aim X", 6, 7, ListingAlign::kRight},
    {"Aim Y", 6, 7, ListingAlign::kRight},  {"Aim Z", 6, 9, ListingAlign::kRight},
    {"W 125", 7, 8, ListingAlign::kRight},  {"W 250", 7, 8, ListingAlign::kRight},
    {"W 500", 7, 8, ListingAlign::kRight},  {"W 1 k", 7, 8, ListingAlign::kRight},
    {"W 2 k", 7, 8, ListingAlign::kRight},  {"W 4 k", 7, 8, ListingAlign::kRight},
    {"W 8 k", 7, 8, ListingAlign::kRight}};

constexpr double kDegreesPerRadian = 180 / 3.141592654;

std::string Degrees(float radians) { return FormatNumber("%1.0f \xB0", radians * kDegreesPerRadian); }

class SpeakerSummaryBuilder {
 public:
  explicit SpeakerSummaryBuilder(ListingSizes sizes) : h_(sizes.rowHeight), w_(sizes.columnUnit) {
    int left = 0;
    for (int c = 0; c < kColumnCount; ++c) {
      left_[c] = left;
      left += kColumns[c].advance;
    }
  }

  // The page head: the head box with the title, file name and page, the
  // column heads and the frames.
  void PrintSpeakerSummaryHeader(ListingPage& page, int number, const std::string& title,
                                 const std::string& fileName) const {
    const int top = kHeadBoxLines * h_, bottom = (kHeadBoxLines + 1) * h_ + 2, right = kHeadBoxRight * w_;
    page.texts.push_back({kLeftMargin, top, right, bottom, title, ListingAlign::kLeft});
    page.texts.push_back({kLeftMargin, top, right, bottom, fileName, ListingAlign::kCentre});
    page.texts.push_back({kLeftMargin, top, right, bottom, "Loudspeakers Summary - Page " + std::to_string(number),
                          ListingAlign::kRight});
    const int heads = kColumnHeadLines * h_;
    for (int c = 0; c < kColumnCount; ++c) Cell(page, heads, c, kColumns[c].head);
    Frame(page, heads - 2, heads + h_ + 2);
    Frame(page, FirstRow() - 2, FirstRow() + kFramedRows * (h_ + kRowGap));
  }

  int FirstRow() const { return kFirstRowLines * h_; }
  int NextRow(int y) const { return y + h_ + kRowGap; }

  void Speaker(ListingPage& page, int y, int number, const Loudspeaker& speaker, const CalcFaceTable& faces,
               const SpeakerTypeTable& types) const {
    char text[16];
    std::snprintf(text, sizeof text, "%3d", number);
    Cell(page, y, kNumber, text);
    const SpeakerType* type = types.At(speaker.typeIndex);
    Cell(page, y, kBrand, type ? type->Brand() : "");
    Cell(page, y, kType, type ? type->TypeName() : "");
    Cell(page, y, kName, speaker.name);
    for (int axis = 0; axis < 3; ++axis)
      Cell(page, y, kX + axis, FormatNumber("%4.1f", LengthInUserUnit(speaker.position[size_t(axis)])));
    Cell(page, y, kHorizontal, Degrees(speaker.horizontal));
    Cell(page, y, kHorizontal + 1, Degrees(speaker.vertical));
    Cell(page, y, kHorizontal + 2, Degrees(speaker.rotation));
    Cell(page, y, kDelay, FormatNumber("%3.3f", speaker.delay));
    ObjectVertex aim;
    const bool aims = FindAimPoint(faces, speaker, aim) >= 0;
    for (int axis = 0; axis < 3; ++axis)
      Cell(page, y, kAimX + axis, aims ? FormatNumber("%4.1f", LengthInUserUnit(Coordinate(aim, axis))) : "---");
    for (int b = 0; b < kBandCount; ++b)
      Cell(page, y, kPower + b, FormatNumber("%4.1f", speaker.IsOn() ? speaker.power[size_t(b)] : 0.0));
  }

  void Totals(ListingPage& page, int y, const SpeakerPowerTotals& totals) const {
    Label(page, y, "Total speaker input power :");
    for (int b = 0; b < kBandCount; ++b) {
      const double total = totals.electrical[size_t(b)];
      Cell(page, y, kPower + b, FormatNumber(total < 10000 ? "%4.1f" : "%5.0f", total));
    }
    y = NextRow(y);
    Label(page, y, "Total acoustic power :");
    for (int b = 0; b < kBandCount; ++b) Cell(page, y, kPower + b, FormatNumber("%4.1f", totals.acoustic[size_t(b)]));
  }

 private:
  int X(int units) const { return kLeftMargin + units * w_; }
  void Cell(ListingPage& page, int y, int column, std::string text) const {
    const SummaryColumn& c = kColumns[column];
    page.texts.push_back({X(left_[column]), y, X(left_[column] + c.width), y + h_, std::move(text), c.align});
  }
  // A label that ends where the band powers begin.
  void Label(ListingPage& page, int y, const char* text) const {
    page.texts.push_back({X(left_[kBrand]), y, X(left_[kPower] - 1), y + h_, text, ListingAlign::kRight});
  }
  void Frame(ListingPage& page, int top, int bottom) const {
    const int right = kHeadBoxRight * w_;
    page.lines.push_back({kLeftMargin, top, right, top});
    page.lines.push_back({right, top, right, bottom});
    page.lines.push_back({right, bottom, kLeftMargin, bottom});
    page.lines.push_back({kLeftMargin, bottom, kLeftMargin, top});
  }

  int h_, w_;
  int left_[kColumnCount];
};

}  // namespace

ListingSizes SpeakerSummarySizes(int printableWidth) {
  if (printableWidth >= 6000) return {72, 32};
  if (printableWidth >= 3600) return {42, 18};
  if (printableWidth < 3000) return {18, 8};
  return {36, 16};
}

std::vector<ListingPage> LayOutSpeakerSummary(const std::vector<Loudspeaker>& listing, const SpeakerPowerTotals& totals,
                                              const CalcFaceTable& faces, const SpeakerTypeTable& types,
                                              const std::string& programTitle, const std::string& fileName,
                                              int printableWidth) {
  const SpeakerSummaryBuilder builder(SpeakerSummarySizes(printableWidth));
  std::vector<ListingPage> pages;
  int y = 0;
  for (size_t i = 0; i < listing.size(); ++i) {
    if (i % kSpeakerSummaryRowsPerPage == 0) {
      pages.emplace_back();
      builder.PrintSpeakerSummaryHeader(pages.back(), int(pages.size()), programTitle, fileName);
      y = builder.FirstRow();
    }
    builder.Speaker(pages.back(), y, int(i + 1), listing[i], faces, types);
    y = builder.NextRow(y);
  }
  if (!pages.empty()) builder.Totals(pages.back(), y, totals);
  return pages;
}
