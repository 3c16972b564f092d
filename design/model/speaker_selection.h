// What the "Select Loudspeaker" dialog shows over the loaded speaker
// database's index: the indexed type names in index order, the highlighted
// one and its description (the record's comment), and the header of the
// highlighted record, from which the callers take the chosen type's band data
// (its rated powers and sensitivities). The dialog's list, its double click
// (a selection change, then OK), OK and Cancel call the functions below.
//
// The dialog starts at the index's current position, and its OK makes the
// chosen entry the current position, so the next selection starts there.
#pragma once

#include <string>
#include <vector>

#include "design/model/speaker_database_index.h"
#include "design/model/speaker_type.h"

inline constexpr char kMustLoadSpeakerDatabaseMessage[] = "Must load speaker database first";

struct SpeakerSelection {
  std::vector<std::string> names;  // the index's entries in order
  int selection = 0;               // the highlighted entry
  std::string description;         // its comment; empty when it cannot be read
  SpeakerType header;              // its bytes 0..511, opened; zero when they cannot be read
};

// Before the dialog, once the caller has offered to load a database: 0
// after "Must load speaker database first" when none is loaded. Otherwise
// 1, and a `suggested` entry of the index (other than 0) becomes the current
// position; a position outside the index becomes 0.
int BeginSpeakerSelection(SpeakerDatabaseIndex& index, int suggested);

// The dialog's opening: every name, the current position highlighted.
SpeakerSelection OpenSpeakerSelection(const SpeakerDatabaseIndex& index);
// A selection change in the list: `entry` is highlighted and its
// description and header are read. An entry outside the list changes nothing.
void ChangeSpeakerSelection(const SpeakerDatabaseIndex& index, SpeakerSelection& selection, int entry);
// OK (and a double click): the highlighted entry becomes the index's current
// position, which is returned; -1, choosing nothing, when the list is empty.
int ConfirmSpeakerSelection(SpeakerDatabaseIndex& index, const SpeakerSelection& selection);
