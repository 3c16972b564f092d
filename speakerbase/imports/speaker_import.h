// What the speaker-data imports share: the result each hands to ksb's shell,
// and the figures every import derives from a finished record (Q x 10 of a
// band, its efficiency, and the import masks of the bands whose efficiency
// is plausible).
//
// An import reads files and fills records, nothing more: it shows no message
// and touches no database. The shell shows the messages in their order and
// appends the records with its record operation, which keeps the table's
// limit of 500 records and its message. A file that is refused gives no
// record and the message that says why; an import that merely warns (an
// efficiency above 50 percent) gives its record and the warning.
//
// Every record starts zeroed, as the imports clear the head of the working
// record, and gets layout flag 2 and component kind 1 when finished.
#pragma once

#include <string>
#include <vector>

#include "design/model/speaker_type.h"

struct ImportMessage {
  std::string text;     // code page 1252
  std::string caption;  // empty: none
  bool operator==(const ImportMessage&) const = default;
};

struct SpeakerImport {
  std::vector<SpeakerType> records;     // finished, in the order to append them
  std::vector<ImportMessage> messages;  // to show, in order
};

// The warning of the GDF and KNF imports (no caption); the EASE 2 and
// AcoustaCadd imports show it as the caption of BandEfficiencyWarning.
inline constexpr char kEfficiencyWarning[] = "Efficiency exceeds 50% !";

// `text`, a line break and the path (in code page 1252): the message of a
// file that is missing or refused, naming it.
ImportMessage FileMessage(const char* text, const std::string& path);

// The directivity factor Q (at least 1.0) of `band` of the record's balloon
// (DirectivityFactor).
double ComputeDirectivityFactor(const SpeakerType& record, int band);
// Q x 10 of `band` from the record's balloon.
void StoreBalloonDirectivity(SpeakerType& record, int band);
// Q x 10 of `band` from a directivity index in dB: 10^(DI / 10), stored at
// least 1. False, leaving it alone, when the index or Q is not finite.
bool StoreDirectivityIndex(SpeakerType& record, int band, double directivityIndexDb);
// Efficiency x 10 of `band` from its sensitivity and stored Q; 0 when the
// sensitivity is 0 or below, and at most 32767, also for one beyond any
// number (a sensitivity of thousands of dB).
void StoreBandEfficiency(SpeakerType& record, int band);
// True when `band` has a sensitivity above 0 and a stored efficiency above
// 50 percent, which no loudspeaker reaches: its balloon or its sensitivity
// is wrong.
bool HasImplausibleEfficiency(const SpeakerType& record, int band);
// The warning an import gives for a band whose efficiency is above 50 percent.
using EfficiencyWarning = ImportMessage (*)(int band);
// The warning that names the band: "Check balloon and SPL at " and its label
// ("125 Hz" .. "8 kHz") under kEfficiencyWarning.
ImportMessage BandEfficiencyWarning(int band);

// A record as the EASE 2, GDF and KNF imports finish it once its balloon and
// sensitivities are in place: Q x 10 of every band from the balloon, the
// efficiencies, `gridCode`, layout flag 2 and kind 1. A band with a
// sensitivity above 0 and an efficiency above 50 percent adds
// `warning`(band) to `messages`; one at most 50 percent writes its bit alone
// into the import masks at +134 and +138, so they hold the last such band.
void FinishImportedRecord(SpeakerType& record, uint16_t gridCode, EfficiencyWarning warning,
                          std::vector<ImportMessage>& messages);
