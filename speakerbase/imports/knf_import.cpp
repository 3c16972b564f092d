#include "speakerbase/imports/knf_import.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "design/model/balloon_codes.h"
#include "design/model/project_file.h"
#include "speakerbase/imports/import_text.h"

namespace {

constexpr std::array<int, kBandCount> kFrequencies = {125, 250, 500, 1000, 2000, 4000, 8000};

// Sphere codes of a band section.
constexpr int kFullSphere = 1;
constexpr int kHalfSphere = 2;
constexpr int kQuarterSphere = 4;

constexpr float kSmallestSetting = 0.001f;   // of U, Z and d
constexpr double kPowerMeanFloorDb = -30.0;  // the power mean floors at 0.001
constexpr int kTypeNameChars = 8;
constexpr int kBrandChars = 20;
constexpr int kCommentChars = 40;

struct KnfBand {
  std::vector<float> values = std::vector<float>(kBalloonBandSize, 0.0f);  // row r, column c at r x 72 + c
  int sphere = 0;                                                          // 0: not in the file
  int step = 0;
  float voltage = 0, impedance = 0, distance = 0;

  float& at(int row, int column) { return values[size_t(row) * kBalloonColumns + column]; }
};

double PowerMean(double a, double b) { return std::fmax(kPowerMeanFloorDb, PowerMeanOfLevels(a, b)); }

// The text of a value up to the first character below `end`, at most `chars`.
std::string_view TextUntil(std::string_view value, unsigned char end, size_t chars) {
  size_t n = 0;
  while (n < value.size() && n < chars && static_cast<unsigned char>(value[n]) >= end) ++n;
  return value.substr(0, n);
}

class KnfParse {
 public:
  explicit KnfParse(const std::vector<std::string>& lines) : lines_(lines) {}

  SpeakerType record;
  std::array<KnfBand, kBandCount> bands;
  const char* refusal = nullptr;

  bool Parse() {
    std::optional<std::string_view> value;
    if (!(value = Keyword("Device Class:"))) return Refuse(kKnfNoDeviceClass);
    if (value->empty() || std::string_view("LlMm").find(value->front()) == std::string_view::npos)
      return Refuse(kKnfUnknownDeviceClass);
    if (!(value = Keyword("Device Name:"))) return Refuse(kKnfNoDeviceName);
    record.SetTypeName(TextUntil(*value, '!', kTypeNameChars));
    if (!(value = Keyword("Manufacturer:"))) return Refuse(kKnfNoManufacturer);
    record.SetBrand(TextUntil(*value, '!', kBrandChars));
    if (!(value = Keyword("Remark:"))) return Refuse(kKnfNoComment);
    record.SetComment(TextUntil(*value, ' ', kCommentChars));
    bool anyBand = false;
    for (;;) {
      while (next_ < lines_.size() && TrimBlanks(lines_[next_]).empty()) ++next_;
      if (next_ == lines_.size() && anyBand) return true;
      if (!BandSection()) return false;
      anyBand = true;
    }
  }

 private:
  // The value of the next line when it begins with `keyword`; none when it
  // does not or the file has ended. The line is taken either way.
  std::optional<std::string_view> Keyword(std::string_view keyword) {
    if (next_ == lines_.size()) return std::nullopt;
    return KeywordValue(lines_[next_++], keyword);
  }

  // The number of the next line's value when that line begins with `keyword`
  // and its number is at least `lowest`.
  std::optional<float> Setting(std::string_view keyword, float lowest) {
    const std::optional<std::string_view> value = Keyword(keyword);
    float number = 0;
    if (!value || ReadNumber(*value, number) != NumberScan::kNumber || !(number >= lowest)) return std::nullopt;
    return number;
  }

  bool Refuse(const char* message) {
    refusal = message;
    return false;
  }

  bool BandSection() {
    const std::optional<std::string_view> frequency = Keyword("FREQUENCY:");
    if (!frequency) return Refuse(kKnfNoFrequency);
    float hertz = 0;
    const auto known = ReadNumber(*frequency, hertz) == NumberScan::kNumber ? std::ranges::find(kFrequencies, hertz)
                                                                            : kFrequencies.end();
    if (known == kFrequencies.end()) return Refuse(kKnfWrongFrequency);
    KnfBand& band = bands[size_t(known - kFrequencies.begin())];
    band = KnfBand();

    const std::optional<std::string_view> sphere = Keyword("SPHERE SIZE:");
    if (!sphere) return Refuse(kKnfNoScanArea);
    const char letter = sphere->empty() ? ' ' : sphere->front();
    band.sphere = letter == 'F' || letter == 'f'   ? kFullSphere
                  : letter == 'H' || letter == 'h' ? kHalfSphere
                                                   : kQuarterSphere;

    const std::optional<float> step = Setting("INCREMENT:", 0.0f);
    if (!step || (std::trunc(*step) != 5 && std::trunc(*step) != 10)) return Refuse(kKnfBadStep);
    band.step = int(*step);

    const std::optional<float> voltage = Setting("Ueff:", kSmallestSetting);
    if (!voltage) return Refuse(kKnfNoVoltage);
    const std::optional<float> impedance = Setting("IMPEDANCE:", kSmallestSetting);
    if (!impedance) return Refuse(kKnfNoImpedance);
    const std::optional<float> distance = Setting("DISTANCE:", kSmallestSetting);
    if (!distance) return Refuse(kKnfNoDistance);
    band.voltage = *voltage;
    band.impedance = *impedance;
    band.distance = *distance;
    return Table(band);
  }

