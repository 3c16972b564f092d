#include "design/windows/speaker_listing_window.h"

#include <algorithm>

#include "design/acoustics/calc_faces.h"
#include "framework/base/dialogs.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/printing.h"
#include "framework/base/view_state.h"
#include "framework/core/state_reset.h"
#include "framework/view/rendering.h"
#include "platform/dialog.h"
#include "platform/drawing.h"
#include "platform/messages.h"
#include "platform/window.h"

namespace {

using platform::LParam;
using platform::Window;
using platform::WParam;

constexpr int kSpeakerList = 101;
constexpr int kChangeSingleButton = 102, kChangeTypeButton = 103, kQuitButton = 104, kPrintButton = 105;
constexpr int kSelectedPowerFields = 201, kElectricalTotalFields = 301, kAcousticTotalFields = 401;

// The listing while its window is open.
struct SpeakerListingState {
  const SpeakerListingSetup* setup = nullptr;
  std::vector<Loudspeaker> listing;
  int row = 0;  // the current row
  bool running = false;
  bool printRequested = false;
  SpeakerPowerTotals totals;
};
SpeakerListingState gSpeakerListing;

void ResetSpeakerListing() { gSpeakerListing = SpeakerListingState{}; }
const StateReset kReset(ResetSpeakerListing);

void SetBandFields(Window dialog, int firstId, const std::array<std::string, kBandCount>& texts) {
  for (int b = 0; b < kBandCount; ++b) SetDialogText(dialog, firstId + b, texts[size_t(b)].c_str());
}

// Selects (or deselects) the row's loudspeaker in the drawing and draws it.
void MarkListedSpeaker(int row, bool on) {
  if (row < 0 || row >= int(gSpeakerListing.listing.size())) return;
  GraphicObject* object = gSpeakerListing.listing[size_t(row)].object;
  if (!object) return;
  if (on) object->state |= kStateSelected;
  else object->state &= ~uint32_t(kStateSelected);
  ViewShowCrosshair(0);
  DrawObjects(object, object, 0);
  ViewShowCrosshair(1);
}

void ShowSelectedPowers(Window dialog) {
  SetBandFields(dialog, kSelectedPowerFields,
                FormatSpeakerBandPowers(gSpeakerListing.listing[size_t(gSpeakerListing.row)]));
}

void ShowTotals(Window dialog) {
  gSpeakerListing.totals = ComputeSpeakerPowerTotals(gSpeakerListing.listing, gSpeakerListing.setup->design);
  SetBandFields(dialog, kElectricalTotalFields, FormatSpeakerPowerTotals(gSpeakerListing.totals.electrical));
  SetBandFields(dialog, kAcousticTotalFields, FormatSpeakerPowerTotals(gSpeakerListing.totals.acoustic));
}

// The rows as the listing holds them now, the current one selected.
void FillList(Window dialog) {
  SpeakerListingState& s = gSpeakerListing;
  platform::ResetList(dialog, kSpeakerList);
  for (int row = 0; row < int(s.listing.size()); ++row)
    AddDialogListText(dialog, kSpeakerList, FormatSpeakerListRow(s.listing, row, *s.setup->design.types).c_str());
  platform::SetListSelection(dialog, kSpeakerList, s.row);
}

void InitListing(Window dialog) {
  SpeakerListingState& s = gSpeakerListing;
  if (!s.setup->selectType) {
    platform::ShowWindow(platform::GetDialogItem(dialog, kChangeSingleButton), platform::ShowMode::kHide);
    platform::ShowWindow(platform::GetDialogItem(dialog, kChangeTypeButton), platform::ShowMode::kHide);
  }
  s.row = 0;
  FillList(dialog);
  ShowSelectedPowers(dialog);
  ShowTotals(dialog);
  MarkListedSpeaker(s.row, true);
}

void SelectRow(Window dialog) {
  SpeakerListingState& s = gSpeakerListing;
  const int row = platform::GetListSelection(dialog, kSpeakerList);
  if (row < 0 || row >= int(s.listing.size())) return;
  MarkListedSpeaker(s.row, false);
  s.row = row;
  MarkListedSpeaker(s.row, true);
  ShowSelectedPowers(dialog);
}

// 102 (one loudspeaker) and 103 (every loudspeaker of the current one's
// type): the picked type, the rows and the totals shown again.
void ChangeType(Window dialog, bool allOfType) {
  SpeakerListingState& s = gSpeakerListing;
  const SpeakerListingSetup& setup = *s.setup;
  const SpeakerType* current = setup.design.types->At(s.listing[size_t(s.row)].typeIndex);
  std::string chosen;
  if (!setup.selectType(current ? current->TypeName() : std::string(), chosen)) return;
  GraphicObject* marked = s.listing[size_t(s.row)].object;
  if (allOfType) ChangeListedSpeakersOfType(s.listing, s.row, *setup.database, chosen, *setup.modifiedMark);
  else ChangeListedSpeakerType(s.listing, s.row, *setup.database, chosen, *setup.modifiedMark);
  if (s.listing.empty()) {
    platform::DestroyWindow(dialog);
    return;
  }
  // The current loudspeaker keeps its row unless entries before it left the
  // listing; when it left itself, the one now in its row becomes current.
  const auto kept = std::find_if(s.listing.begin(), s.listing.end(),
                                 [marked](const Loudspeaker& speaker) { return speaker.object == marked; });
  if (kept != s.listing.end()) {
    s.row = int(kept - s.listing.begin());
  } else {
    s.row = std::min(s.row, int(s.listing.size()) - 1);
    MarkListedSpeaker(s.row, true);
  }
  FillList(dialog);
  ShowSelectedPowers(dialog);
  ShowTotals(dialog);
}

LParam SpeakerListDialogProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  SpeakerListingState& s = gSpeakerListing;
  switch (kind) {
    case platform::msg::kInitDialog: InitListing(dialog); return 0;
    case platform::msg::kCommand: {
      const int id = int(platform::LowWord(wParam));
      if (id == kSpeakerList && platform::HighWord(wParam) == platform::kNotifySelectionChange) SelectRow(dialog);
      if (s.setup->selectType && (id == kChangeSingleButton || id == kChangeTypeButton))
        ChangeType(dialog, id == kChangeTypeButton);
      if (id == kPrintButton) s.printRequested = true;
      if (id == kQuitButton || id == kPrintButton) platform::DestroyWindow(dialog);
      return 0;
    }
    case platform::msg::kDestroy: s.running = false; return 0;
    default: return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  }
}

}  // namespace

