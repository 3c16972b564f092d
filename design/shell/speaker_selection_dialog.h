// The "Select Loudspeaker" dialog (DIALOG_12) over kdn's loaded speaker
// database (gDesignShell.speakerDatabase): list 101 "Speaker Name" holds the
// indexed type names in file order, read-only field 102 "Description" the
// comment of the highlighted one; OK 110 or a double click in the list
// chooses it, Cancel 111 and the close box choose nothing. The dialog opens
// on the index's current position, which a choice moves, so the next one
// starts there.
#pragma once

#include "design/model/speaker_type.h"

inline constexpr char kSelectSpeakerDialog[] = "DIALOG_12";

// With no database loaded, Select Database runs first; when there is still
// none, "Must load speaker database first" and 0. Otherwise a `suggested`
// entry (other than 0) becomes the current position and the dialog runs,
// owned by the active window: 1 when the user chose an entry, its index
// position in `chosen` and its header (bytes 0..511, opened; zero when the
// record could not be read) in `header`; 0 otherwise, both left alone.
int SelectSpeakerType(int suggested, int& chosen, SpeakerType& header);
