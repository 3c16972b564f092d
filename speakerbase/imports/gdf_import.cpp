#include "speakerbase/imports/gdf_import.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "design/model/balloon_codes.h"
#include "design/model/project_file.h"
#include "speakerbase/imports/import_text.h"

namespace {

constexpr std::array<std::string_view, kBandCount> kFrequencyPrefixes = {"125", "250", "500", "100",
                                                                         "200", "400", "800"};

bool IsFullSphere(std::string_view sphereSize) {
  return !sphereSize.empty() && (sphereSize.front() == 'F' || sphereSize.front() == 'f');
}

struct GdfBand {
  std::vector<float> values = std::vector<float>(kGdfTableSize, 0.0f);
  size_t count = 0;  // values read
  int thetaRows = 0;
  bool fullSphere = false;
};

// The parse of one file: the record's head is filled as the keywords come,
// the tables beside it.
struct GdfParse {
  SpeakerType record;
  std::array<GdfBand, kBandCount> bands;
  int band = -1;  // of the current section; -1 when none or not a known frequency
  bool inSection = false;
  bool fullSphere = false;  // the last "Sphere Size"
  // The one in force at the section's "Frequency (Hz)": the band's sphere,
  // whatever follows before its table.
  std::optional<bool> sectionFullSphere;
  bool phiStepRead = false;
  bool tableRead = false;
  const char* refusal = nullptr;

  bool Refuse(const char* message) {
    refusal = message;
    return false;
  }

  // A number value; false (refusing the file) when the number is not finite.
  bool Number(std::string_view value, std::optional<float>& number) {
    float v = 0;
    switch (ReadNumber(value, v)) {
      case NumberScan::kNumber: number = v; return true;
      case NumberScan::kNone: return true;
      case NumberScan::kRefused: return Refuse(kInvalidFileFormatMessage);
    }
    return true;
  }

  // A step that must be 5 degrees.
  bool Step(std::string_view value) {
    std::optional<float> step;
    if (!Number(value, step)) return false;
    return step && std::trunc(*step) == kGdfStep ? true : Refuse(kGdfStepMessage);
  }

  void HeaderLine(std::string_view line) {
    if (auto value = KeywordValue(line, "Device Name")) {
      record.SetTypeName(*value);
    } else if (auto value = KeywordValue(line, "Manufacturer")) {
      record.SetBrand(*value);
    } else if (auto value = KeywordValue(line, "File Notes:")) {
      record.SetComment(*value);
    } else if (KeywordValue(line, "# Frequency Band Section")) {
      inSection = true;
      band = -1;
      sectionFullSphere.reset();
    } else if (auto value = KeywordValue(line, "Sphere Size")) {
      fullSphere = IsFullSphere(*value);
    }
  }

  // A line of a band section; `next` is the line after it, moved past the
  // table that "Theta Inc" announces.
  bool SectionLine(const std::vector<std::string>& lines, size_t& next) {
    const std::string_view line = lines[next - 1];
    std::optional<float> number;
    if (KeywordValue(line, "# Frequency Band Section")) {
      band = -1;
      sectionFullSphere.reset();
    } else if (auto value = KeywordValue(line, "Sphere Size")) {
      fullSphere = IsFullSphere(*value);
    } else if (auto value = KeywordValue(line, "Frequency (Hz)")) {
      sectionFullSphere = fullSphere;
      const auto known = std::ranges::find(kFrequencyPrefixes, value->substr(0, 3));
      band = known == kFrequencyPrefixes.end() ? -1 : int(known - kFrequencyPrefixes.begin());
    } else if (auto value = KeywordValue(line, "Sensitivity (1W-1M)")) {
      if (!Number(*value, number)) return false;
      if (number && band >= 0) record.SetSensitivity(band, *number);
    } else if (auto value = KeywordValue(line, "Impedance")) {
      if (!Number(*value, number)) return false;
      int16_t impedance = 0;
      if (number && band >= 0 && ImpedanceToStored(*number, impedance)) record.SetImpedance(band, impedance);
    } else if (auto value = KeywordValue(line, "MaxPower (W)")) {
      if (!Number(*value, number)) return false;
      if (number && band >= 0) record.SetRatedPower(band, *number);
    } else if (auto value = KeywordValue(line, "Phi Inc")) {
      if (!Step(*value)) return false;
      phiStepRead = true;
    } else if (auto value = KeywordValue(line, "Theta Inc")) {
      if (!Step(*value)) return false;
      const bool full = sectionFullSphere.value_or(fullSphere);
      const int rows = full ? 360 / kGdfStep : 180 / kGdfStep + 1;
      std::vector<float> numbers;
      for (int row = 0; row < rows && next < lines.size(); ++row, ++next) {
        if (!IsNumberLine(lines[next])) continue;
        if (!ParseNumbers(lines[next], numbers)) return Refuse(kInvalidFileFormatMessage);
        if (band < 0) continue;
        GdfBand& table = bands[size_t(band)];
        if (numbers.size() > kGdfTableSize - table.count) return Refuse(kGdfTableFullMessage);
        std::ranges::copy(numbers, table.values.begin() + std::ptrdiff_t(table.count));
        table.count += numbers.size();
      }
      if (band >= 0) {
        bands[size_t(band)].thetaRows = rows;
        bands[size_t(band)].fullSphere = full;
        tableRead = true;
      }
      inSection = false;
    }
    return true;
  }

