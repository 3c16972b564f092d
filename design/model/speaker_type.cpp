#include "design/model/speaker_type.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <type_traits>

#include "framework/model/layers.h"

void SpeakerTypeDeleter::operator()(SpeakerType* type) const { std::free(type); }

SpeakerTypePtr AllocSpeakerType() {
  static_assert(std::is_trivially_destructible_v<SpeakerType>);
  void* block = CheckedAlloc(sizeof(SpeakerType));
  if (!block) return nullptr;
  return SpeakerTypePtr(new (block) SpeakerType{});
}

void ClearSpeakerTypeTable(SpeakerTypeTable& table) {
  for (SpeakerTypePtr& type : table.types) type.reset();
  table.count = 0;
}

// ---- The record scrambler ----

const std::array<uint8_t, 32> kSpeakerKeyTable = {
    0x5a, 0x3c, 0x91, 0xe0, 0x7b, 0xd2, 0x4f, 0x6a, 0x88, 0xc1, 0x03, 0x9e, 0x2d, 0x7b, 0x45, 0xf0,
    0xc6, 0xa9, 0x1e, 0x3d, 0x08, 0xb7, 0xf2, 0x5c, 0x4e, 0x9a, 0x61, 0xd3, 0xb7, 0x0c, 0x8f, 0x2e,
};

uint32_t SpeakerCheckWordMask() { return LoadU32(&kSpeakerKeyTable[4]); }

uint32_t ScrambleBlock(std::span<uint8_t> block, std::span<const uint8_t> recordKey, bool sealing) {
  uint32_t checksum = 0;
  size_t j = 0;  // record-key index
  size_t k = 0;  // key-table index: 7 x i mod 32 for byte i
  for (uint8_t& byte : block) {
    const uint8_t mask = uint8_t((recordKey.empty() ? 0 : recordKey[j]) ^ kSpeakerKeyTable[k]);
    if (sealing) checksum += 255u - byte;
    byte ^= mask;
    if (!sealing) checksum += 255u - byte;
    if (++j >= recordKey.size()) j = 0;
    k += 7;
    if (k >= 32) k -= 32;
  }
  return checksum;
}

namespace {

// The scrambled regions (offsets inclusive): text 0-70, band 72-453, owner
// 462-511, balloon 512 to the end. The first three and the balloon take the
// owner password as key, the owner region the 50 bytes from +21.
constexpr size_t kBandRegion = 72, kBandRegionSize = 382;
constexpr size_t kTextRegionSize = 71;
constexpr size_t kOwnerRegion = 462, kOwnerRegionSize = 50;
constexpr size_t kOwnerKey = kTypeName, kOwnerKeySize = 50;
constexpr size_t kHeaderSize = kTypeBalloon;

struct Regions {
  std::span<uint8_t> text, band, owner, ownerKey, password;
};

Regions RegionsOf(std::span<uint8_t> record) {
  return {record.subspan(0, kTextRegionSize), record.subspan(kBandRegion, kBandRegionSize),
          record.subspan(kOwnerRegion, kOwnerRegionSize), record.subspan(kOwnerKey, kOwnerKeySize),
          record.subspan(kTypePassword, kTypePasswordSize)};
}

// Opens the owner region and compares its sum with the check word.
bool OpenOwnerRegion(std::span<uint8_t> record, uint32_t& sum) {
  const Regions r = RegionsOf(record);
  const uint32_t expected = LoadU32(&record[kTypeCheckWord]) ^ SpeakerCheckWordMask();
  sum = ScrambleBlock(r.owner, r.ownerKey, false);
  return sum == expected;
}

}  // namespace

void SealSpeakerRecord(std::span<uint8_t, kSpeakerTypeSize> record) {
  const Regions r = RegionsOf(record);
  uint32_t sum = ScrambleBlock(r.text, r.password, true);
  sum += ScrambleBlock(r.band, r.password, true);
  sum += ScrambleBlock(record.subspan(kTypeBalloon), r.password, true);
  const uint32_t ownerSum = ScrambleBlock(r.owner, r.ownerKey, true);
  sum += ownerSum;
  StoreU32(&record[kTypeChecksum], sum);
  StoreU32(&record[kTypeCheckWord], ownerSum ^ SpeakerCheckWordMask());
}

int UnsealSpeakerRecord(std::span<uint8_t, kSpeakerTypeSize> record) {
  uint32_t sum = 0;
  if (!OpenOwnerRegion(record, sum)) return 0;
  const Regions r = RegionsOf(record);
  sum += ScrambleBlock(record.subspan(kTypeBalloon), r.password, false);
  sum += ScrambleBlock(r.band, r.password, false);
  sum += ScrambleBlock(r.text, r.password, false);
  return sum == LoadU32(&record[kTypeChecksum]) ? 1 : 0;
}

int UnsealSpeakerHeader(std::span<uint8_t> record) {
  uint32_t sum = 0;
  if (record.size() < kHeaderSize || !OpenOwnerRegion(record, sum)) return 0;
  const Regions r = RegionsOf(record);
  ScrambleBlock(r.text, r.password, false);
  ScrambleBlock(r.band, r.password, false);
  return 1;
}