  bool Table(KnfBand& band) {
    const int reach = band.sphere == kFullSphere ? 360 : band.sphere == kHalfSphere ? 180 : 90;
    const int lineCount = band.sphere == kFullSphere ? reach / band.step : reach / band.step + 1;
    const size_t numbersPerLine = size_t(180 / band.step + 1);
    std::vector<float> numbers;
    for (int line = 0; line < lineCount; ++line) {
      if (next_ == lines_.size()) return Refuse(kKnfWrongLineCount);
      const std::string& text = lines_[next_++];
      if (!IsNumberLine(text)) continue;
      if (!ParseNumbers(text, numbers)) return Refuse(kInvalidFileFormatMessage);
      if (numbers.size() != numbersPerLine) return Refuse(kKnfWrongColumnCount);
      if (band.step == 5) ParseKnfLine5(numbers, band, line);
      else ParseKnfLine10(numbers, band, 2 * line);
    }
    if (band.step == 10) InterpolateKnfColumns(band, lineCount == 19 ? kBalloonRows : kBalloonColumns);
    return true;
  }

  // The 37 numbers of a step-5 line: rows 0 to 36 of `column`.
  static void ParseKnfLine5(const std::vector<float>& numbers, KnfBand& band, int column) {
    for (int row = 0; row < kBalloonRows; ++row) band.at(row, column) = numbers[size_t(row)];
  }

  // The 19 numbers of a step-10 line: the even rows of `column`, each odd
  // row the power mean of its neighbours.
  static void ParseKnfLine10(const std::vector<float>& numbers, KnfBand& band, int column) {
    for (size_t i = 0; i + 1 < numbers.size(); ++i) {
      band.at(2 * int(i), column) = numbers[i];
      band.at(2 * int(i) + 1, column) = float(PowerMean(numbers[i], numbers[i + 1]));
    }
    band.at(kBalloonRows - 1, column) = numbers.back();
  }

  // The odd columns of a step-10 table, each the power mean of its
  // neighbours, over the first `columns` columns; over all 72, column 71 is
  // the mean of columns 70 and 0.
  static void InterpolateKnfColumns(KnfBand& band, int columns) {
    for (int row = 0; row < kBalloonRows; ++row) {
      for (int column = 1; column + 1 < columns; column += 2)
        band.at(row, column) = float(PowerMean(band.at(row, column - 1), band.at(row, column + 1)));
      if (columns == kBalloonColumns)
        band.at(row, kBalloonColumns - 1) = float(PowerMean(band.at(row, kBalloonColumns - 2), band.at(row, 0)));
    }
  }

  const std::vector<std::string>& lines_;
  size_t next_ = 0;
};

ImportMessage KnfEfficiencyWarning(int) { return {kEfficiencyWarning, ""}; }

// A band's sensitivity and impedance from its largest level, and its levels
// normalised and mirrored to the full sphere.
void NormaliseKnfBand(KnfBand& band, SpeakerType& record, int index) {
  const float largest = std::trunc(std::max(0.0f, *std::ranges::max_element(band.values)));
  if (largest > 0) {
    const double u = band.voltage, z = band.impedance, d = band.distance;
    record.SetSensitivity(index, float(largest - 10.0 * std::log10(u * u / (z * d * d))));
    int16_t impedance = 0;
    ImpedanceToStored(z, impedance);  // finite: read as a number
    record.SetImpedance(index, impedance);
    for (float& value : band.values) value -= largest;
  }
  // A quarter sphere holds columns 0 to 18 (0 to 90 degrees), a half sphere
  // 0 to 36: each is mirrored through its last column.
  for (int row = 0; row < kBalloonRows; ++row) {
    if (band.sphere == kQuarterSphere)
      for (int k = 0; k <= 17; ++k) band.at(row, 19 + k) = band.at(row, 17 - k);
    if (band.sphere == kQuarterSphere || band.sphere == kHalfSphere)
      for (int k = 0; k <= 34; ++k) band.at(row, 37 + k) = band.at(row, 35 - k);
  }
}

// The balloon from the seven tables of 37 rows of 72 columns.
void BuildBalloonFromRows(const std::array<KnfBand, kBandCount>& tables, SpeakerType& record) {
  for (int band = 0; band < kBandCount; ++band) {
    std::span<uint8_t, kBalloonBandSize> codes = record.BalloonBand(band);
    for (size_t i = 0; i < kBalloonBandSize; ++i) codes[i] = DbToBalloonCode(tables[size_t(band)].values[i]);
  }
}

// The grid code from the largest step and the widest sphere (smallest code)
// of the bands with a sensitivity.
uint16_t KnfGridCode(const std::array<KnfBand, kBandCount>& bands, const SpeakerType& record) {
  int step = 0, sphere = kQuarterSphere;
  for (int band = 0; band < kBandCount; ++band) {
    if (record.Sensitivity(band) == 0) continue;
    step = std::max(step, bands[size_t(band)].step);
    sphere = std::min(sphere, bands[size_t(band)].sphere);
  }
  if (step >= 10) return sphere == kFullSphere ? 4 : sphere == kHalfSphere ? 2 : 6;
  return sphere == kFullSphere ? 1 : sphere == kHalfSphere ? 3 : 5;
}

}  // namespace

SpeakerImport ImportKnfLines(const std::vector<std::string>& lines) {
  SpeakerImport result;
  KnfParse parse(lines);
  if (!parse.Parse()) {
    result.messages.push_back({parse.refusal, ""});
    return result;
  }
  SpeakerType& record = parse.record;
  for (int band = 0; band < kBandCount; ++band) NormaliseKnfBand(parse.bands[size_t(band)], record, band);
  BuildBalloonFromRows(parse.bands, record);
  FinishImportedRecord(record, KnfGridCode(parse.bands, record), KnfEfficiencyWarning, result.messages);
  result.records.push_back(record);
  return result;
}

SpeakerImport ImportKnfSpeaker(const std::string& path) { return ImportTextFile(path, ImportKnfLines); }