int ShowSpeakerListing(const SpeakerListingSetup& setup) {
  SpeakerListingState& s = gSpeakerListing;
  s = SpeakerListingState{};
  s.setup = &setup;
  s.listing = BuildSpeakerListing(*setup.design.model, *setup.design.types);
  if (s.listing.empty()) return 0;
  const Window dialog = OpenModelessDialog(kSpeakerListingDialog, setup.owner, SpeakerListDialogProc);
  if (dialog == Window::kNone) {
    ResetSpeakerListing();
    return 0;
  }
  s.running = true;
  platform::Message message;
  while (s.running) {
    // A quit ends the listing with the program; its window goes first.
    if (!platform::GetMessage(message)) {
      platform::DestroyWindow(dialog);
      break;
    }
    if (!platform::IsDialogMessage(dialog, message)) platform::DispatchMessage(message);
  }
  DeselectAllObjects();
  if (s.printRequested && !platform::IsQuitPosted()) PrintSpeakerSummary(s.listing, s.totals, setup);
  ResetSpeakerListing();
  return 1;
}

void PrintSpeakerSummary(const std::vector<Loudspeaker>& listing, const SpeakerPowerTotals& totals,
                         const SpeakerListingSetup& setup) {
  SetPrintLandscape(1);
  if (!PrintSetupDialog() || !StartPrintJobWithObjects()) return;
  CalcFaceTable faces;
  BuildCalcFaceTable(faces, *setup.design.model, *setup.design.materials);
  const int width = GetPrintSettings()->horizontalResolution;
  PrintListingPages(
      LayOutSpeakerSummary(listing, totals, faces, *setup.design.types, setup.programTitle, setup.fileName, width),
      SpeakerSummarySizes(width));
}
