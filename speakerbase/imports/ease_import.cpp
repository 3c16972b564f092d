#include "speakerbase/imports/ease_import.h"

#include <algorithm>
#include <cmath>

#include "design/model/balloon_codes.h"
#include "design/model/project_file.h"
#include "design/model/speaker_database.h"
#include "framework/core/byte_codec.h"
#include "framework/core/file_dialog_state.h"

namespace {

constexpr size_t kTypeNameChars = 8;  // of both formats
constexpr size_t kBrandChars = 20;

// EASE 2 record.
constexpr size_t kEase2TypeName = 0;
constexpr size_t kEase2Brand = 10;
constexpr size_t kEase2BandStride = 508;
constexpr size_t kEase2Sensitivity = 548;  // u16, x 10
constexpr size_t kEase2RatedPower = 552;   // u16
constexpr size_t kEase2Impedance = 556;    // u8
constexpr size_t kEase2Attenuation = 572;  // u8[19][19], quarter dB
constexpr uint16_t kEase2GridCode = 2;

// EASE 3 loudspeaker and balloon files: of the three blocks per band the
// second is read.
constexpr size_t kEase3TypeName = 30;
constexpr size_t kEase3Brand = 46;
constexpr size_t kEase3Bands = 188;
constexpr size_t kEase3BandBlock = 492;
constexpr size_t kEase3DirectivityIndex = 4;  // f32 fields of the block
constexpr size_t kEase3Sensitivity = 8;
constexpr size_t kEase3Efficiency = 12;
constexpr size_t kEase3RatedPower = 16;
constexpr size_t kEase3Impedance = 20;
constexpr uint16_t kEase3GridCode = 1;
constexpr size_t kEase3Balloons = 5394;
constexpr size_t kEase3BalloonBlock = 5364;
constexpr size_t kEase3BalloonSkip = 36;

// `chars` bytes of a name from `bytes` into the record's field, which is
// cleared first, with the blanks at its end dropped.
void CopyName(std::span<const uint8_t> bytes, size_t offset, size_t chars, SpeakerType& record, size_t field,
              size_t fieldSize) {
  const std::span<uint8_t> target = std::span(record.bytes).subspan(field, fieldSize);
  std::ranges::fill(target, uint8_t(0));
  std::ranges::copy(bytes.subspan(offset, chars), target.begin());
  TrimTrailingSpaces(target);
}

// The second of the three blocks of `band` in a table of blocks from `start`.
size_t SecondBlock(size_t start, size_t blockSize, int band) { return start + (3 * size_t(band) + 1) * blockSize; }

}  // namespace

void BuildEase2Balloon(std::span<const uint8_t, kEase2RecordSize> block, SpeakerType& record) {
  for (int band = 0; band < kBandCount; ++band) {
    std::span<uint8_t, kBalloonBandSize> codes = record.BalloonBand(band);
    std::ranges::fill(codes, kBalloonCodeZeroDb);
    auto at = [&codes](int row, int column) -> uint8_t& { return codes[size_t(row) * kBalloonColumns + column]; };
    const uint8_t* attenuation = &block[kEase2Attenuation + kEase2BandStride * size_t(band)];
    for (int i = 0; i < kEase2Points; ++i) {
      const int row = 2 * i;
      for (int j = 0; j < kEase2Points; ++j) {
        const uint8_t code = DbToBalloonCode(-float(attenuation[i * kEase2Points + j]) / 4.0f);
        at(row, kEase2Columns[0][size_t(j)]) = code;
        at(row, kEase2Columns[1][size_t(j)]) = code;
      }
      for (int column = 1; column < kBalloonColumns - 1; column += 2)
        at(row, column) = AverageBalloonCodes(at(row, column - 1), at(row, column + 1));
      at(row, kBalloonColumns - 1) = AverageBalloonCodes(at(row, kBalloonColumns - 2), at(row, 0));
    }
    for (int row = 1; row < kBalloonRows - 1; row += 2)
      for (int column = 0; column < kBalloonColumns; ++column)
        at(row, column) = AverageBalloonCodes(at(row - 1, column), at(row + 1, column));
  }
}

void FillEase2Header(std::span<const uint8_t, kEase2RecordSize> block, SpeakerType& record) {
  std::fill_n(record.bytes.begin(), kTypeBalloon, uint8_t(0));
  CopyName(block, kEase2Brand, kBrandChars, record, kTypeBrand, kTypeBrandSize);
  CopyName(block, kEase2TypeName, kTypeNameChars, record, kTypeName, kTypeNameSize);
  for (int band = 0; band < kBandCount; ++band) {
    const size_t base = kEase2BandStride * size_t(band);
    record.SetSensitivity(band, float(LoadU16(&block[kEase2Sensitivity + base])) / 10.0f);
    record.SetRatedPower(band, float(LoadU16(&block[kEase2RatedPower + base])));
    record.SetImpedance(band, block[kEase2Impedance + base]);
  }
}

