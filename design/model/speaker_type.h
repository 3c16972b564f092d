// The loudspeaker-type record: one 19160-byte image that is the same in
// memory, in project files, in undo snapshots and in speaker databases, with
// typed accessors at its stored offsets. On disk the record is sealed by the
// record scrambler below; two check values tell a damaged or foreign record
// from a good one.
//
// The two pointer slots of the stored layout (+188 balloon, +192 shape) never
// hold a native pointer: the balloon is always the record's own bytes from
// +512, and the link to the shape object lives beside the bytes in `shape`.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/byte_codec.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"

constexpr size_t kSpeakerTypeSize = 19160;
// A record of the older layout: the 200-byte head and 36 balloon rows a band.
constexpr size_t kOlderSpeakerTypeSize = 18344;
constexpr size_t kOlderSpeakerHeadSize = 200;

constexpr int kBandCount = 7;                                                // 125 Hz .. 8 kHz
constexpr int kBalloonRows = 37;                                             // 0 .. 180 degrees in 5-degree steps
constexpr int kBalloonColumns = 72;                                          // 0 .. 355 degrees in 5-degree steps
constexpr size_t kBalloonBandSize = size_t(kBalloonRows) * kBalloonColumns;  // 2664
constexpr uint8_t kBalloonCodeZeroDb = 225;

// Stored offsets.
constexpr size_t kTypeBrand = 0;  // char[21]
constexpr size_t kTypeBrandSize = 21;
constexpr size_t kTypeName = 21;     // char[9]
constexpr size_t kTypeNameSize = 9;  // a name may fill it without a NUL
constexpr size_t kTypeComment = 30;  // char[41]
constexpr size_t kTypeCommentSize = 41;
constexpr size_t kTypeLayoutFlag = 71;     // u8, never scrambled
constexpr size_t kTypeComposition = 72;    // i16
constexpr size_t kTypeBandSelection = 74;  // u16
constexpr size_t kTypeSensitivity = 76;    // f32[7], dB at 1 W / 1 m
constexpr size_t kTypeRatedPower = 104;    // f32[7], W
constexpr size_t kTypeGridCode = 132;      // u16, the measurement grid of an imported balloon
constexpr size_t kTypeImportMasks = 134;   // 3 x u16, band masks written by the imports
constexpr size_t kTypeDirectivity = 146;   // i16[7], Q x 10
constexpr size_t kTypeEfficiency = 160;    // i16[7], percent x 10
constexpr size_t kTypeImpedance = 174;     // i16[7], ohms
constexpr size_t kTypeShapeSlot = 192;     // pointer slot of the stored layout, never a pointer here
constexpr size_t kTypeShapeField = 196;    // i32 list position (projects) / u32 chain length (databases)
constexpr size_t kTypeOwnerBlock = 200;    // 312 bytes
constexpr size_t kTypeChecksum = 454;      // u32
constexpr size_t kTypeCheckWord = 458;     // u32
constexpr size_t kTypePassword = 470;      // char[20], also the scrambler's record key
constexpr size_t kTypePasswordSize = 20;
constexpr size_t kTypeBalloon = 512;  // u8[7][37][72]
constexpr size_t kTypeOwnerBlockSize = kTypeBalloon - kTypeOwnerBlock;

// The composition (+72): the speaker-database editor accepts header edits of
// complete loudspeakers only; its AcoustaCadd import pairs the other two.
enum SpeakerComposition : int16_t {
  kCompositionComplete = 1,
  kCompositionDriverOnly = 2,  // a driver without its horn
  kCompositionHornOnly = 3,    // a horn without its driver
};

// The current layout's value of the layout flag.
constexpr uint8_t kCurrentSpeakerLayout = 2;
// The text that records converted from the older layout carry in their owner
// block (project files) or owner password (older databases).
constexpr std::string_view kConvertedSpeakerStamp = "KORVANE V2.80  ";

struct SpeakerType {
  std::array<uint8_t, kSpeakerTypeSize> bytes{};
  // The type's shape: a layer-3 object of the model list, or the default
  // loudspeaker symbol; null until one is given.
  GraphicObject* shape = nullptr;

  std::span<uint8_t, kSpeakerTypeSize> Bytes() { return bytes; }
  std::span<const uint8_t, kSpeakerTypeSize> Bytes() const { return bytes; }

  std::string Brand() const { return Text(kTypeBrand, kTypeBrandSize); }
  std::string TypeName() const { return Text(kTypeName, kTypeNameSize); }
  std::string Comment() const { return Text(kTypeComment, kTypeCommentSize); }
  void SetBrand(std::string_view text) { SetText(kTypeBrand, kTypeBrandSize, text); }
  void SetTypeName(std::string_view text) { SetText(kTypeName, kTypeNameSize, text); }
  void SetComment(std::string_view text) { SetText(kTypeComment, kTypeCommentSize, text); }

