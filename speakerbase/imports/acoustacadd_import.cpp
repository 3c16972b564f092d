#include "speakerbase/imports/acoustacadd_import.h"

#include <algorithm>
#include <cmath>

#include "design/model/balloon_codes.h"
#include "design/model/project_file.h"
#include "framework/core/byte_codec.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/text_encoding.h"

namespace {

constexpr size_t kMakerLetter = 0;
constexpr size_t kComponentLetter = 22;
constexpr size_t kSensitivityCodes = 47;  // i16, 4 bytes apart
constexpr size_t kPowerCode = 80;
constexpr size_t kCouplingCode = 82;
constexpr size_t kDirectivityIndices = 88;  // f32 per band

constexpr int16_t kImpedanceOhms = 8;
constexpr uint16_t kGridCode = 1;
constexpr uint16_t kAllBands = 127;

constexpr std::array<int, 55> kStandardPowers = {
    1,    2,    4,    5,    8,    10,   12,   15,   16,   20,   25,   30,   32,   35,   40,   50,   60,   70,   75,
    80,   90,   100,  120,  125,  150,  200,  240,  250,  300,  400,  500,  600,  700,  800,  900,  1000, 1100, 1200,
    1300, 1400, 1500, 1600, 1700, 1800, 1900, 2000, 2100, 2200, 2300, 2400, 2500, 2600, 2800, 2900, 3000};

constexpr std::array<const char*, kBandCount> kBalloonExtensions = {".B01", ".B02", ".B05", ".B10",
                                                                    ".B20", ".B40", ".B80"};

const char* BrandOfMaker(char letter) {
  switch (letter) {
    case 'A': return "ALTEC LANSING";
    case 'D': return "DYNACORD";
    case 'E': return "ELECTRO-VOICE";
    case 'U': return "UNIVERSITY SOUND";
    default: return nullptr;
  }
}

bool IsCompleteLoudspeaker(char letter) {
  return letter == ' ' || letter == 'C' || letter == 'F' || letter == 'L' || letter == 'P';
}

// The sensitivity that a code stands for: code / 500 + 130 dB, 0 for code 0.
double SensitivityOfCode(int16_t code) { return code == 0 ? 0.0 : code / 500.0 + 130.0; }

// The power ratio of a level in hundredths of a dB.
double LevelRatio(int level) { return std::pow(10.0, level / 1000.0); }

// One band's balloon from its 36 x 72 levels, normalised to their largest
// level, which raises the band's sensitivity.
void BuildAcoustaCaddBand(std::vector<int>& levels, SpeakerType& record, int band) {
  const auto largest = std::max_element(levels.begin(), levels.end());  // the first of equals
  const int peak = *largest;
  const bool peakInFirstRow = largest - levels.begin() < kBalloonColumns;
  if (peak > 0) {
    for (int& level : levels) level -= peak;
    record.SetSensitivity(band, float(record.Sensitivity(band) + peak / 100.0));
  }
  auto level = [&levels](int row, int column) { return levels[size_t(row) * kBalloonColumns + column]; };
  auto meanOfRow = [&](int row) {
    double sum = 0;
    for (int c = 0; c < kBalloonColumns; ++c) sum += LevelRatio(level(row, c));
    return PowerRatioToBalloonCode(sum / kBalloonColumns);
  };
  std::span<uint8_t, kBalloonBandSize> codes = record.BalloonBand(band);
  const uint8_t top = peakInFirstRow ? kBalloonCodeZeroDb : meanOfRow(0);
  const uint8_t bottom = meanOfRow(kAcoustaCaddLevelRows - 1);
  for (int c = 0; c < kBalloonColumns; ++c) {
    codes[size_t(c)] = top;
    for (int r = 1; r < kAcoustaCaddLevelRows; ++r)
      codes[size_t(r) * kBalloonColumns + c] =
          PowerRatioToBalloonCode((LevelRatio(level(r - 1, c)) + LevelRatio(level(r, c))) / 2.0);
    codes[size_t(kBalloonRows - 1) * kBalloonColumns + c] = bottom;
  }
}

}  // namespace

void ResetAcoustaCaddImport(AcoustaCaddImportState& state) { state = AcoustaCaddImportState(); }

int SnapToStandardPower(double watts) {
  const auto above = std::lower_bound(kStandardPowers.begin(), kStandardPowers.end(), watts,
                                      [](int standard, double value) { return standard < value; });
  if (above == kStandardPowers.end()) return kStandardPowers.back();
  if (above == kStandardPowers.begin()) return *above;
  const int below = *(above - 1);
  return watts - below < *above - watts ? below : *above;
}

bool PickSpkFile(AcoustaCaddImportState& state, SpeakerType& record, const std::string& path,
                 std::vector<ImportMessage>& messages) {
  FileReader reader(path);
  if (!reader.IsOpen()) return false;
  std::array<uint8_t, kSpkHeaderSize> header{};
  SpeakerType picked = record;
  if (reader.Bytes(header.data(), header.size())) {
    const std::string name = path.substr(FolderOfPath(path).size());
    picked.SetTypeName(Utf8ToCp1252(name.substr(0, name.size() < 4 ? 0 : name.size() - 4)));
    if (const char* brand = BrandOfMaker(char(header[kMakerLetter]))) picked.SetBrand(brand);
    if (ParseSpkHeader(state, header, picked, path)) {
      record = picked;
      return true;
    }
  }
  messages.push_back({kInvalidFileFormatMessage, ""});
  return false;
}

