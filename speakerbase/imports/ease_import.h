// Imports of EASE loudspeaker data: every loudspeaker of an EASE 2 speaker
// base, and one EASE 3 loudspeaker with its balloon file.
//
// EASE 2 speaker base ("catalog.lsp"): records of 4096 bytes, as many as the
// file holds whole (a shorter tail is ignored). Fields of a record,
// little-endian, b = band 0 .. 6:
//   0           char[8]     type name (trailing blanks dropped)
//   10          char[20]    brand (trailing blanks dropped)
//   548 + 508b  u16         sensitivity x 10, dB at 1 W / 1 m
//   550 + 508b  u16         efficiency x 10, percent (not used: the import
//                           computes it from the sensitivity and Q)
//   552 + 508b  u16         rated power, W
//   556 + 508b  u8          impedance, ohms
//   572 + 508b  u8[19][19]  attenuation in quarter dB (dB = -value / 4): 19
//                           vertical angles 0 to 180 degrees in 10-degree
//                           steps, each with 19 horizontal points
// Horizontal point j of a vertical angle goes to two balloon columns, the
// half plane from 270 through 0 to 90 degrees and its mirror image through
// 180 degrees (kEase2Columns); the columns and rows between are the power
// means of their neighbours. Q comes from the balloon.
//
// EASE 3 loudspeaker (.spk): the type name at 30 (8 characters taken), the
// brand at 46 (20 characters); from 188, three blocks of 492 bytes per band
// of which the second holds f32 values: at 4 the directivity index (dB), 8
// the sensitivity (dB at 1 W / 1 m), 12 the efficiency, 16 the rated power
// (W), 20 the impedance (ohms).
// EASE 3 balloon file: the .spk path with its last three characters replaced
// by "LOB", found without regard to case; from 5394, three blocks of 5364
// bytes per band of which the second holds, after 36 bytes, 72 columns of 37
// i16 attenuations in hundredths of a dB, column after column (dB = -v / 100).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "design/model/speaker_type.h"
#include "framework/core/byte_codec.h"
#include "speakerbase/imports/speaker_import.h"

constexpr size_t kEase2RecordSize = 4096;
constexpr int kEase2Points = 19;  // vertical angles, and horizontal points of each
// The two balloon columns of each horizontal point j.
constexpr std::array<std::array<int, kEase2Points>, 2> kEase2Columns = {{
    {54, 56, 58, 60, 62, 64, 66, 68, 70, 0, 2, 4, 6, 8, 10, 12, 14, 16, 18},
    {54, 52, 50, 48, 46, 44, 42, 40, 38, 36, 34, 32, 30, 28, 26, 24, 22, 20, 18},
}};

// The last byte an EASE 3 import reads of each file, + 1.
constexpr size_t kEase3SpeakerSize = 9560;
constexpr size_t kEase3BalloonSize = 112674;

inline constexpr char kEase2TooManyRecordsMessage[] = "Insufficient memory for importing all records";

// The records of the catalog at `path`: nothing when it cannot be opened;
// otherwise as ReadEase2SpeakerBase.
SpeakerImport ImportEase2SpeakerBase(const std::string& path, int room);
// The records of a catalog, at most `room` of them (the records the table has
// room for); when it holds more, the messages begin with
// kEase2TooManyRecordsMessage. A band whose efficiency is above 50 percent
// adds "Check balloon and SPL at " and its band label under the caption
// "Efficiency exceeds 50% !"; its record is imported all the same, one whose
// efficiency is beyond any number with the largest stored one.
SpeakerImport ReadEase2SpeakerBase(ByteReader& reader, int room);

// One catalog record as a finished record, its warnings added to
// `messages`.
void ImportEase2Record(std::span<const uint8_t, kEase2RecordSize> block, SpeakerType& record,
                       std::vector<ImportMessage>& messages);
// The balloon of `record` from the attenuation tables of `block`.
void BuildEase2Balloon(std::span<const uint8_t, kEase2RecordSize> block, SpeakerType& record);
// The head of `record` from `block`: its first 512 bytes cleared, names, per
// band sensitivity, rated power and impedance.
void FillEase2Header(std::span<const uint8_t, kEase2RecordSize> block, SpeakerType& record);

// The loudspeaker of the .spk at `path` with its balloon file. A file that
// cannot be opened gives nothing; a missing balloon file gives "Can´t locate
// file" naming it; a file shorter than the fields read, or holding a value
// that is not finite, is refused with "Invalid file format !" (naming the
// balloon file when it is that one).
SpeakerImport ImportEase3Speaker(const std::string& path);
// `record` as a new record from a .spk file: names, kind 1, layout flag 2,
// grid code 1, per band sensitivity, rated power, impedance, Q x 10 from the
// directivity index and the efficiency x 100. False, leaving the record
// alone, when the file is short or a value is not finite.
bool ReadEase3Speaker(ByteReader& reader, SpeakerType& record);
// The balloon of `record` from a balloon file; false, leaving it alone, when
// the file is short.
bool ReadEase3Balloon(ByteReader& reader, SpeakerType& record);
