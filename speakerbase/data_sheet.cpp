#include "speakerbase/data_sheet.h"

#include <cmath>
#include <span>

#include "design/model/balloon_codes.h"
#include "framework/core/byte_codec.h"
#include "framework/core/text_format.h"
#include "speakerbase/record_operations.h"

namespace {

constexpr int kSheetColumns = 12;  // cell widths across: a label of 5, values of 7
constexpr int kLabelColumns = 5;
constexpr int kSheetMargin = 16;
constexpr int kTextHeightInset = 5;
constexpr int kCharsPerCell = 6;

// The grid codes of +132 as the imports write them.
constexpr const char* kInputFormats[] = {"Full sphere,5\xB0 resolution", "Half sphere,10\xB0 resolution",
                                         "Half sphere,5\xB0 resolution", "Full sphere,10\xB0 resolution"};
constexpr const char* kFrequencies[kBandCount] = {"125", "250", "500", "1000", "2000", "4000", "8000"};

std::string OwnerText(const SpeakerType& record, size_t offset) {
  return ReadTextField(std::span(record.bytes).subspan(kTypeOwnerBlock + offset, kOwnerSourceTextSize));
}

std::string InputFormat(uint16_t code) {
  return code >= 1 && code <= std::size(kInputFormats) ? kInputFormats[code - 1] : "";
}

template <typename Value>
std::vector<std::string> PerBand(Value value) {
  std::vector<std::string> values;
  for (int band = 0; band < kBandCount; ++band) values.push_back(value(band));
  return values;
}

}  // namespace

std::vector<DataSheetRow> DataSheetRows(const SpeakerType& record) {
  const auto q = [&](int band) { return record.DirectivityQ10(band) / 10.0; };
  const auto hasQ = [&](int band) { return record.DirectivityQ10(band) > 0; };
  return {
      {0, "Manufacturer", {record.Brand()}},
      {1, "Type", {record.TypeName()}},
      {3, "Data source", {OwnerText(record, kOwnerSourceText)}},
      {4, "    dto.", {OwnerText(record, kOwnerSecondSourceText)}},
      {5, "Input format", {InputFormat(record.GridCode())}},
      {6, "Frequency [Hz]", PerBand([](int band) { return std::string(kFrequencies[band]); })},
      {7, "Max. Power(AES)[W]", PerBand([&](int band) { return FormatText("%4.0f", record.RatedPower(band)); })},
      {8, "SPL @1W @1m [dB]", PerBand([&](int band) {
         const double onAxis = AttenuationCodeToDb(record.BalloonCode(band, 0, 0));
         return FormatText("%3.1f", record.Sensitivity(band) + onAxis);
       })},
      {9, "Nominal impedance[Ohms]", PerBand([&](int band) { return FormatText("%3d", record.Impedance(band)); })},
      {10, "Directivity factor Q", PerBand([&](int band) { return FormatText("%2.1f", q(band)); })},
      {11, "Directivity index [dB]", PerBand([&](int band) {
         return hasQ(band) ? FormatText("%2.1f", 10 * std::log10(q(band))) : kDataSheetNoValue;
       })},
      {12, "Efficiency [%]", PerBand([&](int band) {
         return hasQ(band)
                    ? FormatText("%2.1f", EfficiencyPercent(record.Sensitivity(band), record.DirectivityQ10(band)))
                    : kDataSheetNoValue;
       })},
      {14, "Comment", {record.Comment()}},
  };
}

DataSheetLayout LayOutDataSheet(const SpeakerType& record, int width, int height) {
  DataSheetLayout layout;
  const int area = width - kViewButtonSize;
  const int w = (area - kSheetMargin) / kSheetColumns, h = (height - kSheetMargin) / kDataSheetRows;
  layout.cellWidth = w;
  layout.rowHeight = h;
  layout.textHeight = h - kTextHeightInset;
  layout.textWidth = w / kCharsPerCell;
  if (w < 1 || layout.textHeight < 1) return layout;
  const int top = (height - kDataSheetRows * h) / 2;
  const int left = kViewButtonSize + (area - kSheetColumns * w) / 2;
  layout.title = {{kViewButtonSize, top, width, top + h}, kDataSheetTitle};
  const auto cell = [&](int x0, int x1, int y, const std::string& text, ViewAlign align) {
    const ViewRect frame{x0, y, x1, y + h};
    const int inset = align == ViewAlign::kLeft ? layout.textWidth : 1;
    layout.cells.push_back({frame, {{x0 + inset, y + 1, x1 - 1, y + h}, text, align}});
  };
  for (const DataSheetRow& row : DataSheetRows(record)) {
    const int y = top + (row.row + 1) * h;
    const int values = left + kLabelColumns * w;
    cell(left, values, y, row.label, ViewAlign::kLeft);
    if (row.values.size() == 1) {
      cell(values, left + kSheetColumns * w, y, row.values[0], ViewAlign::kCentre);
      continue;
    }
    for (size_t band = 0; band < row.values.size(); ++band)
      cell(values + int(band) * w, values + int(band + 1) * w, y, row.values[band], ViewAlign::kCentre);
  }
  return layout;
}
