// Edit Speaker Header (6110): the dialog "DIALOG_5" ("Edit Speaker Data")
// over the current record's head, after the access test. Only what the user
// changed is taken back: a field left as shown keeps the record's value
// exactly (the texts show rounded values), and OK without a change leaves
// the record as it was.
#include <array>

#include "framework/base/dialogs.h"
#include "framework/base/drawing_layer.h"
#include "framework/core/services.h"
#include "platform/dialog.h"
#include "speakerbase/record_operations.h"
#include "speakerbase/shell/record_selector.h"
#include "speakerbase/shell/speaker_commands.h"
#include "speakerbase/shell/speaker_editor.h"
#include "speakerbase/speaker_header_fields.h"

namespace {

using platform::LParam;
using platform::Window;
using platform::WParam;

inline constexpr char kHeaderDialog[] = "DIALOG_5";
constexpr int kBrandField = 101, kTypeField = 102, kCommentField = 901;
constexpr int kFirstCrossover = 300;
constexpr int kPowerRow = 401, kSensitivityRow = 501, kImpedanceRow = 601, kDirectivityRow = 701, kEfficiencyRow = 801;
constexpr int kCopyPower = 1001, kCopySensitivity = 1002, kCopyImpedance = 1003, kComputeEfficiency = 1004;
constexpr int kOkButton = 2001, kCancelButton = 2002;

struct HeaderDialog {
  SpeakerType record;         // the working copy
  SpeakerHeaderFields shown;  // the texts as the dialog opened
  bool changed = false;       // OK took a change back
};
HeaderDialog* gOpen = nullptr;

struct Row {
  int first;
  BandTexts SpeakerHeaderFields::*texts;
};
constexpr std::array<Row, 5> kRows = {{{kPowerRow, &SpeakerHeaderFields::power},
                                       {kSensitivityRow, &SpeakerHeaderFields::sensitivity},
                                       {kImpedanceRow, &SpeakerHeaderFields::impedance},
                                       {kDirectivityRow, &SpeakerHeaderFields::directivity},
                                       {kEfficiencyRow, &SpeakerHeaderFields::efficiency}}};

bool IsNumberRow(int id) {
  return (id >= kPowerRow && id < kPowerRow + kBandCount) ||
         (id >= kSensitivityRow && id < kSensitivityRow + kBandCount);
}

void Show(Window dialog, const SpeakerHeaderFields& f) {
  SetDialogText(dialog, kBrandField, f.brand.c_str());
  SetDialogText(dialog, kTypeField, f.typeName.c_str());
  SetDialogText(dialog, kCommentField, f.comment.c_str());
  for (int i = 0; i < kCrossoverCount; ++i)
    platform::CheckDialogButton(dialog, kFirstCrossover + i, f.crossovers[size_t(i)]);
  for (const Row& row : kRows)
    for (int b = 0; b < kBandCount; ++b) SetDialogText(dialog, row.first + b, (f.*row.texts)[size_t(b)].c_str());
}

SpeakerHeaderFields Read(Window dialog) {
  SpeakerHeaderFields f;
  f.brand = GetDialogText(dialog, kBrandField, kTypeBrandSize);
  f.typeName = GetDialogText(dialog, kTypeField, kTypeNameSize);
  f.comment = GetDialogText(dialog, kCommentField, kTypeCommentSize);
  for (int i = 0; i < kCrossoverCount; ++i)
    f.crossovers[size_t(i)] = platform::IsDialogButtonChecked(dialog, kFirstCrossover + i);
  for (const Row& row : kRows)
    for (int b = 0; b < kBandCount; ++b) (f.*row.texts)[size_t(b)] = GetDialogText(dialog, row.first + b, 16);
  return f;
}

bool SameFields(const SpeakerHeaderFields& a, const SpeakerHeaderFields& b) {
  if (a.brand != b.brand || a.typeName != b.typeName || a.comment != b.comment || a.crossovers != b.crossovers)
    return false;
  for (const Row& row : kRows)
    if (a.*row.texts != b.*row.texts) return false;
  return true;
}

// OK: the fields into the working copy; a band value whose text stayed as
// shown keeps its exact value. False while the record is no complete
// loudspeaker (the dialog stays open).
bool Accept(HeaderDialog& d, const SpeakerHeaderFields& typed) {
  if (SameFields(typed, d.shown)) return d.record.Composition() == kCompositionComplete;
  const SpeakerType before = d.record;
  if (!ApplySpeakerHeader(typed, d.record)) return false;
  for (int b = 0; b < kBandCount; ++b) {
    const size_t band = size_t(b);
    if (typed.power[band] == d.shown.power[band]) d.record.SetRatedPower(b, before.RatedPower(b));
    if (typed.sensitivity[band] == d.shown.sensitivity[band]) d.record.SetSensitivity(b, before.Sensitivity(b));
    if (typed.impedance[band] == d.shown.impedance[band]) d.record.SetImpedance(b, before.Impedance(b));
    if (typed.efficiency[band] == d.shown.efficiency[band]) d.record.SetEfficiency(b, before.Efficiency(b));
  }
  d.changed = true;
  return true;
}

void Button(Window dialog, HeaderDialog& d, int id) {
  SpeakerHeaderFields f = Read(dialog);
  switch (id) {
    case kCopyPower: CopyFirstBandToAll(f.power); break;
    case kCopySensitivity: CopyFirstBandToAll(f.sensitivity); break;
    case kCopyImpedance: CopyFirstBandToAll(f.impedance); break;
    case kComputeEfficiency: RecomputeEfficiencyTexts(f, d.record); break;
    default: return;
  }
  Show(dialog, f);
}

LParam HeaderDialogProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  if (!gOpen) return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  HeaderDialog& d = *gOpen;
  if (kind == platform::msg::kInitDialog) {
    platform::SetEditLimit(dialog, kBrandField, int(kTypeBrandSize) - 1);
    platform::SetEditLimit(dialog, kTypeField, int(kTypeNameSize) - 1);
    platform::SetEditLimit(dialog, kCommentField, int(kTypeCommentSize) - 1);
    Show(dialog, d.shown);
    return 0;
  }
  if (kind != platform::msg::kCommand) return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  const int id = int(platform::LowWord(wParam));
  if (IsNumberRow(id) && platform::HighWord(wParam) == platform::kNotifyEditChange) {
    FixDecimalComma(dialog, id);
    return 0;
  }
  if (id == kOkButton || id == platform::kIdOk) {
    for (int b = 0; b < kBandCount; ++b) {
      FixDecimalComma(dialog, kPowerRow + b);
      FixDecimalComma(dialog, kSensitivityRow + b);
    }
    if (Accept(d, Read(dialog))) platform::EndDialog(dialog, 1);
  } else if (id == kCancelButton || id == platform::kIdCancel) {
    platform::EndDialog(dialog, 0);
  } else {
    Button(dialog, d, id);
  }
  return 0;
}

}  // namespace

void EditSpeakerHeader() {
  SpeakerDatabase& db = gSpeakerEditor.database;
  if (CheckRecordAccess(db, gSpeakerEditor.session) != 1) return;
  HeaderDialog d;
  d.record = db.currentRecord;
  d.shown = FormatSpeakerHeader(d.record);
  gOpen = &d;
  const int result = RunModalDialog(kHeaderDialog, MainWindow.window, HeaderDialogProc);
  gOpen = nullptr;
  if (result != 1 || !d.changed) return;
  StoreEditedHeader(db, gSpeakerEditor.session, d.record, ServiceTickCount());
  SendRecordSelectorCommand(kSelectorRenamed);
}