void ResetSpeakerType(SpeakerType& type) {
  constexpr size_t kResetHeadSize = 132;  // names, flags, sensitivity and rated power
  std::fill_n(type.bytes.begin(), kResetHeadSize, uint8_t(0));
  // The record stays in the current layout: with any other flag its next
  // save would be read back as an older, shorter record.
  type.SetLayoutFlag(kCurrentSpeakerLayout);
  for (int band = 0; band < kBandCount; ++band) type.SetDirectivityQ10(band, 1);
  std::fill(type.bytes.begin() + kTypeBalloon, type.bytes.end(), kBalloonCodeZeroDb);
}

void ConvertOlderSpeakerRecord(std::span<const uint8_t, kOlderSpeakerTypeSize> older, SpeakerType& type) {
  constexpr size_t kStoredRows = kBalloonRows - 1;
  constexpr size_t kStoredBandSize = kStoredRows * kBalloonColumns;  // 2592
  std::fill_n(type.bytes.begin(), kTypeBalloon, uint8_t(0));
  std::copy_n(older.begin(), kOlderSpeakerHeadSize, type.bytes.begin());
  for (int band = 0; band < kBandCount; ++band) {
    std::span<uint8_t, kBalloonBandSize> rows = type.BalloonBand(band);
    std::copy_n(older.begin() + kOlderSpeakerHeadSize + kStoredBandSize * band, kStoredBandSize, rows.begin());
    std::copy_n(rows.begin() + kStoredBandSize - kBalloonColumns, kBalloonColumns, rows.begin() + kStoredBandSize);
  }
  type.SetLayoutFlag(kCurrentSpeakerLayout);
}

// ---- The shape link and its list position ----

void StoreShapePosition(SpeakerType& type, const ObjectList& list) {
  type.SetShapeField(GetObjectIndexInList(type.shape, list));
}

void LinkShapeAtPosition(SpeakerType& type, const ObjectList& list, GraphicObject* defaultSymbol) {
  GraphicObject* object = GetObjectByIndexInList(type.ShapeField(), list);
  type.shape = object && object->layer == kShapeLayer ? object : defaultSymbol;
}

// ---- The project file's speaker-type section ----

SpeakerSectionResult ReadSpeakerTypeSection(ByteReader& reader, SpeakerTypeTable& table, const ObjectList& model,
                                            GraphicObject* defaultSymbol, std::vector<DamagedSpeakerType>& damaged) {
  int16_t count = 0;
  if (!reader.I16(count) || count < 0 || count > kMaxSpeakerTypes ||
      uint64_t(count) * kOlderSpeakerTypeSize > reader.Remaining())
    return SpeakerSectionResult::kBadFormat;

  SpeakerTypeTable read;
  std::vector<DamagedSpeakerType> reset;
  std::array<uint8_t, kOlderSpeakerTypeSize> older;
  std::array<uint8_t, kHeaderSize> sealedHeader;
  for (int i = 0; i < count; ++i) {
    SpeakerTypePtr type = AllocSpeakerType();
    if (!type) return SpeakerSectionResult::kNoMemory;
    if (!reader.Bytes(older.data(), kOlderSpeakerHeadSize)) return SpeakerSectionResult::kBadFormat;
    bool good = true;
    if (older[kTypeLayoutFlag] == kCurrentSpeakerLayout) {
      std::copy_n(older.begin(), kOlderSpeakerHeadSize, type->bytes.begin());
      if (!reader.Bytes(type->bytes.data() + kOlderSpeakerHeadSize, kSpeakerTypeSize - kOlderSpeakerHeadSize))
        return SpeakerSectionResult::kBadFormat;
      std::copy_n(type->bytes.begin(), sealedHeader.size(), sealedHeader.begin());
      good = UnsealSpeakerRecord(type->Bytes()) == 1;
      if (!good) {
        // The name is only as good as the check word that opens it.
        const bool named = UnsealSpeakerHeader(sealedHeader) == 1;
        reset.push_back({i, named ? ReadTextField(std::span(sealedHeader).subspan(kTypeName, kTypeNameSize)) : ""});
        ResetSpeakerType(*type);
      }
    } else {
      // Older records are stored plain and carry no check values.
      if (!reader.Bytes(older.data() + kOlderSpeakerHeadSize, kOlderSpeakerTypeSize - kOlderSpeakerHeadSize))
        return SpeakerSectionResult::kBadFormat;
      ConvertOlderSpeakerRecord(older, *type);
      WriteTextField(type->Bytes().subspan(kTypeOwnerBlock, kConvertedSpeakerStamp.size() + 1), kConvertedSpeakerStamp);
    }
    // A record that failed its check holds garbage in +196: it must not pick
    // an arbitrary object as its shape.
    if (good) LinkShapeAtPosition(*type, model, defaultSymbol);
    else type->shape = defaultSymbol;
    read.types[size_t(i)] = std::move(type);
    read.count = int16_t(i + 1);
  }
  table = std::move(read);
  damaged = std::move(reset);
  return damaged.empty() ? SpeakerSectionResult::kOk : SpeakerSectionResult::kRecordsReset;
}

bool WriteSpeakerTypeSection(ByteWriter& writer, SpeakerTypeTable& table, const ObjectList& model) {
  writer.I16(table.count);
  std::array<uint8_t, kSpeakerTypeSize> sealed;
  for (int i = 0; i < table.count; ++i) {
    SpeakerType* type = table.At(i);
    if (!type) return false;
    StoreShapePosition(*type, model);
    sealed = type->bytes;
    SealSpeakerRecord(sealed);
    writer.Bytes(sealed.data(), sealed.size());
  }
  return writer.ok();
}
