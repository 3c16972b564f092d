// The loudspeaker listing and the printed "Loudspeakers Summary": every
// placed loudspeaker of the model sorted by position, with its power per
// band, the per-band totals of the switched-on ones (electrical input and
// acoustic power), the point its axis aims at, and the type changes the
// listing offers, of one loudspeaker or of all of a type.
//
// The listing holds decoded copies of the loudspeakers' blocks, each linked
// to its object; whatever changes a loudspeaker here writes its block back.
// A type change rebuilds the symbol, which moves the object to the head of
// the model list but keeps it, unless memory runs out and the object is
// freed: such an entry leaves the listing. Positions and aim points are
// shown in the user's length unit (gUnitFlag). The window that shows the
// listing and the printing code take their texts and pages from here, so
// that the design program and the viewer show the same.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "design/acoustics/calc_faces.h"
#include "design/model/design_tables.h"
#include "design/model/loudspeaker.h"
#include "design/model/speaker_database_index.h"
#include "framework/core/printed_page.h"

constexpr int kSpeakerSummaryRowsPerPage = 44;
// The equaliser gain of every band of a loudspeaker whose type was changed.
constexpr float kChangedTypeGain = -9.0f;

inline constexpr char kCantLoadSpeakerMessage[] = "Can\xB4t load loudspeaker";

using BandTotals = std::array<double, kBandCount>;

// By x, then y, then z, each ascending: -1, 0 or 1.
int CompareSpeakerPosition(const Loudspeaker& a, const Loudspeaker& b);
// Sorts by CompareSpeakerPosition; loudspeakers at one position keep their
// order.
void SortSpeakerList(std::vector<Loudspeaker>& listing);

// Every loudspeaker of `model` in list order, linked to its object, with
// its band powers recomputed from its type in `types` (and written back),
// then sorted.
std::vector<Loudspeaker> BuildSpeakerListing(const ObjectList& model, const SpeakerTypeTable& types);

// The electrical input power (the band powers, recomputed) and the acoustic
// power (SumSpeakerAcousticPower x 1e-12) per band of the switched-on
// loudspeakers.
struct SpeakerPowerTotals {
  BandTotals electrical{};
  BandTotals acoustic{};
};
SpeakerPowerTotals ComputeSpeakerPowerTotals(std::vector<Loudspeaker>& listing, const DesignTables& design);

// The list's row `row`: "%03d\t" of row + 1, the type name, "\t", then the
// position "%1.1f,%1.1f,%1.1f" in metres or "%2.1f,%2.1f,%2.1f" in feet.
std::string FormatSpeakerListRow(const std::vector<Loudspeaker>& listing, int row, const SpeakerTypeTable& types);
// The band powers of one loudspeaker, "%3.2f", 0 for one switched off.
std::array<std::string, kBandCount> FormatSpeakerBandPowers(const Loudspeaker& speaker);
// Totals as the listing shows them, "%5.2f".
std::array<std::string, kBandCount> FormatSpeakerPowerTotals(const BandTotals& totals);

// ---- Type changes ----
// A loudspeaker that changes type takes the type named `name`
// (UseSpeakerType with `index`, into the project's types), an equaliser gain
// of kChangedTypeGain in every band, the largest rated power of the type as
// its nominal power, its band powers recomputed and its symbol rebuilt.
// `modifiedMark` becomes 65535 once a loudspeaker has changed. Entries
// whose object a rebuild freed leave the listing.

// The loudspeaker in row `row`: 1 when changed; 0 after UseSpeakerType's
// message and "Can´t load loudspeaker", with the loudspeaker as it was.
int ChangeListedSpeakerType(std::vector<Loudspeaker>& listing, int row, const SpeakerDatabaseIndex& index,
                            std::string_view name, uint16_t& modifiedMark);
// Every listed loudspeaker of the type of the one in row `row` (the type it
// had before any change): how many changed. A type that cannot be used
// shows UseSpeakerType's message once and changes none.
int ChangeListedSpeakersOfType(std::vector<Loudspeaker>& listing, int row, const SpeakerDatabaseIndex& index,
                               std::string_view name, uint16_t& modifiedMark);

// ---- The printed summary ----

// The line height and character width for a printable width w: at least
// 6000: 72 and 32; at least 3600: 42 and 18; below 3000: 18 and 8; else 36
// and 16.
ListingSizes SpeakerSummarySizes(int printableWidth);

// The landscape pages of the summary of `listing` (text sizes by
// SpeakerSummarySizes from `printableWidth`), 44 loudspeakers a page in
// listing order. Each page has its head: a box from (100, 6h) to
// (190 w, 7h + 2) with `programTitle` left, `fileName` centred and
// "Loudspeakers Summary - Page n" right; two lines lower the column heads
// (number, brand, type, name, position, the three angles in degrees, delay,
// aim point, band powers); the rows from 10h down, h + 4 apart, framed
// with the heads; an aim point that `faces` do not give is "---" three
// times. Below the last loudspeaker: "Total speaker input power :" and
// "Total acoustic power :" with `totals`. An empty listing gives no page.
std::vector<ListingPage> LayOutSpeakerSummary(const std::vector<Loudspeaker>& listing, const SpeakerPowerTotals& totals,
                                              const CalcFaceTable& faces, const SpeakerTypeTable& types,
                                              const std::string& programTitle, const std::string& fileName,
                                              int printableWidth);
