// The promise of the speaker-data imports, which make records and have no
// writer: the figures of every record they touch are well formed (no
// sensitivity or rated power that is not a finite number, no stored word
// outside its clamp; a balloon code is in range by its type), a finished
// record is marked as the imports finish one, and a refused file gives no
// record and exactly the one message that says why.
#pragma once

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "speakerbase/imports/speaker_import.h"

// The figures of every band: sensitivity and rated power finite, Q x 10 at
// least `leastQ10` (1 once stored, 0 in a band no header has set yet), the
// efficiency and the impedance not negative.
inline void CheckSpeakerFigures(const SpeakerType& record, int16_t leastQ10) {
  for (int band = 0; band < kBandCount; ++band) {
    FuzzRequire(std::isfinite(record.Sensitivity(band)), "a sensitivity is a finite number");
    FuzzRequire(std::isfinite(record.RatedPower(band)), "a rated power is a finite number");
    FuzzRequire(record.DirectivityQ10(band) >= leastQ10, "Q x 10 lies within its clamp");
    FuzzRequire(record.Efficiency(band) >= 0, "an efficiency lies within its clamp");
    FuzzRequire(record.Impedance(band) >= 0, "an impedance lies within its clamp");
  }
}

// A record an import hands over: its figures, Q stored in every band, the
// current layout and a complete loudspeaker.
inline void CheckImportedRecord(const SpeakerType& record) {
  CheckSpeakerFigures(record, 1);
  FuzzRequire(record.LayoutFlag() == kCurrentSpeakerLayout, "an imported record has the current layout");
  FuzzRequire(record.Composition() == kCompositionComplete, "an imported record is a complete loudspeaker");
}

// The import of one loudspeaker from a file: refused with one of
// `refusals` and nothing else, or its one record with at most one
// efficiency warning per band.
inline void CheckSingleImport(const SpeakerImport& import, std::initializer_list<const char*> refusals) {
  if (import.records.empty()) {
    FuzzRequire(import.messages.size() == 1 && import.messages[0].caption.empty() &&
                    std::ranges::any_of(refusals, [&](const char* text) { return import.messages[0].text == text; }),
                "a refused import says why, once");
    return;
  }
  FuzzRequire(import.records.size() == 1, "an import makes one record");
  CheckImportedRecord(import.records[0]);
  FuzzRequire(import.messages.size() <= size_t(kBandCount), "at most one warning a band");
  for (const ImportMessage& message : import.messages)
    FuzzRequire(message == ImportMessage{kEfficiencyWarning, ""}, "an accepted import only warns of efficiency");
}