void ImportEase2Record(std::span<const uint8_t, kEase2RecordSize> block, SpeakerType& record,
                       std::vector<ImportMessage>& messages) {
  BuildEase2Balloon(block, record);
  FillEase2Header(block, record);
  FinishImportedRecord(record, kEase2GridCode, BandEfficiencyWarning, messages);
}

SpeakerImport ReadEase2SpeakerBase(ByteReader& reader, int room) {
  SpeakerImport result;
  const uint64_t count = reader.Remaining() / kEase2RecordSize;
  const uint64_t fitting = std::min(count, uint64_t(std::max(room, 0)));
  if (fitting < count) result.messages.push_back({kEase2TooManyRecordsMessage, ""});
  std::array<uint8_t, kEase2RecordSize> block{};
  for (uint64_t i = 0; i < fitting; ++i) {
    SpeakerType record;
    if (!reader.Bytes(block.data(), block.size())) return {{}, {{kInvalidFileFormatMessage, ""}}};
    ImportEase2Record(block, record, result.messages);
    result.records.push_back(record);
  }
  return result;
}

SpeakerImport ImportEase2SpeakerBase(const std::string& path, int room) {
  FileReader reader(path);
  return reader.IsOpen() ? ReadEase2SpeakerBase(reader, room) : SpeakerImport();
}

bool ReadEase3Speaker(ByteReader& reader, SpeakerType& record) {
  std::vector<uint8_t> bytes;
  if (!reader.Block(kEase3SpeakerSize, bytes)) return false;
  SpeakerType read;
  CopyName(bytes, kEase3TypeName, kTypeNameChars, read, kTypeName, kTypeNameSize);
  CopyName(bytes, kEase3Brand, kBrandChars, read, kTypeBrand, kTypeBrandSize);
  read.SetComposition(kCompositionComplete);
  read.SetLayoutFlag(kCurrentSpeakerLayout);
  read.SetGridCode(kEase3GridCode);
  for (int band = 0; band < kBandCount; ++band) {
    const uint8_t* block = &bytes[SecondBlock(kEase3Bands, kEase3BandBlock, band)];
    const float sensitivity = LoadF32(block + kEase3Sensitivity);
    const float power = LoadF32(block + kEase3RatedPower);
    int16_t impedance = 0, efficiency10 = 0;
    if (!std::isfinite(sensitivity) || !std::isfinite(power) ||
        !ImpedanceToStored(LoadF32(block + kEase3Impedance), impedance) ||
        !EfficiencyToStored(LoadF32(block + kEase3Efficiency) * 10.0, efficiency10) ||
        !StoreDirectivityIndex(read, band, LoadF32(block + kEase3DirectivityIndex)))
      return false;
    read.SetSensitivity(band, sensitivity);
    read.SetRatedPower(band, power);
    read.SetImpedance(band, impedance);
    read.SetEfficiency(band, efficiency10);
  }
  record = read;
  return true;
}

bool ReadEase3Balloon(ByteReader& reader, SpeakerType& record) {
  std::vector<uint8_t> bytes;
  if (!reader.Block(kEase3BalloonSize, bytes)) return false;
  for (int band = 0; band < kBandCount; ++band) {
    const uint8_t* values = &bytes[SecondBlock(kEase3Balloons, kEase3BalloonBlock, band) + kEase3BalloonSkip];
    std::span<uint8_t, kBalloonBandSize> codes = record.BalloonBand(band);
    for (int column = 0; column < kBalloonColumns; ++column)
      for (int row = 0; row < kBalloonRows; ++row)
        codes[size_t(row) * kBalloonColumns + column] =
            DbToBalloonCode(-float(LoadI16(&values[2 * (size_t(column) * kBalloonRows + row)])) / 100.0f);
  }
  return true;
}

SpeakerImport ImportEase3Speaker(const std::string& path) {
  SpeakerImport result;
  FileReader speaker(path);
  if (!speaker.IsOpen()) return result;
  SpeakerType record;
  if (!ReadEase3Speaker(speaker, record)) {
    result.messages.push_back({kInvalidFileFormatMessage, ""});
    return result;
  }
  const std::string balloonPath = path.substr(0, path.size() < 3 ? 0 : path.size() - 3) + "LOB";
  const std::string found = FindFileIgnoringCase(balloonPath);
  FileReader balloon(found);
  if (found.empty() || !balloon.IsOpen()) result.messages.push_back(FileMessage(kCantLocateFileMessage, balloonPath));
  else if (!ReadEase3Balloon(balloon, record)) result.messages.push_back(FileMessage(kInvalidFileFormatMessage, found));
  else result.records.push_back(record);
  return result;
}