bool ParseSpkHeader(AcoustaCaddImportState& state, std::span<const uint8_t, kSpkHeaderSize> header, SpeakerType& record,
                    const std::string& path) {
  AcoustaCaddImportState next = state;
  SpeakerType parsed = record;
  next.pickPending = false;
  next.balloonPath = path;
  const char component = char(header[kComponentLetter]);
  const double coupling = LoadI16(&header[kCouplingCode]) * 0.01 - 129.0;
  const double power = std::trunc(std::pow(10.0, (LoadI16(&header[kPowerCode]) - 16255) / 422.0));
  parsed.SetGridCode(kGridCode);
  for (int band = 0; band < kBandCount; ++band) {
    const int16_t code = LoadI16(&header[kSensitivityCodes + 4 * size_t(band)]);
    const double directivityIndex = LoadF32(&header[kDirectivityIndices + 4 * size_t(band)]);
    parsed.SetImpedance(band, kImpedanceOhms);
    if (IsCompleteLoudspeaker(component)) {
      parsed.SetSensitivity(band, float(SensitivityOfCode(code)));
      if (!StoreDirectivityIndex(parsed, band, directivityIndex)) return false;
      parsed.SetComposition(kCompositionComplete);
    } else if (component == 'D' && !state.hornPending) {
      parsed.SetSensitivity(band, float(SensitivityOfCode(code)));
      parsed.SetDirectivityQ10(band, 10);
      parsed.SetComposition(kCompositionDriverOnly);
      next.driverPending = next.pickPending = true;
    } else if (component == 'D') {
      // The horn's Q already in the record; a stored Q below 0.1 counts as 0.1.
      const double hornQ = std::max(parsed.DirectivityQ10(band) / 10.0, 0.1);
      parsed.SetSensitivity(band,
                            code == 0 ? 0.0f : float(10.0 * std::log10(hornQ) + SensitivityOfCode(code) + coupling));
      parsed.SetComposition(kCompositionComplete);
      next.balloonPath = state.hornPath;
    } else if (component == 'H') {
      if (!StoreDirectivityIndex(parsed, band, directivityIndex)) return false;
      if (!state.driverPending) {
        parsed.SetSensitivity(band, 0.0f);
        parsed.SetComposition(kCompositionHornOnly);
        next.hornPending = next.pickPending = true;
        next.hornPath = path;
      } else {
        if (parsed.Sensitivity(band) != 0)
          parsed.SetSensitivity(band, float(coupling + directivityIndex + parsed.Sensitivity(band)));
        parsed.SetComposition(kCompositionComplete);
      }
    }
    StoreBandEfficiency(parsed, band);
    if (component != 'E' && component != 'H') parsed.SetRatedPower(band, float(SnapToStandardPower(power)));
  }
  if (!next.pickPending) next.driverPending = next.hornPending = false;
  state = next;
  record = parsed;
  return true;
}

bool AcoustaCaddRecordComplete(const SpeakerType& record, std::vector<ImportMessage>& messages) {
  switch (record.Composition()) {
    case kCompositionComplete: return true;
    case kCompositionHornOnly: messages.push_back({kHornWithoutDriverMessage, ""}); return false;
    case kCompositionDriverOnly: messages.push_back({kDriverWithoutHornMessage, ""}); return false;
    default: return false;
  }
}

bool ReadAcoustaCaddBalloon(ByteReader& reader, SpeakerType& record, int band) {
  std::vector<int> levels(size_t(kAcoustaCaddLevelRows) * kBalloonColumns);
  std::vector<uint8_t> bytes;
  if (!reader.Skip(kAcoustaCaddLevelsOffset) || !reader.Block(2 * levels.size(), bytes)) return false;
  for (size_t i = 0; i < levels.size(); ++i) levels[i] = LoadI16(&bytes[2 * i]);
  BuildAcoustaCaddBand(levels, record, band);
  return true;
}

SpeakerImport FinishAcoustaCaddImport(const AcoustaCaddImportState& state, const SpeakerType& record) {
  SpeakerImport result;
  SpeakerType finished = record;
  const std::string folder = FolderOfPath(state.balloonPath);
  const std::string name = state.balloonPath.substr(folder.size());
  const std::string foundFolder = FindFolderIgnoringCase(folder + "BALLOONS");
  const std::string balloons = foundFolder.empty() ? folder + "BALLOONS/" : foundFolder;
  std::string missing;  // the paths looked for in vain, one a line
  uint16_t found = 0;
  for (int band = 0; band < kBandCount; ++band) {
    const std::string wanted = balloons + name.substr(0, name.rfind('.')) + kBalloonExtensions[size_t(band)];
    const std::string path = foundFolder.empty() ? "" : FindFileIgnoringCase(wanted);
    FileReader reader(path);
    if (path.empty() || !reader.IsOpen()) {
      std::ranges::fill(finished.BalloonBand(band), kBalloonCodeZeroDb);
      missing += (missing.empty() ? "" : "\n") + wanted;
    } else if (ReadAcoustaCaddBalloon(reader, finished, band)) {
      found |= uint16_t(1u << band);
    } else {
      result.messages.push_back(FileMessage(kInvalidFileFormatMessage, path));
      return result;
    }
    StoreBalloonDirectivity(finished, band);
    StoreBandEfficiency(finished, band);
  }
  if (!missing.empty()) result.messages.push_back(FileMessage(kMissingBalloonsMessage, missing));
  for (int band = 0; band < kBandCount; ++band)
    if (HasImplausibleEfficiency(finished, band)) result.messages.push_back(BandEfficiencyWarning(band));
  finished.SetImportMask(0, kAllBands);
  finished.SetImportMask(1, found);
  finished.SetImportMask(2, kAllBands);
  finished.SetGridCode(kGridCode);
  finished.SetLayoutFlag(kCurrentSpeakerLayout);
  result.records.push_back(finished);
  return result;
}
