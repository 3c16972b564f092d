// The "Loudspeaker Listing" window (SPKRLIST_DLG) and the printed
// "Loudspeakers Summary": the loudspeakers of a design sorted by position
// in list 101 ("#", "LS-Type", "Placement"), the power per band of the one
// selected (201 .. 207, "%3.2f", 0 for one switched off), the totals of the
// switched-on ones (electrical 301 .. 307, acoustic 401 .. 407, "%5.2f"),
// and the buttons 102 "Change single speaker type", 103 "Change speaker
// type ", 105 "Print" and 104 "Quit" (also Escape and the close box).
//
// The selected loudspeaker is selected in the drawing as well. The window
// is modeless: while it is open its own loop takes the messages, waiting
// for each, so the drawing stays live. The type changes need a type picker
// from the program; a listing without one (the viewer's) hides their
// buttons and changes nothing. "Print" closes the window and then prints
// the summary with the totals it showed last.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "design/document/speaker_listing.h"
#include "design/model/design_tables.h"
#include "design/model/speaker_database_index.h"
#include "platform/types.h"

inline constexpr char kSpeakerListingDialog[] = "SPKRLIST_DLG";

struct SpeakerListingSetup {
  DesignTables design;  // the loudspeakers listed, their types, the faces their axes aim at
  platform::Window owner = platform::Window::kNone;
  // The type changes. `selectType` asks for a type of `database`,
  // suggesting the one named `current`: true with `chosen` its name. The
  // changes set `*modifiedMark` to 65535. Without a picker they are not
  // offered.
  std::function<bool(const std::string& current, std::string& chosen)> selectType;
  const SpeakerDatabaseIndex* database = nullptr;
  uint16_t* modifiedMark = nullptr;
  // The head of the printed summary.
  std::string programTitle;
  std::string fileName;
};

// Shows the listing until it is closed, then deselects every object and,
// when "Print" closed it, prints the summary (landscape, after the print
// dialog). 1 when the window ran; 0 when there is no loudspeaker or the
// window cannot be made ("Unable to display dialog").
int ShowSpeakerListing(const SpeakerListingSetup& setup);

// The summary of `listing` as a print job: the landscape print dialog, then
// the pages of LayOutSpeakerSummary with `totals`, aim points on the
// design's faces. Nothing is printed when the dialog or the job is
// cancelled.
void PrintSpeakerSummary(const std::vector<Loudspeaker>& listing, const SpeakerPowerTotals& totals,
                         const SpeakerListingSetup& setup);