  uint8_t LayoutFlag() const { return bytes[kTypeLayoutFlag]; }
  void SetLayoutFlag(uint8_t v) { bytes[kTypeLayoutFlag] = v; }
  int16_t Composition() const { return LoadI16(&bytes[kTypeComposition]); }
  void SetComposition(int16_t v) { StoreI16(&bytes[kTypeComposition], v); }
  uint16_t BandSelection() const { return LoadU16(&bytes[kTypeBandSelection]); }
  void SetBandSelection(uint16_t v) { StoreU16(&bytes[kTypeBandSelection], v); }

  // Per band, band 0 .. 6.
  float Sensitivity(int band) const { return LoadF32(&bytes[kTypeSensitivity + 4 * band]); }
  float RatedPower(int band) const { return LoadF32(&bytes[kTypeRatedPower + 4 * band]); }
  int16_t DirectivityQ10(int band) const { return LoadI16(&bytes[kTypeDirectivity + 2 * band]); }
  int16_t Efficiency(int band) const { return LoadI16(&bytes[kTypeEfficiency + 2 * band]); }
  int16_t Impedance(int band) const { return LoadI16(&bytes[kTypeImpedance + 2 * band]); }
  void SetSensitivity(int band, float v) { StoreF32(&bytes[kTypeSensitivity + 4 * band], v); }
  void SetRatedPower(int band, float v) { StoreF32(&bytes[kTypeRatedPower + 4 * band], v); }
  void SetDirectivityQ10(int band, int16_t v) { StoreI16(&bytes[kTypeDirectivity + 2 * band], v); }
  void SetEfficiency(int band, int16_t v) { StoreI16(&bytes[kTypeEfficiency + 2 * band], v); }
  void SetImpedance(int band, int16_t v) { StoreI16(&bytes[kTypeImpedance + 2 * band], v); }

  // +132 and the three masks at +134, +136, +138: written by the speaker
  // imports, shown on the data sheet, read by no calculation.
  uint16_t GridCode() const { return LoadU16(&bytes[kTypeGridCode]); }
  void SetGridCode(uint16_t v) { StoreU16(&bytes[kTypeGridCode], v); }
  uint16_t ImportMask(int index) const { return LoadU16(&bytes[kTypeImportMasks + 2 * index]); }
  void SetImportMask(int index, uint16_t v) { StoreU16(&bytes[kTypeImportMasks + 2 * index], v); }

  // +196: the shape's list position in a project file (-1 = default symbol),
  // the byte length of the shape chain behind the record in a database.
  int32_t ShapeField() const { return LoadI32(&bytes[kTypeShapeField]); }
  void SetShapeField(int32_t v) { StoreI32(&bytes[kTypeShapeField], v); }

  uint32_t Checksum() const { return LoadU32(&bytes[kTypeChecksum]); }
  uint32_t CheckWord() const { return LoadU32(&bytes[kTypeCheckWord]); }
  std::span<uint8_t, kTypePasswordSize> Password() {
    return std::span(bytes).subspan<kTypePassword, kTypePasswordSize>();
  }
  // +200 .. 511: the speaker-database editor's owner protection data (its
  // source texts, the seal's checksum and check word, the owner password and
  // the edit stamps).
  std::span<uint8_t, kTypeOwnerBlockSize> OwnerBlock() {
    return std::span(bytes).subspan<kTypeOwnerBlock, kTypeOwnerBlockSize>();
  }

  // The balloon: per band 37 rows of 72 one-byte codes, row-major.
  std::span<const uint8_t, kBalloonBandSize> BalloonBand(int band) const {
    return std::span<const uint8_t, kBalloonBandSize>(&bytes[kTypeBalloon + kBalloonBandSize * band], kBalloonBandSize);
  }
  std::span<uint8_t, kBalloonBandSize> BalloonBand(int band) {
    return std::span<uint8_t, kBalloonBandSize>(&bytes[kTypeBalloon + kBalloonBandSize * band], kBalloonBandSize);
  }
  uint8_t BalloonCode(int band, int row, int column) const {
    return bytes[kTypeBalloon + kBalloonBandSize * band + size_t(row) * kBalloonColumns + column];
  }

 private:
  std::string Text(size_t offset, size_t width) const { return ReadTextField(std::span(bytes).subspan(offset, width)); }
  void SetText(size_t offset, size_t width, std::string_view text) {
    WriteTextField(std::span(bytes).subspan(offset, width), text);
  }
};