  bool Parse(const std::vector<std::string>& lines) {
    for (size_t next = 0; next < lines.size();) {
      const std::string& line = lines[next++];
      if (!inSection) {
        if (!IsNumberLine(line)) HeaderLine(line);
      } else if (!SectionLine(lines, next)) {
        return false;
      }
    }
    return tableRead ? true : Refuse(kInvalidFileFormatMessage);
  }
};

ImportMessage GdfEfficiencyWarning(int) { return {kEfficiencyWarning, ""}; }

// One band's table normalised to its largest level, which goes to the
// band's sensitivity, and mirrored to the full sphere.
void NormaliseGdfBand(GdfBand& table, SpeakerType& record, int band) {
  for (float& value : table.values) value = -value;
  const float largest = std::max(0.0f, *std::ranges::max_element(table.values));
  if (largest > 0) {
    record.SetSensitivity(band, record.Sensitivity(band) + largest);
    for (float& value : table.values) value -= largest;
  }
  auto row = [&table](int theta) { return table.values.begin() + std::ptrdiff_t(theta) * kGdfPhiValues; };
  if (!table.fullSphere)
    for (int i = 0; i + 2 < table.thetaRows; ++i)
      std::copy_n(row(table.thetaRows - 2 - i), kGdfPhiValues, row(table.thetaRows + i));
}

// The balloon from the seven tables, each 72 theta columns of 37 phi values.
void BuildBalloonFromTables(const std::array<GdfBand, kBandCount>& tables, SpeakerType& record) {
  for (int band = 0; band < kBandCount; ++band) {
    const GdfBand& table = tables[size_t(band)];
    std::span<uint8_t, kBalloonBandSize> codes = record.BalloonBand(band);
    for (int c = 0; c < kGdfThetaRows; ++c)
      for (int r = 0; r < kGdfPhiValues; ++r)
        codes[size_t(r) * kBalloonColumns + c] = DbToBalloonCode(table.values[size_t(c) * kGdfPhiValues + r]);
  }
}

// The measurement grid from the sphere of the last band with a sensitivity:
// 37 phi rows (a phi step of 5 degrees) on a full sphere 1, on a half sphere
// 3; 0 when no phi step was given or no band has a sensitivity.
uint16_t GdfGridCode(const GdfParse& parse) {
  for (int band = kBandCount - 1; band >= 0; --band)
    if (parse.record.Sensitivity(band) != 0)
      return !parse.phiStepRead ? 0 : parse.bands[size_t(band)].fullSphere ? 1 : 3;
  return 0;
}

}  // namespace

SpeakerImport ImportGdfLines(const std::vector<std::string>& lines) {
  SpeakerImport result;
  GdfParse parse;
  if (!parse.Parse(lines)) {
    result.messages.push_back({parse.refusal, ""});
    return result;
  }
  SpeakerType& record = parse.record;
  for (int band = 0; band < kBandCount; ++band) NormaliseGdfBand(parse.bands[size_t(band)], record, band);
  BuildBalloonFromTables(parse.bands, record);
  FinishImportedRecord(record, GdfGridCode(parse), GdfEfficiencyWarning, result.messages);
  result.records.push_back(record);
  return result;
}

SpeakerImport ImportGdfSpeaker(const std::string& path) { return ImportTextFile(path, ImportGdfLines); }
