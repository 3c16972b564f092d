// Import of AcoustaCadd loudspeaker data: a 256-byte header file (.SPK) and
// up to seven balloon files, one per octave band, in a folder "BALLOONS"
// beside it. ksb's dialog ("Import AcoustaCadd LS Data") drives it: each
// "Search" picks a .SPK file into the working record (PickSpkFile), "OK"
// accepts only a complete loudspeaker (AcoustaCaddRecordComplete), and the
// record is then finished from the balloon files (FinishAcoustaCaddImport).
//
// .SPK header, little-endian; only these fields are used (b = band 0 .. 6):
//   0        char  maker letter: 'A', 'D', 'E', 'U' name the brand, others leave it
//   22       char  component letter: ' ', 'C', 'F', 'L', 'P' a complete
//                  loudspeaker, 'D' a driver, 'H' a horn; others set no
//                  sensitivity, directivity or kind
//   47 + 4b  i16   sensitivity code: S = code / 500 + 130 dB, 0 for code 0
//   80       i16   power code: P = 10^((code - 16255) / 422) W, truncated and
//                  snapped to the standard values (not for 'E' and 'H')
//   82       i16   coupling code of a horn and driver: G = code x 0.01 - 129 dB
//   88 + 4b  f32   directivity index DI in dB: Q = 10^(DI / 10)
//
// Balloon file of band b: <folder of the .SPK>/BALLOONS/<.SPK name without
// its extension> + ".B01", ".B02", ".B05", ".B10", ".B20", ".B40", ".B80",
// every name found without regard to case. From byte 151: 2592 i16 levels in
// hundredths of a dB, 36 rows (0 to 175 degrees) of 72 columns, row-major.
// The levels are normalised to their largest (which raises the sensitivity)
// and each balloon row r of 1 .. 35 is the power mean of input rows r - 1 and
// r; rows 0 and 36 are the power means of the first and last input rows
// (row 0 is 0 dB when the largest level lies in the first input row).
//
// A horn and its driver are two .SPK files that make one record when both are
// picked in one run of the dialog. The pairing state lives between picks and
// is reset each time the dialog opens, so a horn left pending by a cancelled
// run never pairs with the next run's driver.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "design/model/speaker_type.h"
#include "framework/core/byte_codec.h"
#include "speakerbase/imports/speaker_import.h"

constexpr size_t kSpkHeaderSize = 256;
constexpr size_t kAcoustaCaddLevelsOffset = 151;
constexpr int kAcoustaCaddLevelRows = 36;
// 151 + 36 x 72 levels of 2 bytes.
constexpr size_t kAcoustaCaddBalloonFileSize = kAcoustaCaddLevelsOffset + 2 * kAcoustaCaddLevelRows * kBalloonColumns;

inline constexpr char kHornWithoutDriverMessage[] = "You selected a horn without driver. Please add driver";
inline constexpr char kDriverWithoutHornMessage[] = "You selected a driver without horn. Please add horn";
// Followed by the balloon files not found, one a line.
inline constexpr char kMissingBalloonsMessage[] = "Can\xB4t locate balloon file(s), bands taken as 0 dB";

// The pairing of a horn and its driver between two picks of one dialog run.
struct AcoustaCaddImportState {
  bool driverPending = false;
  bool hornPending = false;
  bool pickPending = false;  // the pick being parsed left a lone horn or driver
  std::string hornPath;      // the .SPK of the pending horn
  std::string balloonPath;   // the .SPK whose balloon files the record takes
};

// Clears the pairing: the dialog calls it each time it opens.
void ResetAcoustaCaddImport(AcoustaCaddImportState& state);

// The rated power P in W snapped to the nearest of the 55 standard values
// from 1 to 3000 W (a value midway goes up; above 3000 W gives 3000).
int SnapToStandardPower(double watts);

// "Search": reads the header of the .SPK at `path` into `record`: the type
// name (the file name without its last four characters), the brand of the
// maker letter, then ParseSpkHeader. True when the header was taken. A file
// that cannot be opened leaves everything as it was, silently; a file shorter
// than its header or with a value that cannot be stored is refused with
// "Invalid file format !".
bool PickSpkFile(AcoustaCaddImportState& state, SpeakerType& record, const std::string& path,
                 std::vector<ImportMessage>& messages);

// Fills the record from a header just read from `path`: per band the
// impedance 8 ohms, the sensitivity, Q x 10, the efficiency and (not for 'E'
// and 'H') the rated power; the grid code 1; the component kind, pairing a
// horn with a pending driver or a driver with a pending horn (whose balloon
// files the record then takes). False, changing neither record nor state,
// when a directivity index or an efficiency is not finite.
bool ParseSpkHeader(AcoustaCaddImportState& state, std::span<const uint8_t, kSpkHeaderSize> header, SpeakerType& record,
                    const std::string& path);

// "OK": true for a complete loudspeaker. A lone horn or driver adds the
// message naming the missing part and the dialog stays open; a record with
// no kind yet (nothing picked) stays open silently.
bool AcoustaCaddRecordComplete(const SpeakerType& record, std::vector<ImportMessage>& messages);

// The balloon of `band` from a balloon file (read from its start): its
// levels normalised, which raises the band's sensitivity, and converted.
// False, leaving the record alone, when the file is shorter than its levels.
bool ReadAcoustaCaddBalloon(ByteReader& reader, SpeakerType& record, int band);

// The accepted record finished from the balloon files of the state's .SPK:
// balloons (a missing file leaves its band at 0 dB and its bit of the
// found-mask at +136 clear), raised sensitivities, Q x 10 and efficiencies
// from the balloons, masks +134 and +138 at 127, grid code 1, layout flag 2.
// Missing balloon files are named in one kMissingBalloonsMessage; then each
// band with an efficiency above 50 percent (as a horn's sensitivity over a
// flat balloon gives) adds its BandEfficiencyWarning; the record is
// imported all the same. A balloon file shorter than its levels refuses the
// import with "Invalid file format !" naming it.
SpeakerImport FinishAcoustaCaddImport(const AcoustaCaddImportState& state, const SpeakerType& record);