// Records are heap blocks from CheckedAlloc, owned through SpeakerTypePtr.
struct SpeakerTypeDeleter {
  void operator()(SpeakerType* type) const;
};
using SpeakerTypePtr = std::unique_ptr<SpeakerType, SpeakerTypeDeleter>;
// A zero-filled record; null after the shared out-of-memory message.
SpeakerTypePtr AllocSpeakerType();

constexpr int kMaxSpeakerTypes = 500;

// The loudspeaker types of a project (kdn) or of a speaker database (ksb):
// entries 0 .. count-1 are set, the others null.
struct SpeakerTypeTable {
  int16_t count = 0;
  std::array<SpeakerTypePtr, kMaxSpeakerTypes> types;

  // The record at `index`, null when the index names none.
  SpeakerType* At(int index) const { return index >= 0 && index < count ? types[size_t(index)].get() : nullptr; }
};
// Frees every record; the count becomes 0.
void ClearSpeakerTypeTable(SpeakerTypeTable& table);

// ---- The record scrambler ----

// The 32-byte key table that every program seals and opens records with.
extern const std::array<uint8_t, 32> kSpeakerKeyTable;
// The mask of the check word: key-table bytes 4 to 7, little-endian.
uint32_t SpeakerCheckWordMask();

// Mixes `block` in place with the record key and the key table and returns
// the 32-bit sum of 255 - b over the block's plain bytes b. Sealing and
// opening are the same XOR; `sealing` tells whether the plain bytes are the
// ones before (sealing) or after (opening) the mix.
uint32_t ScrambleBlock(std::span<uint8_t> block, std::span<const uint8_t> recordKey, bool sealing);

// Scrambles the text, band, balloon and owner regions and stores the
// checksum (+454) and check word (+458). Bytes 71 and 454-461 stay plain.
void SealSpeakerRecord(std::span<uint8_t, kSpeakerTypeSize> record);
// 1 when the check word and the checksum match and the record is open; 0
// otherwise (the record is then partly opened).
int UnsealSpeakerRecord(std::span<uint8_t, kSpeakerTypeSize> record);
// Opens only the owner, text and band regions (bytes 0-511 suffice): 1 when
// the check word matches, 0 otherwise. The balloon stays scrambled and no
// checksum is compared.
int UnsealSpeakerHeader(std::span<uint8_t> record);

// Bytes 0-131 zero but for the layout flag, which becomes the current
// layout's; every Q x 10 word 1, the balloon flat at 0 dB (code 225); the
// other bytes stay as they are.
void ResetSpeakerType(SpeakerType& type);

// Builds a current-layout record from an older one: the 200-byte head as it
// stands, the owner block zero, each band's 36 stored rows (0 to 175 degrees)
// with the last repeated as the 180-degree row, layout flag 2. The caller
// stamps the record where its file asks for (kConvertedSpeakerStamp). The
// shape link is left alone.
void ConvertOlderSpeakerRecord(std::span<const uint8_t, kOlderSpeakerTypeSize> older, SpeakerType& type);

// ---- The shape link and its list position ----

// Stores in +196 the position of the type's shape in `list`, -1 when the
// shape is not in it (the default symbol never is).
void StoreShapePosition(SpeakerType& type, const ObjectList& list);
// Links the type to the object at the position in +196 when that object is a
// shape (on kShapeLayer); otherwise to the default symbol.
void LinkShapeAtPosition(SpeakerType& type, const ObjectList& list, GraphicObject* defaultSymbol);

// ---- The project file's speaker-type section ----

enum class SpeakerSectionResult {
  kOk,            // every record was good
  kRecordsReset,  // at least one record failed its check and was reset; the rest were read
  kBadFormat,     // a count out of 0..500 or a short section
  kNoMemory,      // a record could not be allocated (the message was shown)
};

// A record of the section that failed its check and was reset.
struct DamagedSpeakerType {
  int index = 0;     // its place in the table
  std::string name;  // the type name it held; empty when that cannot be read
};

// Reads the section: the i16 count, then the records, sealed current-layout
// ones opened, older-layout ones converted. A record that fails its check is
// reset, gets the default symbol and is listed in `damaged` with the type
// name it held when its header still opens (its owner block and check word
// are whole); a good one gets the shape named by its list position in
// `model`. On kOk and kRecordsReset the table holds exactly the records read
// and `damaged` the ones reset; otherwise both are left as they were.
SpeakerSectionResult ReadSpeakerTypeSection(ByteReader& reader, SpeakerTypeTable& table, const ObjectList& model,
                                            GraphicObject* defaultSymbol, std::vector<DamagedSpeakerType>& damaged);
// Writes the count and a sealed copy of every record with its shape's list
// position in +196 (the live record keeps that value too).
bool WriteSpeakerTypeSection(ByteWriter& writer, SpeakerTypeTable& table, const ObjectList& model);
